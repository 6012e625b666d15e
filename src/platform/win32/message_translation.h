#pragma once
// Windows' own window messages and controller state in the form the
// window procedure reads them: plain code without the Windows headers, so
// that it is built and tested on every system.
#include <cstdint>
#include <vector>

#include "platform/gamepad.h"
#include "platform/picture_layout.h"
#include "platform/platform.h"

namespace platform {

// The Windows messages the backend takes (their values are fixed by the
// system).
namespace winmsg {
inline constexpr uint32_t kMove = 0x0003;
inline constexpr uint32_t kSize = 0x0005;
inline constexpr uint32_t kPaint = 0x000F;
inline constexpr uint32_t kClose = 0x0010;
inline constexpr uint32_t kActivateApp = 0x001C;
inline constexpr uint32_t kKeyDown = 0x0100;
inline constexpr uint32_t kKeyUp = 0x0101;
inline constexpr uint32_t kSysKeyDown = 0x0104;
inline constexpr uint32_t kSysKeyUp = 0x0105;
inline constexpr uint32_t kTimer = 0x0113;
inline constexpr uint32_t kMouseMove = 0x0200;
inline constexpr uint32_t kLButtonDown = 0x0201;
inline constexpr uint32_t kLButtonUp = 0x0202;
inline constexpr uint32_t kRButtonDown = 0x0204;
inline constexpr uint32_t kRButtonUp = 0x0205;
}  // namespace winmsg

// The game's key code for a Windows virtual key: the codes are the
// game's own, but the left and right Shift, Control and Alt keys become
// the one key each, and keys the game has no name for give 0.
uint32_t GameKey(uint32_t virtualKey);

// One Windows message as the window procedure reads it; false for a
// message it has no use for. Pointer positions are mapped from the client
// area onto the picture of picWidth x picHeight that `picture` places there
// (the window copy's 800 x 600, or the full-screen display's surface). A
// timer's identifier is the backend's timer number plus one.
// The close button's message.
Message CloseRequest();

bool TranslateMessage(uint32_t message, uint64_t wParam, int64_t lParam, const PictureLayout& picture,
                      int32_t picWidth, int32_t picHeight, Message& out);

// The buttons of an XInput controller state (its wButtons bits, the
// triggers 0..255 and the left stick) as pad buttons, with the stick and
// triggers held as PadAxis holds them.
struct XInputPad {
  bool connected = false;
  uint32_t held = 0;  // bit per PadButton
  PadAxis axes[4];    // left stick x, left stick y (down positive), left and right trigger
};
// The state of one controller now (`connected` false when it is gone);
// appends the presses and releases since the pad's last state.
void UpdateXInputPad(XInputPad& pad, bool connected, uint16_t buttons, uint8_t leftTrigger,
                     uint8_t rightTrigger, int16_t stickX, int16_t stickY, std::vector<Message>& out);

}  // namespace platform
