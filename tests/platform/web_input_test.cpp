// The browser's keys and pads in the engine's terms: every key a script or
// the settings can name has its physical key in the page, and the standard
// pad layout reaches the same buttons as the desktop's.
#include "platform/web/web_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>


namespace {

using platform::StandardAxisValue;
using platform::StandardPadButton;
using platform::VirtualKeyFromDomCode;

TEST(WebInput, PhysicalKeysGiveTheDesktopsCodes) {
  // The page's name of a key and the script's name of the same key.
  const std::pair<const char*, const char*> same[] = {
      {"ArrowLeft", "LEFT"},      {"ArrowRight", "RIGHT"},   {"ArrowUp", "UP"},
      {"ArrowDown", "DOWN"},      {"Space", "SPACE"},        {"Enter", "ENTER"},
      {"NumpadEnter", "ENTER"},   {"Escape", "ESCAPE"},      {"ControlLeft", "CONTROL"},
      {"ControlRight", "CONTROL"}, {"ShiftLeft", "SHIFT"},   {"ShiftRight", "SHIFT"},
      {"CapsLock", "CAPSLOCK"},   {"Delete", "DELETE"},      {"AltLeft", "ALT"},
      {"AltRight", "ALT"},        {"PrintScreen", "PRINT"},  {"KeyA", "A"},
      {"KeyZ", "Z"},              {"KeyW", "W"},             {"Digit0", "0"},
      {"Digit9", "9"},            {"F1", "F1"},              {"F10", "F10"},
      {"F12", "F12"},             {"Backquote", "BACKQUOTE"}, {"Quote", "QUOTE"},
      {"Equal", "EQUALS"},        {"BracketRight", "RIGHTBRACKET"}, {"NumpadDivide", "DIVIDE"},
  };
  for (const auto& [code, name] : same) {
    const uint32_t key = KeyCodeFromName(name);
    ASSERT_NE(key, 0u) << name;
    EXPECT_EQ(VirtualKeyFromDomCode(code), key) << code;
  }
  EXPECT_EQ(VirtualKeyFromDomCode("Numpad0"), vk::VK_NUMPAD0);
  EXPECT_EQ(VirtualKeyFromDomCode("Numpad9"), vk::VK_NUMPAD0 + 9);
}

TEST(WebInput, KeysWithoutACodeAreNone) {
  for (const char* code : {"", "Key", "Keya", "KeyAB", "Digit", "Digit10", "F0", "F13", "F01", "F1x", "Numpad10",
                           "Numpad", "NumpadEqual", "MetaLeft", "ContextMenu", "arrowleft", "Unidentified"})
    EXPECT_EQ(VirtualKeyFromDomCode(code), 0u) << '"' << code << '"';
  EXPECT_EQ(VirtualKeyFromDomCode(nullptr), 0u);
}

TEST(WebInput, TheStandardPadLayoutReachesTheDesktopsButtons) {
  const char* const names[] = {"A",     "B",          "X",          "Y",    "LEFTSHOULDER", "RIGHTSHOULDER",
                               nullptr, nullptr,      "BACK",       "START", "LEFTSTICK",   "RIGHTSTICK",
                               "DPUP",  "DPDOWN",     "DPLEFT",     "DPRIGHT", "GUIDE"};
  for (int32_t i = 0; i < 17; ++i) {
    const platform::PadButton expected =
        names[i] == nullptr ? platform::kPadButtonCount : platform::PadButtonFromName(names[i]);
    EXPECT_EQ(StandardPadButton(i), expected) << "button " << i;
  }
  EXPECT_EQ(StandardPadButton(-1), platform::kPadButtonCount);
  EXPECT_EQ(StandardPadButton(17), platform::kPadButtonCount);
  platform::PadStick stick = platform::PadStick::LeftX;
  ASSERT_TRUE(platform::StandardTrigger(6, stick));
  EXPECT_EQ(stick, platform::PadStick::LeftTrigger);
  ASSERT_TRUE(platform::StandardTrigger(7, stick));
  EXPECT_EQ(stick, platform::PadStick::RightTrigger);
  EXPECT_FALSE(platform::StandardTrigger(5, stick));
  EXPECT_FALSE(platform::StandardTrigger(8, stick));
}

TEST(WebInput, PadPositionsOnTheDesktopsScale) {
  EXPECT_EQ(StandardAxisValue(0), 0);
  EXPECT_EQ(StandardAxisValue(1), 32767);
  EXPECT_EQ(StandardAxisValue(-1), -32768);
  EXPECT_EQ(StandardAxisValue(0.5), 16383);
  EXPECT_EQ(StandardAxisValue(-0.5), -16383);
  // Out of range or not a number: clamped, or at rest.
  EXPECT_EQ(StandardAxisValue(7.5), 32767);
  EXPECT_EQ(StandardAxisValue(-1e300), -32768);
  EXPECT_EQ(StandardAxisValue(std::numeric_limits<double>::infinity()), 32767);
  EXPECT_EQ(StandardAxisValue(std::numeric_limits<double>::quiet_NaN()), 0);
  // A trigger half pulled presses, a touch does not.
  platform::PadAxis trigger;
  EXPECT_FALSE(trigger.Move(StandardAxisValue(0.2)));
  EXPECT_TRUE(trigger.Move(StandardAxisValue(0.5)));
}

}  // namespace
