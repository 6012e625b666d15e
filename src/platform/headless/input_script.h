#pragma once
// Input scripts for headless runs: plain text, one event per line,
// "<tick> <event> [args]", where tick N is the Nth timer message and its
// events are delivered just before it. Blank lines and lines starting with
// '#' are ignored.
//
//   12 keydown RIGHT      12 keyup SPACE       5 mousemove 400 300
//   13 keydown RIGHT repeat   (a key-down of the key's auto-repeat)
//   7 lbuttondown         7 lbuttonup          3 rbuttondown / rbuttonup
//   9 activate 0|1        40 close
//   8 paddown A           9 padup A            (gamepad buttons, by name)
//   6 resize 1000 750     (the player resizes the window)
#include <cstddef>
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

// Limits that keep a script from taking the run's memory: the whole text,
// and one line without its line end.
inline constexpr size_t kMaxScriptBytes = size_t{16} << 20;
inline constexpr size_t kMaxScriptLineChars = 4096;

// lParam bit 30 of a key-down: the key was already down (an auto-repeat).
inline constexpr int32_t kKeyRepeat = 1 << 30;

// One line's words ("12", "keydown", "RIGHT"); false with the reason in
// `error` (without the line number).
bool ParseScriptWords(const std::vector<std::string>& words, ScriptEvent& ev, std::string& error);

// Parses a script; on a bad line returns false and sets `error` to a message
// naming the line. A text or a line past its limit and a NUL byte anywhere
// in a line are bad; a bad word is quoted with at most 40 characters.
bool ParseInputScript(const std::string& text, std::vector<ScriptEvent>& out, std::string& error);

// Reads and parses the script file at `path`. Only a regular file of at most
// kMaxScriptBytes is read; a folder, a pipe or a device is refused without
// waiting on it. On failure `error` says why (without the file's name).
bool ReadInputScript(const char* path, std::vector<ScriptEvent>& out, std::string& error);

}  // namespace platform
