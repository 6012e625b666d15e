#include "shell/comforts.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "config/configuration.h"
#include "display/screenshot.h"
#include "shell/globals.h"
#include "shell/game_modes.h"
#include "sound/sound_context.h"

ComfortState comforts;

namespace {

// lParam bit 30 of a key-down: an auto-repeat of a key already down.
constexpr int32_t kKeyWasDown = 1 << 30;

platform::Backend& P() { return platform::Current(); }

bool IsScreenshotKey(uint32_t key) { return key == vk::VK_F12 || key == vk::VK_SNAPSHOT; }

// "screenshots/vxgame-20240131-235959.png", with "-2", "-3", ... when that
// second already has one.
std::filesystem::path ScreenshotName() {
  const std::string stamp = LocalTimeStamp();
  std::error_code ec;
  for (int n = 1;; ++n) {
    const std::string suffix = n == 1 ? "" : "-" + std::to_string(n);
    std::filesystem::path p =
        std::filesystem::path("screenshots") / ("vxgame-" + std::string(stamp) + suffix + ".png");
    if (!std::filesystem::exists(p, ec)) return p;
  }
}

}  // namespace

std::string LocalTimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  return stamp;
}

void NoteAtStartUp(const std::string& line) { comforts.startupNotes.push_back(line); }

void LoadComforts() {
  for (const std::string& line : comforts.startupNotes) LogText(engine.log, "", line);
  ComfortSettings& s = comforts.settings;
  ReadComfortSettings(s, engine.records);
  for (const std::string& problem : s.problems) LogText(engine.log, "settings: ", problem);
  comforts.clientWidth = s.windowWidth;
  comforts.clientHeight = s.windowHeight;
}

void StartComforts() {
  platform::Backend& p = P();
  p.SetScaleMode(platform::ScaleModeFromValue(comforts.settings.scaling));
  p.EnableGamepads(comforts.settings.gamepads != 0);
  // Every sample loaded from now on takes its volume.
  SetVolumes(engine.sound, comforts.settings.soundVolume, comforts.settings.musicVolume);
  if (comforts.settings.startFullScreen != 0 && engine.screen.display.windowed != 0)
    p.SetDesktopFullScreen(true);
}

bool TakeKeyForGame(uint32_t message, uint32_t& key, int32_t lParam) {
  const bool down = message == wm::WM_KEYDOWN;
  if (comforts.fromPad != 0) {
    if (down) comforts.rawKeyEvent = key;
    return true;
  }
  const bool repeat = (lParam & kKeyWasDown) != 0;
  if (key == vk::VK_MENU) comforts.altHeld = down ? -1 : 0;
  if (IsScreenshotKey(key)) {
    if (down && !repeat) TakeScreenshot();
    return false;
  }
  // Alt+Enter: desktop full screen for a window. The full-screen mode of
  // the configuration already fills the screen; there Enter stays Enter.
  if (key == vk::VK_RETURN && comforts.altHeld != 0 && engine.screen.display.windowed != 0) {
    if (down && !repeat) {
      platform::Backend& p = P();
      p.SetDesktopFullScreen(!p.DesktopFullScreen());
    }
    return false;
  }
  if (down) comforts.rawKeyEvent = key;
  key = MappedKey(comforts.settings, key);
  if (key < 256) comforts.keyboardHeld[key] = down ? 1 : 0;
  return true;
}

bool HeldByPad(uint32_t key) { return comforts.fromPad == 0 && key < 256 && comforts.padHolds[key] != 0; }

