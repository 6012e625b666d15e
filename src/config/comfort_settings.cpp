#include "config/comfort_settings.h"

#include <strings.h>

#include "config/configuration.h"
#include "platform/window_messages.h"

namespace {

constexpr int32_t kLargestWindowSide = 16384;

// A key name as written in a text field: spaces around it and the line end
// that a last field keeps are not part of it.
std::string KeyNameOf(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  const size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// A volume record: 0..100 percent; a missing record is full volume, as
// before there were volumes; a number outside is brought to the nearer end.
int32_t ReadVolume(ComfortSettings& s, RecordReader& r, int32_t id) {
  ReadRecord(r, id, kConfigFile);
  if (r.recordId != id) return 100;
  const int32_t v = r.values[0];
  if (v >= 0 && v <= 100) return v;
  s.problems.push_back("record " + std::to_string(id) + ": volume " + std::to_string(v) + " is not 0 to 100");
  return v < 0 ? 0 : 100;
}

}  // namespace

void ReadComfortSettings(ComfortSettings& s, RecordReader& r) {
  s = ComfortSettings{};
  s.scaling = ReadConfigValue(r, kRecordScaling);
  if (s.scaling < 0 || s.scaling > 3) {
    s.problems.push_back("record 30: scaling " + std::to_string(s.scaling) + " is not 0 to 3; sharp scaling");
    s.scaling = 0;
  }
  ReadRecord(r, kRecordWindowSize, kConfigFile);
  // A size left out (or 0) is the picture's own; a size no screen has is
  // not taken.
  if (r.values[0] >= 1 && r.values[1] >= 1 && r.values[0] <= kLargestWindowSide &&
      r.values[1] <= kLargestWindowSide) {
    s.windowWidth = r.values[0];
    s.windowHeight = r.values[1];
  } else if (r.values[0] != 0 || r.values[1] != 0) {
    s.problems.push_back("record 31: window size " + std::to_string(r.values[0]) + " x " +
                         std::to_string(r.values[1]) + " is not usable; 800 x 600");
  }
  s.keepWindowOnFocusLoss = ReadConfigValue(r, kRecordFocusLoss) != 0 ? -1 : 0;
  s.startFullScreen = ReadConfigValue(r, kRecordStartFullScreen) != 0 ? -1 : 0;
  s.gamepads = ReadConfigValue(r, kRecordGamepads) != 0 ? 0 : -1;
  s.soundVolume = ReadVolume(s, r, kRecordSoundVolume);
  s.musicVolume = ReadVolume(s, r, kRecordMusicVolume);
  for (int32_t id = kRecordKeyMapFirst; id <= kRecordKeyMapLast; ++id) {
    ReadRecord(r, id, kConfigFile);
    if (r.recordId != id) continue;
    const std::string from = KeyNameOf(r.text1);
    const std::string to = KeyNameOf(r.text2);
    const uint32_t toCode = KeyCodeFromName(to.c_str());
    const bool namesPad = strncasecmp(from.c_str(), kPadNamePrefix, sizeof kPadNamePrefix - 1) == 0;
    if (namesPad) {
      const platform::PadButton button = PadButtonFromRecordName(from);
      if (button == platform::kPadButtonCount || toCode == 0 || toCode > 255) {
        s.problems.push_back("record " + std::to_string(id) + ": cannot map pad button '" + from + "' to '" +
                             to + "'");
        continue;
      }
      s.padMap[button] = static_cast<uint8_t>(toCode);
      continue;
    }
    const uint32_t fromCode = KeyCodeFromName(from.c_str());
    if (fromCode == 0 || toCode == 0 || fromCode > 255 || toCode > 255) {
      s.problems.push_back("record " + std::to_string(id) + ": cannot map key '" + from + "' to '" + to +
                           "'");
      continue;
    }
    s.keyMap[fromCode] = static_cast<uint8_t>(toCode);
  }
}

std::string PadRecordName(platform::PadButton button) {
  const char* name = platform::PadButtonName(button);
  return name[0] == '\0' ? std::string() : kPadNamePrefix + std::string(name);
}

platform::PadButton PadButtonFromRecordName(const std::string& name) {
  constexpr size_t prefix = sizeof kPadNamePrefix - 1;
  if (name.size() <= prefix || strncasecmp(name.c_str(), kPadNamePrefix, prefix) != 0)
    return platform::kPadButtonCount;
  return platform::PadButtonFromName(name.c_str() + prefix);
}

int32_t RemapRecordsTaken(const ComfortSettings& s) {
  int32_t taken = 0;
  for (const uint8_t k : s.keyMap) taken += k != 0 ? 1 : 0;
  for (const uint8_t k : s.padMap) taken += k != 0 ? 1 : 0;
  return taken;
}

uint32_t PadArrowKey(platform::PadButton button) {
  using namespace platform;
  switch (button) {
    case kPadDpadLeft:
    case kPadStickLeft:
      return vk::VK_LEFT;
    case kPadDpadRight:
    case kPadStickRight:
      return vk::VK_RIGHT;
    case kPadDpadUp:
    case kPadStickUp:
      return vk::VK_UP;
    case kPadDpadDown:
    case kPadStickDown:
      return vk::VK_DOWN;
    default:
      return 0;
  }
}

uint32_t PadPlayKey(platform::PadButton button, int32_t scheme) {
  using namespace platform;
  if (const uint32_t arrow = PadArrowKey(button); arrow != 0) return arrow;  // down: next weapon
  const uint32_t jump = scheme == 2 ? vk::VK_SPACE : vk::VK_UP;
  const uint32_t attack = scheme == 2 ? vk::VK_CONTROL : vk::VK_SPACE;
  switch (button) {
    case kPadY:
    case kPadLeftShoulder:
    case kPadLeftTrigger:
      return vk::VK_DOWN;  // next weapon
    case kPadA:
      return jump;
    case kPadB:
    case kPadX:
    case kPadRightShoulder:
    case kPadRightTrigger:
      return attack;
    case kPadStart:
    case kPadBack:
      return vk::VK_ESCAPE;
    default:
      return 0;
  }
}
