#pragma once
// The whole program run in this process on the headless backend, one timer
// tick (two frames) at a time, with the keys held through each tick chosen
// by the caller: what `vxgame --headless --input FILE` does with a script,
// except that the script is written as the run goes. The keys are those of
// the first control scheme.
#include <cstdint>
#include <memory>
#include <string>

#include "game/game_state.h"
#include "platform/headless/headless_backend.h"

namespace routecheck {

struct Keys {
  bool left = false;
  bool right = false;
  bool jump = false;    // UP
  bool attack = false;  // SPACE
  bool next = false;    // DOWN: the next weapon, on release
  bool enter = false;   // RETURN: menu answers, on release
  bool operator==(const Keys&) const = default;
};

// "right+jump+attack": a held set as the tools print it ("none" when empty).
std::string KeysName(const Keys& k);

class GameDriver {
 public:
  // Installs a headless backend, enters `root` (the game folder) and starts
  // the program up to its message loop. False when the window could not be
  // created or the folder cannot be entered.
  bool Start(const std::string& root);
  ~GameDriver();

  // One timer tick with `keys` held: the presses and releases that differ
  // from the previous tick are delivered just before its timer message, as
  // a script's events are, and written to the script.
  void Tick(const Keys& keys);

  // Timer ticks run so far; the next Tick is number ticks() + 1.
  int64_t ticks() const { return backend_ != nullptr ? backend_->Ticks() : 0; }
  int64_t frames() const;
  const Keys& held() const { return held_; }

  // The input script so far: "<tick> keydown|keyup KEY" lines.
  const std::string& Script() const { return script_; }
  // A comment line (without the leading "# ") into the script.
  void Comment(const std::string& text);

 private:
  std::unique_ptr<platform::HeadlessBackend> backend_;
  Keys held_;
  std::string script_;
};

// State read from the running program.
int32_t Mode();        // the dispatcher's mode (1 game, 5 menu, ...)
int32_t MenuScreen();  // the menu screen open in mode 5
bool InGame();         // mode 1

}  // namespace routecheck