uint32_t PadKey(platform::PadButton button, int32_t mode, int32_t scheme) {
  using namespace platform;
  // In the menus the face buttons answer: A (and Start) go on as Enter does,
  // X gives the other answer as Space does, Y opens the options.
  // Nothing else there gives an answer by accident.
  if (mode == kModeOptions) {
    switch (button) {
      case kPadA:
      case kPadStart:
        return vk::VK_RETURN;
      case kPadB:
      case kPadBack:
        return vk::VK_ESCAPE;
      case kPadLeftShoulder:
        return vk::VK_LEFT;
      case kPadRightShoulder:
        return vk::VK_RIGHT;
      default:
        break;  // the arrows as in the menus
    }
  }
  if (mode == kModeMenu || mode == kModeOptions) {
    switch (button) {
      case kPadA:
      case kPadB:
      case kPadStart:
        return vk::VK_RETURN;
      case kPadX:
        return vk::VK_SPACE;
      case kPadY:
        return kOptionsKey;  // the options, from the title and the pause screen
      default:
        return PadArrowKey(button);
    }
  }
  return PadPlayKey(button, scheme);
}

uint32_t RemappedPadKey(const ComfortSettings& c, platform::PadButton button, int32_t mode, int32_t scheme) {
  // The menus keep the pad's menu layout: a remapping is a game key.
  if (mode == kModeMenu || mode == kModeOptions) return PadKey(button, mode, scheme);
  return MappedPadKey(c, button, scheme);
}

void PadButtonMessage(uint32_t message, uint32_t button, int32_t mode, KeyMessageSink sink) {
  if (button >= platform::kPadButtonCount) return;
  const bool down = message == wm::WM_PADBUTTONDOWN;
  uint8_t& holds = comforts.buttonHolds[button];
  uint32_t key = 0;
  if (down) {
    if (holds++ != 0) return;  // another pad holds it already
    comforts.rawPadButton = static_cast<int32_t>(button);
    key = RemappedPadKey(comforts.settings, static_cast<platform::PadButton>(button), mode,
                         game.settings.controlScheme);
    comforts.buttonKey[button] = key;
    if (key == 0 || key > 255) return;
    ++comforts.padHolds[key];
  } else {
    if (holds == 0 || --holds != 0) return;
    // The key it pressed, whatever the mode is now.
    key = comforts.buttonKey[button];
    if (key == 0 || key > 255) return;
    if (comforts.padHolds[key] > 0) --comforts.padHolds[key];
    if (comforts.padHolds[key] != 0 || comforts.keyboardHeld[key] != 0) return;
  }
  comforts.fromPad = -1;
  sink(down ? wm::WM_KEYDOWN : wm::WM_KEYUP, key, 0);
  comforts.fromPad = 0;
}

bool KeepWindowOnFocusLoss() { return comforts.settings.keepWindowOnFocusLoss != 0; }

void RememberWindowSize() {
  platform::Backend& p = P();
  if (p.DesktopFullScreen()) return;
  const platform::Rect r = p.WindowRect();
  const int32_t w = r.right - r.left - p.SystemMetric(platform::Metric::FrameWidth);
  const int32_t h = r.bottom - r.top - p.SystemMetric(platform::Metric::FrameHeight) -
                    p.SystemMetric(platform::Metric::SmallCaption);
  if (w < 1 || h < 1) return;
  comforts.clientWidth = w;
  comforts.clientHeight = h;
}

bool TakeScreenshot() {
  const GfxContext& gfx = engine.gfx;
  if (gfx.backBuffer == nullptr) return false;
  std::error_code ec;
  std::filesystem::create_directories("screenshots", ec);
  const std::filesystem::path name = ScreenshotName();
  const bool ok = WritePng(name.string(), gfx.backBuffer, gfx.screenWidth, gfx.screenHeight, gfx.screenWidth);
  const std::filesystem::path full = std::filesystem::absolute(name, ec);
  if (ok) {
    LogText(engine.log, "screenshot written: ", name.string());
    std::printf("vxgame: screenshot %s\n", full.string().c_str());
    P().OfferFile(name.string().c_str());
  } else {
    LogText(engine.log, "screenshot failed: ", name.string());
    std::fprintf(stderr, "vxgame: cannot write screenshot %s\n", full.string().c_str());
  }
  std::fflush(stdout);
  return ok;
}
