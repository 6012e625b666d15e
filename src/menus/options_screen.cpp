#include "menus/options_screen.h"

#include <string>
#include <vector>

#include "config/configuration.h"
#include "config/settings_file.h"
#include "game/singletons.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "gfx/text.h"
#include "platform/gamepad.h"
#include "platform/picture_layout.h"
#include "platform/platform.h"
#include "platform/window_messages.h"
#include "sound/sound_context.h"

namespace {

// Text records of the message files.
constexpr int32_t kTextTitle = 600;        // the title; the help line of the settings page
constexpr int32_t kTextOnOff = 602;        // off, on
constexpr int32_t kTextLanguages = 603;    // Russian, English
constexpr int32_t kTextSchemes = 604;      // control scheme 1, 2
constexpr int32_t kTextDisplays = 605;     // window, desktop full screen
constexpr int32_t kTextFullScreen = 606;   // full screen
constexpr int32_t kTextScaling = 607;      // sharp, smooth fit
constexpr int32_t kTextScaling2 = 608;     // stretch, whole factors
constexpr int32_t kTextFocus = 609;        // pause and shrink, only pause
constexpr int32_t kTextWritten = 610;      // written; could not be written
constexpr int32_t kTextKeysHelp = 611;     // the help line of the keys page; "key or button"
constexpr int32_t kTextConflict = 612;     // "was"; "no key"
constexpr int32_t kTextRestart = 614;      // what a star means
constexpr int32_t kTextFirstLabel = 620;   // the settings page's rows, 620..631
constexpr int32_t kTextFirstAction = 640;  // the keys page's rows, 640..647 (scheme 1; scheme 2 in text2)

constexpr int32_t kFrozenGameSlot = 406;
constexpr int32_t kBoxSlot = 400;
constexpr int32_t kFaceSlot = 401;
constexpr int32_t kBoxHeight = 420;  // the menu box, drawn taller
constexpr int32_t kRowHeight = 19;
constexpr int32_t kLabelX = 170;  // right of the face
constexpr int32_t kValueX = 420;
constexpr int32_t kFirstRowY = 58;
constexpr int32_t kStep = 10;  // a volume step, in percent
constexpr uint32_t kMarkColour = 0xffc8a050;
constexpr uint32_t kConflictColour = 0xffd04030;

constexpr uint32_t kActionKeys[kRemappedActions] = {vk::VK_LEFT,  vk::VK_RIGHT,   vk::VK_UP,    vk::VK_DOWN,
                                                    vk::VK_SPACE, vk::VK_CONTROL, vk::VK_ESCAPE};
// The letter keys that the game reads beside the arrows.
constexpr uint32_t kLetterKeys[kRemappedActions] = {'A', 'D', 'W', 'S', 0, 0, 0};

struct WindowSize {
  int32_t width, height;
};
constexpr WindowSize kWindowSizes[] = {{800, 600}, {1024, 768}, {1200, 900}, {1600, 1200}};
constexpr int32_t kWindowSizeCount = 4;

GfxContext& G() { return engine.gfx; }

using Texts = OptionsText;

// Reads the screen's texts from the message file the settings name.
void LoadTexts(OptionsScreen& o, const GameSettings& s) {
  for (int32_t i = 0; i < kOptionsTextCount; ++i) {
    GetTextLine(engine.records, s, kOptionsFirstText + i);
    Texts& t = o.texts[static_cast<size_t>(i)];
    t = Texts{engine.records.text1, engine.records.text2};
    // A text in the last field keeps the line end; it is not drawn.
    for (std::string* x : {&t.text1, &t.text2}) {
      while (!x->empty() && (x->back() == '\n' || x->back() == '\r')) x->pop_back();
    }
  }
  o.textsFrom = s.textFileName;
}

const Texts& Text(const OptionsScreen& o, int32_t id) {
  static const Texts kNone;
  const int32_t i = id - kOptionsFirstText;
  return i >= 0 && i < kOptionsTextCount ? o.texts[static_cast<size_t>(i)] : kNone;
}

// Text in the font of the current message file, drawn from (x, y).
void DrawWords(const GameSettings& s, const std::string& text, int32_t x, int32_t y, int32_t right) {
  const int32_t bottom = G().screenHeight - 5;
  if (s.altTextFile != 0) {
    DrawTextBox(G(), text.c_str(), x - 20, y - 20, right, bottom, 103, 3);
  } else {
    DrawTextBox(G(), text.c_str(), x - 20, y - 20, right, bottom, 105, 4);
  }
}

// Numbers and key names, in the Latin font whichever the language.
void DrawLatin(const std::string& text, int32_t x, int32_t y, int32_t right) {
  DrawTextBox(G(), text.c_str(), x - 20, y - 20, right, G().screenHeight - 5, 103, 3);
}

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

int32_t WindowSizeIndex(int32_t width, int32_t height) {
  for (int32_t i = 0; i < kWindowSizeCount; ++i) {
    if (kWindowSizes[i].width == width && kWindowSizes[i].height == height) return i;
  }
  return -1;
}

// The next volume `direction` steps away, on the steps of ten.
int32_t StepVolume(int32_t v, int32_t direction) {
  if (direction > 0) return Clamp((v / kStep + 1) * kStep, 0, 100);
  return Clamp(v % kStep != 0 ? v / kStep * kStep : v - kStep, 0, 100);
}

// The record file as it is, with `edit` applied, written whole.
template <typename Edit>
void Write(OptionsScreen& o, Edit edit) {
  std::string file = ReadSettingsFile();
  edit(file);
  std::string problem;
  if (WriteSettingsFile(file, &problem)) {
    o.written = 1;
    o.problem.clear();
  } else {
    o.written = -1;
    o.problem = problem;
    LogText(engine.log, "settings not written: ", problem);
  }
}

void WriteValue(OptionsScreen& o, int32_t record, std::vector<int32_t> values, const char* name) {
  Write(o, [&](std::string& file) { SetRecordValues(file, record, values, name); });
}

// A volume row: the percentage and the switch of the engine's own record,
// which is off at 0.
void WriteVolume(OptionsScreen& o, int32_t volumeRecord, int32_t switchRecord, int32_t volume) {
  Write(o, [&](std::string& file) {
    SetRecordValues(file, switchRecord, {volume > 0 ? 1 : 0},
                    switchRecord == kRecordSound ? "sound (1 = on)" : "music (1 = on)");
    SetRecordValues(
        file, volumeRecord, {volume},
        volumeRecord == kRecordSoundVolume ? "sound volume (0 to 100)" : "music volume (0 to 100)");
  });
}

// Changes the setting of a row by one step: direction -1 or 1.
void ChangeSetting(OptionsScreen& o, GameState& g, ComfortSettings& c, int32_t row, int32_t direction) {
  GameSettings& s = g.settings;
  platform::Backend& p = platform::Current();
  switch (row) {
    case kRowSoundVolume:
    case kRowMusicVolume: {
      const bool sound = row == kRowSoundVolume;
      int32_t& level = sound ? o.soundLevel : o.musicLevel;
      level = StepVolume(level, direction);
      // Off (0) keeps the volume the switch comes back on with.
      if (level > 0) (sound ? c.soundVolume : c.musicVolume) = level;
      SetVolumes(engine.sound, o.soundLevel, o.musicLevel);
      WriteVolume(o, sound ? kRecordSoundVolume : kRecordMusicVolume, sound ? kRecordSound : kRecordMusic,
                  level);
      break;
    }
    case kRowLowDetail:
      s.lowDetail = s.lowDetail != 0 ? 0 : -1;
      WriteValue(o, kRecordLowDetail, {s.lowDetail != 0 ? 1 : 0}, "low detail (1 = on)");
      break;
    case kRowLanguage:
      // The texts switch at once: every text is fetched from this file, the
      // screen's own read anew.
      s.altTextFile = s.altTextFile != 0 ? 0 : -1;
      s.textFileName = s.altTextFile != 0 ? "data/text1.txt" : "data/text.txt";
      LoadTexts(o, s);
      WriteValue(o, kRecordAltText, {s.altTextFile != 0 ? 1 : 0}, "texts (1 = English; 0 = Russian)");
      break;
    case kRowControls:
      s.controlScheme = s.controlScheme == 2 ? 1 : 2;
      WriteValue(o, kRecordControls, {s.controlScheme == 2 ? 1 : 0}, "controls");
      break;
    case kRowDisplay: {
      o.display = (o.display + direction + 3) % 3;
      // Between a window and desktop full screen the window switches at
      // once; the full-screen mode of the display is chosen at the start.
      if (o.startDisplay != kDisplayFullScreen && o.display != kDisplayFullScreen) {
        p.SetDesktopFullScreen(o.display == kDisplayDesktopFull);
      }
      const int32_t display = o.display;
      Write(o, [&](std::string& file) {
        SetRecordValues(file, kRecordWindowed, {display == kDisplayFullScreen ? 0 : 1}, "windowed");
        if (display != kDisplayFullScreen) {
          SetRecordValues(file, kRecordStartFullScreen, {display == kDisplayDesktopFull ? 1 : 0},
                          "start a window in desktop full screen");
        }
      });
      break;
    }
    case kRowScaling:
      c.scaling = (c.scaling + direction + 4) % 4;
      p.SetScaleMode(platform::ScaleModeFromValue(c.scaling));
      WriteValue(o, kRecordScaling, {c.scaling}, "window scaling");
      break;
    case kRowWindowSize: {
      int32_t i = WindowSizeIndex(o.windowWidth, o.windowHeight);
      i = i < 0 ? 0 : (i + direction + kWindowSizeCount) % kWindowSizeCount;
      o.windowWidth = kWindowSizes[i].width;
      o.windowHeight = kWindowSizes[i].height;
      WriteValue(o, kRecordWindowSize, {o.windowWidth, o.windowHeight}, "window size at start");
      break;
    }
    case kRowFocusLoss:
      c.keepWindowOnFocusLoss = c.keepWindowOnFocusLoss != 0 ? 0 : -1;
      WriteValue(o, kRecordFocusLoss, {c.keepWindowOnFocusLoss != 0 ? 1 : 0}, "losing the focus");
      break;
    case kRowGamepads:
      c.gamepads = c.gamepads != 0 ? 0 : -1;
      p.EnableGamepads(c.gamepads != 0);
      WriteValue(o, kRecordGamepads, {c.gamepads != 0 ? 0 : 1}, "gamepads (0 = on; 1 = off)");
      break;
    default:
      break;
  }
}

int32_t RowCount(const OptionsScreen& o) { return o.page == kOptionsKeys ? kKeysRows : kSettingsRows; }

int32_t RowY(int32_t y0, int32_t row) { return y0 + kFirstRowY + row * kRowHeight; }

// Enter, a click, or right on a row: what the row does.
int32_t Activate(OptionsScreen& o, GameState& g, ComfortSettings& c, int32_t direction) {
  if (o.page == kOptionsSettings) {
    if (o.row == kRowBack) return kOptionsClosed;
    if (o.row == kRowKeys) {
      o.page = kOptionsKeys;
      o.row = 0;
      o.conflictAction = -1;
      return kOptionsStay;
    }
    ChangeSetting(o, g, c, o.row, direction);
    return kOptionsStay;
  }
  if (o.row == kKeysRowBack) {
    o.page = kOptionsSettings;
    o.row = kRowKeys;
    o.capturing = false;
    return kOptionsStay;
  }
  if (o.row == kKeysRowReset) {
    for (uint8_t& k : c.keyMap) k = 0;
    for (uint8_t& k : c.padMap) k = 0;
    o.conflictAction = -1;
    Write(o, [&](std::string& file) { WriteKeyRecords(file, c); });
    return kOptionsStay;
  }
  o.capturing = true;
  return kOptionsStay;
}

// A key or a pad button while the keys page waits for one. A pad button
// comes with the key of its menu layout; the button is taken first, and
// one that cannot be taken (Back) goes on as its key (Escape cancels).
void Capture(OptionsScreen& o, ComfortSettings& c, int32_t scheme, const OptionsInput& in) {
  int32_t conflict = -1;
  if (in.padButton >= 0 && RemapPadButton(c, static_cast<uint32_t>(in.padButton), o.row, scheme, conflict)) {
    o.conflictKey = 0;
    o.conflictPad = in.padButton;
  } else if (in.key == vk::VK_ESCAPE) {
    o.capturing = false;
    return;
  } else if (in.padButton >= 0 || in.key == 0 || !RemapKey(c, in.key, o.row, conflict)) {
    return;  // keeps waiting for a key or button it can take
  } else {
    o.conflictKey = in.key;
    o.conflictPad = -1;
  }
  o.capturing = false;
  o.conflictAction = conflict;
  Write(o, [&](std::string& file) { WriteKeyRecords(file, c); });
}

int32_t TakeInput(OptionsScreen& o, GameState& g, ComfortSettings& c, const OptionsInput& in, int32_t x0,
                  int32_t y0, int32_t boxWidth) {
  if (o.capturing) {
    Capture(o, c, g.settings.controlScheme, in);
    return kOptionsStay;
  }
  const int32_t rows = RowCount(o);
  // The mouse chooses the row under it when it moves, and a click acts on it.
  // (A mouse resting where it was when the screen opened has not moved.)
  const bool moved = o.lastMouseX >= 0 && (in.mouseX != o.lastMouseX || in.mouseY != o.lastMouseY);
  o.lastMouseX = in.mouseX;
  o.lastMouseY = in.mouseY;
  int32_t under = -1;
  if (in.mouseX >= x0 + kLabelX - 30 && in.mouseX < x0 + boxWidth - 20) {
    for (int32_t r = 0; r < rows; ++r) {
      const int32_t y = RowY(y0, r);
      if (in.mouseY >= y - 3 && in.mouseY < y - 3 + kRowHeight) under = r;
    }
  }
  if (under >= 0 && (moved || in.click || in.rightClick)) o.row = under;
  if (under >= 0 && in.click) return Activate(o, g, c, 1);
  if (under >= 0 && in.rightClick && o.page == kOptionsSettings && o.row < kRowKeys) {
    ChangeSetting(o, g, c, o.row, -1);
    return kOptionsStay;
  }
  switch (in.key) {
    case vk::VK_UP:
      o.row = (o.row + rows - 1) % rows;
      break;
    case vk::VK_DOWN:
      o.row = (o.row + 1) % rows;
      break;
    case vk::VK_LEFT:
      if (o.page == kOptionsSettings && o.row < kRowKeys) ChangeSetting(o, g, c, o.row, -1);
      break;
    case vk::VK_RIGHT:
      if (o.page == kOptionsSettings && o.row < kRowKeys) ChangeSetting(o, g, c, o.row, 1);
      break;
    case vk::VK_RETURN:
    case vk::VK_SPACE:
      return Activate(o, g, c, 1);
    case vk::VK_ESCAPE:
      if (o.page == kOptionsKeys) {
        o.page = kOptionsSettings;
        o.row = kRowKeys;
        return kOptionsStay;
      }
      return kOptionsClosed;
    default:
      break;
  }
  return kOptionsStay;
}

// The keys that give an action now, by name, then the pad buttons
// remapped to it (the pad's own layout is not listed).
std::string KeysOf(const ComfortSettings& c, int32_t action, int32_t scheme) {
  std::string names;
  const auto add = [&](const std::string& name) {
    if (name.empty()) return;
    if (!names.empty()) names += "  ";
    names += name;
  };
  for (uint32_t k = 1; k < 256; ++k) {
    if (ActionOfKey(c, k) == action) add(KeyNameFromCode(k));
  }
  for (uint32_t b = 0; b < platform::kPadButtonCount; ++b) {
    if (c.padMap[b] != 0 && ActionOfPadButton(c, b, scheme) == action)
      add(PadRecordName(static_cast<platform::PadButton>(b)));
  }
  return names;
}

// The name of the key or pad button the last remapping took.
std::string ConflictName(const OptionsScreen& o) {
  if (o.conflictPad >= 0) return PadRecordName(static_cast<platform::PadButton>(o.conflictPad));
  return KeyNameFromCode(o.conflictKey);
}

void DrawBox(int32_t x0, int32_t y0, int32_t w) {
  GfxContext& gfx = G();
  ResetDrawMode(gfx);
  DrawToCorners(gfx, kBoxSlot, x0, y0, x0 + w, y0, x0, y0 + kBoxHeight, x0 + w, y0 + kBoxHeight, -1);
  ResetDrawMode(gfx);
  const int32_t face = kFaceSlot;  // the hero's face at rest
  DrawPicture(gfx, face, x0 + 15, y0 + kBoxHeight - PictureHeight(gfx, face));
  ResetDrawMode(gfx);
}

void DrawSettingsRows(const OptionsScreen& o, const GameState& g, const ComfortSettings& c, int32_t x0,
                      int32_t y0, int32_t right) {
  const GameSettings& s = g.settings;
  const Texts& onOff = Text(o, kTextOnOff);
  const Texts& languages = Text(o, kTextLanguages);
  const Texts& schemes = Text(o, kTextSchemes);
  const Texts& displays = Text(o, kTextDisplays);
  const Texts& fullScreen = Text(o, kTextFullScreen);
  const Texts& scaling = Text(o, kTextScaling);
  const Texts& scaling2 = Text(o, kTextScaling2);
  const Texts& focus = Text(o, kTextFocus);
  // Sound or music the game started without comes only with a restart.
  const bool soundWaits = s.soundOn == 0 && o.soundLevel > 0;
  const bool musicWaits = s.musicOn == 0 && o.musicLevel > 0;
  for (int32_t r = 0; r < kSettingsRows; ++r) {
    const int32_t y = RowY(y0, r);
    DrawWords(s, Text(o, kTextFirstLabel + r).text1, x0 + kLabelX, y, right);
    const int32_t vx = x0 + kValueX;
    bool waits = false;
    switch (r) {
      case kRowSoundVolume:
      case kRowMusicVolume: {
        const int32_t v = r == kRowSoundVolume ? o.soundLevel : o.musicLevel;
        if (v == 0) {
          DrawWords(s, onOff.text1, vx, y, right);
        } else {
          DrawLatin(std::to_string(v), vx, y, right);
        }
        waits = r == kRowSoundVolume ? soundWaits : musicWaits;
        break;
      }
      case kRowLowDetail:
        DrawWords(s, s.lowDetail != 0 ? onOff.text2 : onOff.text1, vx, y, right);
        break;
      case kRowLanguage:
        DrawWords(s, s.altTextFile != 0 ? languages.text2 : languages.text1, vx, y, right);
        break;
      case kRowControls:
        DrawWords(s, s.controlScheme == 2 ? schemes.text2 : schemes.text1, vx, y, right);
        break;
      case kRowDisplay:
        DrawWords(s,
                  o.display == kDisplayFullScreen
                      ? fullScreen.text1
                      : (o.display == kDisplayDesktopFull ? displays.text2 : displays.text1),
                  vx, y, right);
        waits = (o.display == kDisplayFullScreen) != (o.startDisplay == kDisplayFullScreen);
        break;
      case kRowScaling: {
        const std::string names[4] = {scaling.text1, scaling.text2, scaling2.text1, scaling2.text2};
        DrawWords(s, names[Clamp(c.scaling, 0, 3)], vx, y, right);
        break;
      }
      case kRowWindowSize:
        DrawLatin(std::to_string(o.windowWidth) + " x " + std::to_string(o.windowHeight), vx, y, right);
        waits = o.windowWidth != o.startWindowWidth || o.windowHeight != o.startWindowHeight;
        break;
      case kRowFocusLoss:
        DrawWords(s, c.keepWindowOnFocusLoss != 0 ? focus.text2 : focus.text1, vx, y, right);
        break;
      case kRowGamepads:
        DrawWords(s, c.gamepads != 0 ? onOff.text2 : onOff.text1, vx, y, right);
        break;
      default:
        break;
    }
    if (waits) DrawLatin("*", x0 + kValueX - 16, y, right);
  }
}

void DrawKeysRows(const OptionsScreen& o, const GameState& g, const ComfortSettings& c, int32_t x0,
                  int32_t y0, int32_t right) {
  const GameSettings& s = g.settings;
  const Texts& conflict = Text(o, kTextConflict);
  for (int32_t r = 0; r < kKeysRows; ++r) {
    const int32_t y = RowY(y0, r);
    if (r == kKeysRowBack) {
      DrawWords(s, Text(o, kTextFirstLabel + kRowBack).text1, x0 + kLabelX, y, right);
      continue;
    }
    const Texts& label = Text(o, kTextFirstAction + r);
    DrawWords(s, s.controlScheme == 2 && !label.text2.empty() ? label.text2 : label.text1, x0 + kLabelX, y,
              right);
    if (r == kKeysRowReset) continue;
    if (o.capturing && o.row == r) {
      DrawWords(s, Text(o, kTextKeysHelp).text2, x0 + kValueX, y, right);
      continue;
    }
    const std::string keys = KeysOf(c, r, s.controlScheme);
    if (keys.empty()) {
      FillRect(G(), x0 + kValueX - 4, y - 2, x0 + kValueX + 120, y + 13, kConflictColour);
      DrawWords(s, conflict.text2, x0 + kValueX, y, right);
    } else {
      DrawLatin(keys, x0 + kValueX, y, right);
    }
  }
  // The last remapping that took a key from another action says so.
  if (o.conflictAction >= 0 && o.conflictAction < kRemappedActions) {
    const int32_t y = RowY(y0, kKeysRows) + 4;
    const Texts& was = Text(o, kTextFirstAction + o.conflictAction);
    const std::string key = ConflictName(o);
    DrawLatin(key, x0 + kLabelX, y, right);
    DrawWords(s, conflict.text1 + " " + (s.controlScheme == 2 && !was.text2.empty() ? was.text2 : was.text1),
              x0 + kLabelX + 11 * static_cast<int32_t>(key.size()) + 12, y, right);
  }
}

}  // namespace

