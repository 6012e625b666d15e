#pragma once
// What the window procedure does for the player beyond the engine's own
// handling: the settings of records 30 and up, keys of the player's choosing,
// gamepads fed in as the keys they stand for, Alt+Enter for desktop full
// screen, the screenshot key, and the window's size kept across the
// focus-loss shrink.
#include <cstdint>
#include <string>
#include <vector>

#include "config/comfort_settings.h"
#include "platform/gamepad.h"

struct ComfortState {
  ComfortSettings settings;
  int32_t altHeld = 0;
  // Set while a gamepad button is being fed in as a key.
  int32_t fromPad = 0;
  // The last key pressed as the keyboard (or a gamepad's menu key) gave
  // it, before any remapping: the options screen reads its keys from here.
  uint32_t rawKeyEvent = 0;
  // The last gamepad button pressed (a PadButton), -1 for none: the options
  // screen takes a remapped button from here.
  int32_t rawPadButton = -1;
  // Keys held on the keyboard, and how many gamepad buttons hold each key:
  // a key stays down until neither holds it.
  uint8_t keyboardHeld[256] = {};
  uint8_t padHolds[256] = {};
  // Per gamepad button: how many pads hold it, and the key it pressed.
  uint8_t buttonHolds[platform::kPadButtonCount] = {};
  uint32_t buttonKey[platform::kPadButtonCount] = {};
  // The window's picture area as the player last left it.
  int32_t clientWidth = 800;
  int32_t clientHeight = 600;
  // Lines for the log once it is open (the data set check's findings).
  std::vector<std::string> startupNotes;
};

extern ComfortState comforts;

// Start-up, after the log is open: reads records 30..59, logs the notes and
// any record that could not be used.
void LoadComforts();
// Start-up, once the window is shown: scaling, gamepads and desktop full
// screen for the platform.
void StartComforts();
// A line for the log, written when the log opens at start-up.
void NoteAtStartUp(const std::string& line);

// A keyboard WM_KEYDOWN / WM_KEYUP before the window procedure takes it:
// false when it was a key of the comforts (the screenshot keys, Alt+Enter),
// otherwise `key` becomes the game key it stands for.
bool TakeKeyForGame(uint32_t message, uint32_t& key, int32_t lParam);
// Whether a key let go on the keyboard is still held by a gamepad.
bool HeldByPad(uint32_t key);
// Where a gamepad button's key goes: the window procedure, handed in by the
// window itself so that the comforts never call up into it.
using KeyMessageSink = int32_t (*)(uint32_t message, uint32_t wParam, int32_t lParam);
// WM_PADBUTTONDOWN / WM_PADBUTTONUP: the key the button stands for in the
// dispatcher's current `mode` and the control scheme goes to `sink` as a
// key message.
void PadButtonMessage(uint32_t message, uint32_t button, int32_t mode, KeyMessageSink sink);
// The key a gamepad button stands for in a mode (GameMode) and control
// scheme (1 or 2) by the pad's own layout; 0 for none.
uint32_t PadKey(platform::PadButton button, int32_t mode, int32_t scheme);
// The same with the player's remapping of pad buttons, which counts where
// the play layout does (not in the menus and the options screen).
uint32_t RemappedPadKey(const ComfortSettings& c, platform::PadButton button, int32_t mode, int32_t scheme);

// Focus loss: whether the window stays as it is (only the game pauses).
bool KeepWindowOnFocusLoss();
// Before the focus-loss shrink: the size the window comes back with.
void RememberWindowSize();

// The local date and time for a file's name: "20240131-235959".
std::string LocalTimeStamp();

// Writes the back buffer to screenshots/ of the game folder under a
// timestamped name; false when it could not be written.
bool TakeScreenshot();
