#include "platform/gamepad.h"

#include <strings.h>

namespace platform {
namespace {

constexpr const char* kNames[kPadButtonCount] = {
    "A",
    "B",
    "X",
    "Y",
    "BACK",
    "GUIDE",
    "START",
    "LEFTSTICK",
    "RIGHTSTICK",
    "LEFTSHOULDER",
    "RIGHTSHOULDER",
    "DPUP",
    "DPDOWN",
    "DPLEFT",
    "DPRIGHT",
    "STICKLEFT",
    "STICKRIGHT",
    "STICKUP",
    "STICKDOWN",
    "LEFTTRIGGER",
    "RIGHTTRIGGER",
};

}  // namespace

PadButton PadButtonFromName(const char* name) {
  if (name == nullptr) return kPadButtonCount;
  for (uint32_t i = 0; i < kPadButtonCount; ++i)
    if (strcasecmp(kNames[i], name) == 0) return static_cast<PadButton>(i);
  return kPadButtonCount;
}

const char* PadButtonName(PadButton button) { return button < kPadButtonCount ? kNames[button] : ""; }

}  // namespace platform
