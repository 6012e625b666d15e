#pragma once
// The options screen: the settings of "ini/main.ini" changed inside the
// game, over the frozen picture of the screen it was opened from, in the
// menu screens' box, face and fonts. Every change is written to the
// configuration at once (the whole file replaced, everything else in it
// kept) and takes effect at once where the running game allows; the rest
// is marked as taking effect after a restart. It touches no part of the
// game record but its settings, and draws no random number.
#include <array>
#include <cstdint>
#include <string>

#include "config/comfort_settings.h"
#include "config/game_settings.h"

struct GameState;

// What the options screen is given each frame.
struct OptionsInput {
  uint32_t key = 0;  // a key pressed this frame, as the keyboard gave it (before remapping); 0 none
  // A gamepad button pressed this frame (a platform::PadButton), -1 none. The
  // key its menu layout gives comes in `key` as well.
  int32_t padButton = -1;
  int32_t mouseX = 0, mouseY = 0;
  bool click = false;       // the left button was let go
  bool rightClick = false;  // the right button was let go
};

enum OptionsPage : int32_t { kOptionsSettings = 0, kOptionsKeys = 1 };

// The rows of the settings page, top to bottom.
enum OptionsRow : int32_t {
  kRowSoundVolume,
  kRowMusicVolume,
  kRowLowDetail,
  kRowLanguage,
  kRowControls,
  kRowDisplay,
  kRowScaling,
  kRowWindowSize,
  kRowFocusLoss,
  kRowGamepads,
  kRowKeys,
  kRowBack,
  kSettingsRows,
};

// The game keys the keys page remaps, in its order, then its two
// commands.
inline constexpr int32_t kRemappedActions = 7;
inline constexpr int32_t kKeysRowReset = kRemappedActions;
inline constexpr int32_t kKeysRowBack = kRemappedActions + 1;
inline constexpr int32_t kKeysRows = kRemappedActions + 2;

// How the window shows the game: a window, a window made desktop full
// screen, or the configuration's own full-screen mode.
enum DisplayChoice : int32_t { kDisplayWindow = 0, kDisplayDesktopFull = 1, kDisplayFullScreen = 2 };

// The screen's texts: records 600 to 647 of the message file in use.
inline constexpr int32_t kOptionsFirstText = 600;
inline constexpr int32_t kOptionsTextCount = 48;
struct OptionsText {
  std::string text1, text2;
};

struct OptionsScreen {
  int32_t page = kOptionsSettings;
  int32_t row = 0;
  bool capturing = false;  // waiting for the key of the chosen action
  int32_t lastMouseX = -1, lastMouseY = -1;
  // The last write: 0 none yet, 1 written, -1 failed (with the reason).
  int32_t written = 0;
  std::string problem;
  // The last remapping that took a key or a pad button (conflictPad, -1
  // for a key) from another action.
  uint32_t conflictKey = 0;
  int32_t conflictPad = -1;
  int32_t conflictAction = -1;
  // The texts, read from `textsFrom` when the screen opens and again when
  // the language changes; never while it only shows.
  std::array<OptionsText, kOptionsTextCount> texts;
  std::string textsFrom;
  // What the running game started with, for the settings that wait for a
  // restart; taken when the screen first opens.
  bool started = false;
  int32_t startDisplay = kDisplayWindow;
  int32_t startWindowWidth = 800, startWindowHeight = 600;
  // The volumes as the screen shows them: 0 where the engine's own switch
  // of sound or music is off.
  int32_t soundLevel = 100, musicLevel = 100;
  // The choices of the settings that wait for a restart.
  int32_t display = kDisplayWindow;
  int32_t windowWidth = 800, windowHeight = 600;
};

enum OptionsAnswer : int32_t { kOptionsStay = 0, kOptionsClosed = 1 };

// Opens the screen on its first page. `windowed` and `desktopFull` say how
// the game shows now.
// `settings` are the game's, for the sound and music switches.
void OpenOptions(OptionsScreen& o, const GameSettings& settings, const ComfortSettings& c, int32_t windowed,
                 bool desktopFull);
// One frame: reads the input, applies and writes a change, draws the
// screen over the frozen picture. kOptionsClosed once the player leaves it.
int32_t OptionsFrame(OptionsScreen& o, GameState& g, ComfortSettings& c, const OptionsInput& in);

// The game key an action of the keys page stands for.
uint32_t ActionKey(int32_t action);
// The action of the keys page that a key of the keyboard gives now (its
// remapping, or its own meaning with the letter keys that double the
// arrows), or -1 for none.
int32_t ActionOfKey(const ComfortSettings& c, uint32_t key);
// Makes `key` give `action`. The action it gave before, when another, is
// the conflict; -1 when there was none. False when the key cannot be
// remapped (Enter and Escape answer the menus; keys without a name) or the
// twenty remapping records are all taken.
bool RemapKey(ComfortSettings& c, uint32_t key, int32_t action, int32_t& conflict);
// The action of the keys page that a pad button gives in play now (its
// remapping, or the pad's own layout in control scheme `scheme`), or -1.
int32_t ActionOfPadButton(const ComfortSettings& c, uint32_t button, int32_t scheme);
// Makes pad button `button` give `action` in play, as RemapKey does for a
// key. False for Back (it cancels the waiting, as Escape does) and Guide
// (the system's), a button outside the layout, or when the twenty
// remapping records are all taken.
bool RemapPadButton(ComfortSettings& c, uint32_t button, int32_t action, int32_t scheme, int32_t& conflict);
// Writes the remapping records 40..59 from the key and pad maps into
// `file`: one record per remapped key, in key order, then one per
// remapped pad button, in button order; records left over are removed.
void WriteKeyRecords(std::string& file, const ComfortSettings& c);
