#include "platform/web/web_input.h"

#include <cstring>

namespace platform {
namespace {

struct CodeKey {
  const char* code;
  uint32_t key;
};

// Both keys of a pair (left and right Shift, the two Enters) give one code,
// as the desktop's keyboard does.
constexpr CodeKey kCodes[] = {
    {"Backspace", vk::VK_BACK},        {"Tab", vk::VK_TAB},
    {"Enter", vk::VK_RETURN},          {"NumpadEnter", vk::VK_RETURN},
    {"ShiftLeft", vk::VK_SHIFT},       {"ShiftRight", vk::VK_SHIFT},
    {"ControlLeft", vk::VK_CONTROL},   {"ControlRight", vk::VK_CONTROL},
    {"AltLeft", vk::VK_MENU},          {"AltRight", vk::VK_MENU},
    {"Pause", vk::VK_PAUSE},           {"CapsLock", vk::VK_CAPITAL},
    {"Escape", vk::VK_ESCAPE},         {"Space", vk::VK_SPACE},
    {"PageUp", vk::VK_PRIOR},          {"PageDown", vk::VK_NEXT},
    {"End", vk::VK_END},               {"Home", vk::VK_HOME},
    {"ArrowLeft", vk::VK_LEFT},        {"ArrowUp", vk::VK_UP},
    {"ArrowRight", vk::VK_RIGHT},      {"ArrowDown", vk::VK_DOWN},
    {"PrintScreen", vk::VK_SNAPSHOT},  {"Insert", vk::VK_INSERT},
    {"Delete", vk::VK_DELETE},         {"NumpadMultiply", vk::VK_MULTIPLY},
    {"NumpadAdd", vk::VK_ADD},         {"NumpadSubtract", vk::VK_SUBTRACT},
    {"NumpadDecimal", vk::VK_DECIMAL}, {"NumpadDivide", vk::VK_DIVIDE},
    {"Semicolon", vk::VK_OEM_1},       {"Equal", vk::VK_OEM_PLUS},
    {"Comma", vk::VK_OEM_COMMA},       {"Minus", vk::VK_OEM_MINUS},
    {"Period", vk::VK_OEM_PERIOD},     {"Slash", vk::VK_OEM_2},
    {"Backquote", vk::VK_OEM_3},       {"BracketLeft", vk::VK_OEM_4},
    {"Backslash", vk::VK_OEM_5},       {"BracketRight", vk::VK_OEM_6},
    {"Quote", vk::VK_OEM_7},
};

// A decimal number of one or two digits after `prefix`, within 0..limit;
// -1 otherwise.
int32_t Numbered(const char* code, const char* prefix, int32_t limit) {
  const size_t n = std::strlen(prefix);
  if (std::strncmp(code, prefix, n) != 0) return -1;
  const char* d = code + n;
  const size_t digits = std::strlen(d);
  if (digits == 0 || digits > 2) return -1;
  int32_t value = 0;
  for (size_t i = 0; i < digits; ++i) {
    if (d[i] < '0' || d[i] > '9') return -1;
    value = value * 10 + (d[i] - '0');
  }
  if (digits == 2 && d[0] == '0') return -1;
  return value <= limit ? value : -1;
}

}  // namespace

uint32_t VirtualKeyFromDomCode(const char* code) {
  if (code == nullptr) return 0;
  // "KeyA".."KeyZ" and "Digit0".."Digit9".
  if (std::strncmp(code, "Key", 3) == 0 && code[3] >= 'A' && code[3] <= 'Z' && code[4] == '\0')
    return static_cast<uint32_t>(code[3]);
  if (std::strncmp(code, "Digit", 5) == 0 && code[5] >= '0' && code[5] <= '9' && code[6] == '\0')
    return static_cast<uint32_t>(code[5]);
  if (const int32_t f = Numbered(code, "F", 12); f >= 1) return vk::VK_F1 + static_cast<uint32_t>(f - 1);
  if (const int32_t n = Numbered(code, "Numpad", 9); n >= 0)
    return vk::VK_NUMPAD0 + static_cast<uint32_t>(n);
  for (const CodeKey& k : kCodes)
    if (std::strcmp(k.code, code) == 0) return k.key;
  return 0;
}

PadButton StandardPadButton(int32_t index) {
  // The standard layout's order: faces, shoulders, triggers, back and
  // start, the stick presses, the d-pad, the centre button.
  constexpr PadButton kLayout[] = {
      kPadA,          kPadB,         kPadX,         kPadY,          kPadLeftShoulder,   kPadRightShoulder,
      kPadButtonCount, kPadButtonCount, kPadBack,   kPadStart,      kPadLeftStickPress, kPadRightStickPress,
      kPadDpadUp,     kPadDpadDown,  kPadDpadLeft,  kPadDpadRight,  kPadGuide,
  };
  if (index < 0 || index >= static_cast<int32_t>(sizeof kLayout / sizeof kLayout[0])) return kPadButtonCount;
  return kLayout[index];
}

bool StandardTrigger(int32_t index, PadStick& stick) {
  if (index != 6 && index != 7) return false;
  stick = index == 6 ? PadStick::LeftTrigger : PadStick::RightTrigger;
  return true;
}

int32_t StandardAxisValue(double position) {
  if (position != position) return 0;  // NaN: a stick that reports nothing rests
  if (position <= -1.0) return -32768;
  if (position >= 1.0) return 32767;
  return static_cast<int32_t>(position * 32767.0);
}

}  // namespace platform
