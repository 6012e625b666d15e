#pragma once
// Gamepad buttons as the window procedure receives them (WM_PADBUTTONDOWN
// and WM_PADBUTTONUP, the button in wParam), and the turning of a stick or
// trigger position into such presses. Buttons 0..14 are the standard
// controller layout, in its order (A is the bottom face button).
#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace platform {

enum PadButton : uint32_t {
  kPadA = 0,
  kPadB,
  kPadX,
  kPadY,
  kPadBack,
  kPadGuide,
  kPadStart,
  kPadLeftStickPress,
  kPadRightStickPress,
  kPadLeftShoulder,
  kPadRightShoulder,
  kPadDpadUp,
  kPadDpadDown,
  kPadDpadLeft,
  kPadDpadRight,
  // The left stick pushed past its dead zone, and the triggers pulled.
  kPadStickLeft,
  kPadStickRight,
  kPadStickUp,
  kPadStickDown,
  kPadLeftTrigger,
  kPadRightTrigger,
  kPadButtonCount,
};

// Script and settings names ("A", "START", "DPLEFT", "STICKUP", ...);
// kPadButtonCount for an unknown name.
PadButton PadButtonFromName(const char* name);
const char* PadButtonName(PadButton button);

// One axis of a stick or a trigger, from -32768 to 32767. A push counts once
// it passes `press` and until it falls back under `release`, so a stick
// resting at the edge of the dead zone does not chatter.
struct PadAxis {
  static constexpr int32_t kPress = 12000;
  static constexpr int32_t kRelease = 8000;
  int32_t held = 0;  // -1 pushed to the negative side, 1 to the positive, 0 neither

  // The new position; true when `held` changed (the caller releases the
  // old side and presses the new one).
  bool Move(int32_t value) {
    int32_t next = held;
    if (held == 0 || (held > 0 ? value < kRelease : value > -kRelease)) next = 0;
    if (value >= kPress) next = 1;
    if (value <= -kPress) next = -1;
    const bool changed = next != held;
    held = next;
    return changed;
  }
};

// The sticks and triggers a pad reports as positions.
enum class PadStick { LeftX, LeftY, LeftTrigger, RightTrigger };

// One plugged-in pad as the window procedure sees it: the buttons it holds,
// and its stick and triggers turned into presses. Every change comes out as
// a WM_PADBUTTONDOWN or WM_PADBUTTONUP message, each press and release once.
class PadTracker {
 public:
  // A button pressed or let go (standard layout, kPadA..kPadDpadRight).
  void Button(PadButton button, bool down, std::vector<Message>& out);
  // A stick axis (negative to the left and up) or a trigger, -32768..32767.
  void Move(PadStick stick, int32_t value, std::vector<Message>& out);
  // A pad pulled out lets go of everything it held.
  void ReleaseAll(std::vector<Message>& out);
  bool Held(PadButton button) const { return (held_ & (1u << button)) != 0; }

 private:
  void Change(PadButton button, bool down, std::vector<Message>& out);
  uint32_t held_ = 0;  // bit per PadButton
  PadAxis axes_[4];
};

}  // namespace platform
