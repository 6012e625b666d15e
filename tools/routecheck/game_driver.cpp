#include "routecheck/game_driver.h"

#include <unistd.h>

#include "platform/window_messages.h"
#include "shell/globals.h"
#include "shell/mode_dispatcher.h"
#include "shell/window.h"

namespace routecheck {
namespace {

struct KeyOf {
  bool Keys::*held;
  uint32_t code;
  const char* script;  // the name in an input script
  const char* shown;   // the name in a description
};
constexpr KeyOf kKeys[] = {
    {&Keys::left, vk::VK_LEFT, "LEFT", "left"}, {&Keys::right, vk::VK_RIGHT, "RIGHT", "right"},
    {&Keys::jump, vk::VK_UP, "UP", "jump"},     {&Keys::attack, vk::VK_SPACE, "SPACE", "attack"},
    {&Keys::next, vk::VK_DOWN, "DOWN", "next"}, {&Keys::enter, vk::VK_RETURN, "RETURN", "enter"},
};

}  // namespace

std::string KeysName(const Keys& k) {
  std::string s;
  for (const KeyOf& key : kKeys) {
    if (!(k.*key.held)) continue;
    if (!s.empty()) s += "+";
    s += key.shown;
  }
  return s.empty() ? "none" : s;
}

bool GameDriver::Start(const std::string& root) {
  if (chdir(root.c_str()) != 0) return false;
  backend_ = std::make_unique<platform::HeadlessBackend>();
  platform::Install(backend_.get());
  return StartUp() == 0;
}

GameDriver::~GameDriver() {
  if (backend_ != nullptr && &platform::Current() == backend_.get()) platform::Install(nullptr);
}

int64_t GameDriver::frames() const { return backend_ != nullptr ? backend_->FramesRun() : 0; }

void GameDriver::Comment(const std::string& text) { script_ += "# " + text + "\n"; }

void GameDriver::Tick(const Keys& keys) {
  const int64_t tick = backend_->Ticks() + 1;
  // Releases first, so that two opposite keys are never both down in passing.
  for (int pass = 0; pass < 2; ++pass) {
    for (const KeyOf& k : kKeys) {
      const bool was = held_.*k.held, now = keys.*k.held;
      if (was == now || now != (pass == 1)) continue;
      backend_->Post(platform::Message{now ? wm::WM_KEYDOWN : wm::WM_KEYUP, k.code, 0});
      script_ += std::to_string(tick) + (now ? " keydown " : " keyup ") + k.script + "\n";
    }
  }
  held_ = keys;
  platform::Message m;
  while (backend_->NextMessage(m)) {
    WindowProc(m.message, m.wParam, m.lParam);
    if (m.message == wm::WM_TIMER) break;
  }
}

int32_t Mode() { return dispatcher.gameMode; }
int32_t MenuScreen() { return dispatcher.menu.screen; }
bool InGame() { return dispatcher.gameMode == kModeGame; }

}  // namespace routecheck