uint32_t ActionKey(int32_t action) {
  return action >= 0 && action < kRemappedActions ? kActionKeys[action] : 0;
}

int32_t ActionOfKey(const ComfortSettings& c, uint32_t key) {
  const uint32_t gives = MappedKey(c, key);
  for (int32_t a = 0; a < kRemappedActions; ++a) {
    if (gives == kActionKeys[a] || (kLetterKeys[a] != 0 && gives == kLetterKeys[a])) return a;
  }
  return -1;
}

int32_t ActionOfPadButton(const ComfortSettings& c, uint32_t button, int32_t scheme) {
  if (button >= platform::kPadButtonCount) return -1;
  const uint32_t gives = MappedPadKey(c, static_cast<platform::PadButton>(button), scheme);
  for (int32_t a = 0; a < kRemappedActions; ++a) {
    if (gives != 0 && gives == kActionKeys[a]) return a;
  }
  return -1;
}

bool RemapPadButton(ComfortSettings& c, uint32_t button, int32_t action, int32_t scheme, int32_t& conflict) {
  conflict = -1;
  if (action < 0 || action >= kRemappedActions || button >= platform::kPadButtonCount) return false;
  if (button == platform::kPadBack || button == platform::kPadGuide) return false;
  const int32_t before = ActionOfPadButton(c, button, scheme);
  if (before == action) return true;
  // A button that gives the action by the pad's own layout needs no record.
  const bool own = PadPlayKey(static_cast<platform::PadButton>(button), scheme) == kActionKeys[action];
  if (!own && c.padMap[button] == 0 && RemapRecordsTaken(c) >= kRecordKeyMapLast - kRecordKeyMapFirst + 1)
    return false;
  c.padMap[button] = own ? 0 : static_cast<uint8_t>(kActionKeys[action]);
  conflict = before;
  return true;
}

