#pragma once
// The player's comforts beyond the engine's own settings: how the window
// shows the picture, what losing the focus does, gamepads and keys of the
// player's choosing. Records 30 and up of "ini/main.ini"; a missing record
// keeps the engine's own behaviour.
#include <cstdint>
#include <string>
#include <vector>

#include "config/record_reader.h"
#include "platform/gamepad.h"

enum ComfortRecord : int32_t {
  kRecordScaling = 30,          // 0 sharp, 1 fit linear, 2 stretch, 3 whole factor only
  kRecordWindowSize = 31,       // the picture area of the window at start: width, height
  kRecordFocusLoss = 32,        // 0 shrink to 50 x 50 and pause, 1 keep the window and pause
  kRecordStartFullScreen = 33,  // 1 = a window starts in desktop full screen
  kRecordGamepads = 34,         // 0 = gamepads on, 1 = off
  kRecordSoundVolume = 35,      // 0..100 percent; missing = 100
  kRecordMusicVolume = 36,      // 0..100 percent; missing = 100
  kRecordDemos = 37,            // 1 = every game played in a window is recorded into demos/
  kRecordKeyMapFirst = 40,      // 40..59: a key or pad button (first text) stands for a game key (second)
  kRecordKeyMapLast = 59,
};

struct ComfortSettings {
  int32_t scaling = 0;
  int32_t windowWidth = 800;
  int32_t windowHeight = 600;
  int32_t keepWindowOnFocusLoss = 0;
  int32_t startFullScreen = 0;
  int32_t gamepads = -1;
  int32_t soundVolume = 100;
  int32_t musicVolume = 100;
  // The key each key stands for; 0 where it is not remapped.
  uint8_t keyMap[256] = {};
  // The game key each pad button stands for in play; 0 where the pad's own
  // layout holds.
  uint8_t padMap[platform::kPadButtonCount] = {};
  // Records that could not be used, each as a line for the log.
  std::vector<std::string> problems;
};

// Reads records 30..59 of "ini/main.ini".
void ReadComfortSettings(ComfortSettings& s, RecordReader& r);
// The key that a key of the keyboard stands for (itself unless remapped).
inline uint32_t MappedKey(const ComfortSettings& s, uint32_t key) {
  return key < 256 && s.keyMap[key] != 0 ? s.keyMap[key] : key;
}

// A pad button in the remapping records: "PAD_" and the button's name as
// input scripts write it ("PAD_A", "PAD_LEFTSHOULDER", "PAD_DPUP").
inline constexpr const char kPadNamePrefix[] = "PAD_";
std::string PadRecordName(platform::PadButton button);
// The button a record's first text names, or kPadButtonCount when it does
// not name one (a key, or an unknown button).
platform::PadButton PadButtonFromRecordName(const std::string& name);
// How many of the remapping records 40..59 the key and pad maps take.
int32_t RemapRecordsTaken(const ComfortSettings& s);

// The arrow key of a direction on the pad's cross or left stick; 0 for
// other buttons. Menus and play both read the directions so.
uint32_t PadArrowKey(platform::PadButton button);
// The pad's own layout in play: the game key a button stands for in
// control scheme 1 or 2 (A jumps, B and X strike, Start pauses, ...); 0
// for none.
uint32_t PadPlayKey(platform::PadButton button, int32_t scheme);
// The game key a pad button stands for in play: its remapping, else the
// pad's own layout.
inline uint32_t MappedPadKey(const ComfortSettings& s, platform::PadButton button, int32_t scheme) {
  if (button < platform::kPadButtonCount && s.padMap[button] != 0) return s.padMap[button];
  return PadPlayKey(button, scheme);
}
