#pragma once
// Input scripts for headless runs: plain text, one event per line,
// "<tick> <event> [args]", where tick N is the Nth timer message and its
// events are delivered just before it. Blank lines and lines starting with
// '#' are ignored.
//
//   12 keydown RIGHT      12 keyup SPACE       5 mousemove 400 300
//   7 lbuttondown         7 lbuttonup          3 rbuttondown / rbuttonup
//   9 activate 0|1        40 close
//   8 paddown A           9 padup A            (gamepad buttons, by name)
//   6 resize 1000 750     (the player resizes the window)
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform {

struct ScriptEvent {
  int64_t tick = 0;
  Message message;
  bool close = false;   // the window's close button
  bool resize = false;  // the player resizes the window to width x height
  int32_t width = 0, height = 0;
};

// Parses a script; on a bad line returns false and sets `error` to a message
// naming the line.
bool ParseInputScript(const std::string& text, std::vector<ScriptEvent>& out, std::string& error);

}  // namespace platform