bool RemapKey(ComfortSettings& c, uint32_t key, int32_t action, int32_t& conflict) {
  conflict = -1;
  if (action < 0 || action >= kRemappedActions || key == 0 || key > 255) return false;
  if (key == vk::VK_RETURN || key == vk::VK_ESCAPE || KeyNameFromCode(key)[0] == '\0') return false;
  const int32_t before = ActionOfKey(c, key);
  if (before == action) return true;
  // A key that gives the action by its own meaning needs no record.
  const bool own = key == kActionKeys[action] || key == kLetterKeys[action];
  if (!own && c.keyMap[key] == 0 && RemapRecordsTaken(c) >= kRecordKeyMapLast - kRecordKeyMapFirst + 1)
    return false;
  c.keyMap[key] = own ? 0 : static_cast<uint8_t>(kActionKeys[action]);
  conflict = before;
  return true;
}

void WriteKeyRecords(std::string& file, const ComfortSettings& c) {
  int32_t record = kRecordKeyMapFirst;
  for (uint32_t k = 1; k < 256 && record <= kRecordKeyMapLast; ++k) {
    if (c.keyMap[k] == 0) continue;
    SetRecordTexts(file, record++, KeyNameFromCode(k), KeyNameFromCode(c.keyMap[k]), {0});
  }
  for (uint32_t b = 0; b < platform::kPadButtonCount && record <= kRecordKeyMapLast; ++b) {
    if (c.padMap[b] == 0) continue;
    SetRecordTexts(file, record++, PadRecordName(static_cast<platform::PadButton>(b)),
                   KeyNameFromCode(c.padMap[b]), {0});
  }
  for (; record <= kRecordKeyMapLast; ++record) RemoveRecord(file, record);
}

