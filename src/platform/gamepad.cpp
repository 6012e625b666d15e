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

void PadTracker::Change(PadButton button, bool down, std::vector<Message>& out) {
  const uint32_t bit = 1u << button;
  if (((held_ & bit) != 0) == down) return;
  held_ = down ? (held_ | bit) : (held_ & ~bit);
  out.push_back(Message{down ? wm::WM_PADBUTTONDOWN : wm::WM_PADBUTTONUP, button, 0});
}

void PadTracker::Button(PadButton button, bool down, std::vector<Message>& out) {
  if (button <= kPadDpadRight) Change(button, down, out);
}

void PadTracker::Move(PadStick stick, int32_t value, std::vector<Message>& out) {
  PadAxis& a = axes_[static_cast<int32_t>(stick)];
  const int32_t before = a.held;
  if (!a.Move(value)) return;
  // Stick axes are negative to the left and up; triggers only pull.
  PadButton negative = kPadButtonCount, positive = kPadButtonCount;
  switch (stick) {
    case PadStick::LeftX:
      negative = kPadStickLeft;
      positive = kPadStickRight;
      break;
    case PadStick::LeftY:
      negative = kPadStickUp;
      positive = kPadStickDown;
      break;
    case PadStick::LeftTrigger:
      positive = kPadLeftTrigger;
      break;
    case PadStick::RightTrigger:
      positive = kPadRightTrigger;
      break;
  }
  const auto side = [&](int32_t held) { return held < 0 ? negative : held > 0 ? positive : kPadButtonCount; };
  // A stick swung from one side to the other lets go of the first side,
  // then presses the second.
  if (side(before) != kPadButtonCount) Change(side(before), false, out);
  if (side(a.held) != kPadButtonCount) Change(side(a.held), true, out);
}

void PadTracker::ReleaseAll(std::vector<Message>& out) {
  for (uint32_t b = 0; b < kPadButtonCount; ++b) Change(static_cast<PadButton>(b), false, out);
  for (PadAxis& a : axes_) a = PadAxis{};
}

}  // namespace platform
