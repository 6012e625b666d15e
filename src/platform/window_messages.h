#pragma once
// The window messages and virtual-key codes that the window procedure
// dispatches on. Backends deliver their events in this form, and input
// scripts and replays record them the same way.
#include <cstdint>

namespace wm {
inline constexpr uint32_t WM_MOVE = 0x0003;
inline constexpr uint32_t WM_SIZE = 0x0005;
inline constexpr uint32_t WM_DESTROY = 0x0002;
inline constexpr uint32_t WM_PAINT = 0x000F;
inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_QUIT = 0x0012;
inline constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
inline constexpr uint32_t WM_KEYDOWN = 0x0100;
inline constexpr uint32_t WM_KEYUP = 0x0101;
inline constexpr uint32_t WM_CHAR = 0x0102;
inline constexpr uint32_t WM_TIMER = 0x0113;
inline constexpr uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr uint32_t WM_RBUTTONUP = 0x0205;
// Our own messages, in the range Windows leaves to applications: a gamepad
// button (wParam: a platform::PadButton) pressed or let go.
inline constexpr uint32_t WM_PADBUTTONDOWN = 0x8001;
inline constexpr uint32_t WM_PADBUTTONUP = 0x8002;
}  // namespace wm

namespace vk {
inline constexpr uint32_t VK_BACK = 8;
inline constexpr uint32_t VK_TAB = 9;
inline constexpr uint32_t VK_RETURN = 13;
inline constexpr uint32_t VK_SHIFT = 16;
inline constexpr uint32_t VK_CONTROL = 17;
inline constexpr uint32_t VK_MENU = 18;
inline constexpr uint32_t VK_PAUSE = 19;
inline constexpr uint32_t VK_CAPITAL = 20;
inline constexpr uint32_t VK_ESCAPE = 27;
inline constexpr uint32_t VK_SPACE = 32;
inline constexpr uint32_t VK_PRIOR = 33;
inline constexpr uint32_t VK_NEXT = 34;
inline constexpr uint32_t VK_END = 35;
inline constexpr uint32_t VK_HOME = 36;
inline constexpr uint32_t VK_LEFT = 37;
inline constexpr uint32_t VK_UP = 38;
inline constexpr uint32_t VK_RIGHT = 39;
inline constexpr uint32_t VK_DOWN = 40;
inline constexpr uint32_t VK_SNAPSHOT = 44;  // Print
inline constexpr uint32_t VK_INSERT = 45;
inline constexpr uint32_t VK_DELETE = 46;
// '0'..'9' are 48..57 and 'A'..'Z' are 65..90, as their ASCII codes.
inline constexpr uint32_t VK_NUMPAD0 = 96;
inline constexpr uint32_t VK_MULTIPLY = 106;
inline constexpr uint32_t VK_ADD = 107;
inline constexpr uint32_t VK_SUBTRACT = 109;
inline constexpr uint32_t VK_DECIMAL = 110;
inline constexpr uint32_t VK_DIVIDE = 111;
inline constexpr uint32_t VK_F1 = 112;  // F1..F12 are 112..123
inline constexpr uint32_t VK_F12 = 123;
inline constexpr uint32_t VK_OEM_1 = 186;
inline constexpr uint32_t VK_OEM_PLUS = 187;
inline constexpr uint32_t VK_OEM_COMMA = 188;
inline constexpr uint32_t VK_OEM_MINUS = 189;
inline constexpr uint32_t VK_OEM_PERIOD = 190;
inline constexpr uint32_t VK_OEM_2 = 191;
inline constexpr uint32_t VK_OEM_3 = 192;
inline constexpr uint32_t VK_OEM_4 = 219;
inline constexpr uint32_t VK_OEM_5 = 220;
inline constexpr uint32_t VK_OEM_6 = 221;
inline constexpr uint32_t VK_OEM_7 = 222;
}  // namespace vk

// Key names used by input scripts and the command line ("LEFT", "SPACE",
// "A", "F1"); 0 for an unknown name. The reverse gives "" for a code
// without a name.
uint32_t KeyCodeFromName(const char* name);
const char* KeyNameFromCode(uint32_t code);

// lParam of a mouse message: x in the low 16 bits, y in the high 16 bits.
inline int32_t MakeMouseParam(int32_t x, int32_t y) {
  return static_cast<int32_t>((static_cast<uint32_t>(y) << 16) | (static_cast<uint32_t>(x) & 0xFFFFu));
}