void OpenOptions(OptionsScreen& o, const GameSettings& settings, const ComfortSettings& c, int32_t windowed,
                 bool desktopFull) {
  const int32_t display =
      windowed == 0 ? kDisplayFullScreen : (desktopFull ? kDisplayDesktopFull : kDisplayWindow);
  if (!o.started) {
    o.started = true;
    o.startDisplay = display;
    o.startWindowWidth = o.windowWidth = c.windowWidth;
    o.startWindowHeight = o.windowHeight = c.windowHeight;
    o.display = display;
    o.soundLevel = settings.soundOn != 0 ? c.soundVolume : 0;
    o.musicLevel = settings.musicOn != 0 ? c.musicVolume : 0;
  }
  // Alt+Enter may have switched the window since.
  if (o.display != kDisplayFullScreen) o.display = display;
  o.page = kOptionsSettings;
  o.row = 0;
  o.capturing = false;
  o.conflictAction = -1;
  o.conflictPad = -1;
  o.written = 0;
  LoadTexts(o, settings);
  o.problem.clear();
  o.lastMouseX = o.lastMouseY = -1;
}

int32_t OptionsFrame(OptionsScreen& o, GameState& g, ComfortSettings& c, const OptionsInput& in) {
  GfxContext& gfx = G();
  const int32_t boxWidth = PictureWidth(gfx, kBoxSlot);
  const int32_t x0 = (gfx.screenWidth - boxWidth) / 2;
  const int32_t y0 = (gfx.screenHeight - kBoxHeight) / 2;
  const int32_t answer = TakeInput(o, g, c, in, x0, y0, boxWidth);
  if (answer != kOptionsStay) return answer;
  // The language may have changed under the screen's texts.
  if (o.textsFrom != g.settings.textFileName) LoadTexts(o, g.settings);

  DrawPacked24(gfx, kFrozenGameSlot, 0, 0);
  DrawBox(x0, y0, boxWidth);
  const GameSettings& s = g.settings;
  const int32_t right = x0 + boxWidth - 20;
  const Texts& title = Text(o, kTextTitle);
  DrawWords(s, title.text1, x0 + 20, y0 + 22, right);
  // The chosen row is marked, in the colour of the box's rivets.
  const int32_t y = RowY(y0, o.row);
  DrawLine(gfx, x0 + kLabelX - 4, y + 14, right - 10, y + 14, kMarkColour);
  DrawLatin(">", x0 + kLabelX - 22, y, right);
  if (o.page == kOptionsSettings) {
    DrawSettingsRows(o, g, c, x0, y0, right);
  } else {
    DrawKeysRows(o, g, c, x0, y0, right);
  }

  // Beneath the rows: the help line, what a star means, and how the last
  // write went.
  const int32_t help = RowY(y0, kSettingsRows) + 16;
  DrawWords(s, o.page == kOptionsSettings ? title.text2 : Text(o, kTextKeysHelp).text1, x0 + kLabelX, help,
            right);
  if (o.page == kOptionsSettings) {
    DrawLatin("*", x0 + kLabelX, help + 38, right);
    DrawWords(s, Text(o, kTextRestart).text1, x0 + kLabelX + 16, help + 38, right);
  }
  if (o.written < 0) {
    const Texts written = Text(o, kTextWritten);
    FillRect(gfx, x0 + kLabelX - 4, help + 56, right - 10, help + 90, kConflictColour);
    DrawWords(s, written.text2, x0 + kLabelX, help + 58, right);
  }
  return kOptionsStay;
}
