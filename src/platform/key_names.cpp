#include "platform/window_messages.h"

#include <cstdio>
#include <cstring>
#include <strings.h>

namespace {
struct KeyName {
  const char* name;
  uint32_t code;
};

constexpr KeyName kNames[] = {
    {"BACKSPACE", vk::VK_BACK}, {"TAB", vk::VK_TAB},         {"RETURN", vk::VK_RETURN},
    {"ENTER", vk::VK_RETURN},   {"SHIFT", vk::VK_SHIFT},     {"CONTROL", vk::VK_CONTROL},
    {"CTRL", vk::VK_CONTROL},   {"ALT", vk::VK_MENU},        {"PAUSE", vk::VK_PAUSE},
    {"CAPSLOCK", vk::VK_CAPITAL}, {"ESCAPE", vk::VK_ESCAPE}, {"ESC", vk::VK_ESCAPE},
    {"SPACE", vk::VK_SPACE},    {"PAGEUP", vk::VK_PRIOR},    {"PAGEDOWN", vk::VK_NEXT},
    {"END", vk::VK_END},        {"HOME", vk::VK_HOME},       {"LEFT", vk::VK_LEFT},
    {"UP", vk::VK_UP},          {"RIGHT", vk::VK_RIGHT},     {"DOWN", vk::VK_DOWN},
    {"INSERT", vk::VK_INSERT},  {"DELETE", vk::VK_DELETE},   {"DEL", vk::VK_DELETE},
    {"MULTIPLY", vk::VK_MULTIPLY}, {"ADD", vk::VK_ADD},      {"SUBTRACT", vk::VK_SUBTRACT},
    {"DECIMAL", vk::VK_DECIMAL}, {"DIVIDE", vk::VK_DIVIDE},  {"SEMICOLON", vk::VK_OEM_1},
    {"EQUALS", vk::VK_OEM_PLUS}, {"COMMA", vk::VK_OEM_COMMA}, {"MINUS", vk::VK_OEM_MINUS},
    {"PERIOD", vk::VK_OEM_PERIOD}, {"SLASH", vk::VK_OEM_2},  {"BACKQUOTE", vk::VK_OEM_3},
    {"LEFTBRACKET", vk::VK_OEM_4}, {"BACKSLASH", vk::VK_OEM_5}, {"RIGHTBRACKET", vk::VK_OEM_6},
    {"QUOTE", vk::VK_OEM_7},
    {"PRINT", vk::VK_SNAPSHOT},
};
}  // namespace

uint32_t KeyCodeFromName(const char* name) {
  if (name == nullptr || name[0] == '\0') return 0;
  const size_t len = std::strlen(name);
  if (len == 1) {
    const char c = name[0];
    if (c >= 'a' && c <= 'z') return static_cast<uint32_t>(c - 'a' + 'A');
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<uint32_t>(c);
  }
  if ((name[0] == 'F' || name[0] == 'f') && len <= 3) {
    int n = 0;
    for (size_t i = 1; i < len; ++i) {
      if (name[i] < '0' || name[i] > '9') return 0;
      n = n * 10 + (name[i] - '0');
    }
    if (n >= 1 && n <= 12) return vk::VK_F1 + static_cast<uint32_t>(n - 1);
    return 0;
  }
  if (std::strncmp(name, "NUMPAD", 6) == 0 && len == 7 && name[6] >= '0' && name[6] <= '9')
    return vk::VK_NUMPAD0 + static_cast<uint32_t>(name[6] - '0');
  for (const KeyName& k : kNames)
    if (strcasecmp(k.name, name) == 0) return k.code;
  return 0;
}

const char* KeyNameFromCode(uint32_t code) {
  static char single[2];
  static char buffer[12];
  if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) {
    single[0] = static_cast<char>(code);
    single[1] = '\0';
    return single;
  }
  if (code >= vk::VK_F1 && code < vk::VK_F1 + 12) {
    std::snprintf(buffer, sizeof buffer, "F%u", code - vk::VK_F1 + 1);
    return buffer;
  }
  if (code >= vk::VK_NUMPAD0 && code < vk::VK_NUMPAD0 + 10) {
    std::snprintf(buffer, sizeof buffer, "NUMPAD%u", code - vk::VK_NUMPAD0);
    return buffer;
  }
  for (const KeyName& k : kNames)
    if (k.code == code) return k.name;
  return "";
}
