#include "platform/win32/message_translation.h"

#include "platform/window_messages.h"

namespace platform {
namespace {

// lParam bit 30 of a key-down: the key was already down (an auto-repeat);
// the game reads it at the same place.
constexpr int64_t kKeyWasDown = int64_t{1} << 30;

int32_t Low16(int64_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF)); }
int32_t High16(int64_t v) { return static_cast<int16_t>(static_cast<uint16_t>((v >> 16) & 0xFFFF)); }

struct Picture {
  const PictureLayout& layout;
  int32_t width, height;
};

int32_t PointerParam(int64_t lParam, const Picture& p) {
  int32_t x = 0, y = 0;
  DrawableToPicture(p.layout, p.width, p.height, Low16(lParam), High16(lParam), x, y);
  return MakeMouseParam(x, y);
}

// XInput's button bits in the order of PadButton (0 where XInput has none).
constexpr uint16_t kXInputBits[] = {
    0x1000, 0x2000, 0x4000, 0x8000,  // A B X Y
    0x0020, 0x0000, 0x0010,          // Back, Guide (not reported), Start
    0x0040, 0x0080,                  // stick presses
    0x0100, 0x0200,                  // shoulders
    0x0001, 0x0002, 0x0004, 0x0008,  // pad up, down, left, right
};

void Change(XInputPad& pad, PadButton button, bool down, std::vector<Message>& out) {
  const uint32_t bit = 1u << button;
  if (((pad.held & bit) != 0) == down) return;
  pad.held = down ? (pad.held | bit) : (pad.held & ~bit);
  out.push_back(Message{down ? wm::WM_PADBUTTONDOWN : wm::WM_PADBUTTONUP, button, 0});
}

}  // namespace

uint32_t GameKey(uint32_t virtualKey) {
  switch (virtualKey) {
    case 0xA0:  // left and right Shift
    case 0xA1:
      return vk::VK_SHIFT;
    case 0xA2:  // left and right Control
    case 0xA3:
      return vk::VK_CONTROL;
    case 0xA4:  // left and right Alt
    case 0xA5:
      return vk::VK_MENU;
    default:
      break;
  }
  if (virtualKey >= 0x61 && virtualKey <= 0x69) return virtualKey;  // the number pad's 1..9
  if (virtualKey >= vk::VK_F1 && virtualKey <= vk::VK_F12) return virtualKey;
  return KeyNameFromCode(virtualKey)[0] != '\0' ? virtualKey : 0;
}

Message CloseRequest() { return Message{wm::WM_CLOSE, 0, 0}; }

bool TranslateMessage(uint32_t message, uint64_t wParam, int64_t lParam, const PictureLayout& layout,
                      int32_t picWidth, int32_t picHeight, Message& out) {
  const Picture picture{layout, picWidth, picHeight};
  switch (message) {
    case winmsg::kClose:
      out = CloseRequest();
      return true;
    case winmsg::kActivateApp:
      out = Message{wm::WM_ACTIVATEAPP, wParam != 0 ? 1u : 0u, 0};
      return true;
    case winmsg::kMove:
      out = Message{wm::WM_MOVE, 0, MakeMouseParam(Low16(lParam), High16(lParam))};
      return true;
    case winmsg::kSize:
      out = Message{wm::WM_SIZE, 0, MakeMouseParam(Low16(lParam) & 0xFFFF, High16(lParam) & 0xFFFF)};
      return true;
    case winmsg::kPaint:
      out = Message{wm::WM_PAINT, 0, 0};
      return true;
    case winmsg::kTimer:
      if (wParam == 0) return false;
      out = Message{wm::WM_TIMER, static_cast<uint32_t>(wParam - 1), 0};
      return true;
    case winmsg::kKeyDown:
    case winmsg::kKeyUp:
    case winmsg::kSysKeyDown:
    case winmsg::kSysKeyUp: {
      const uint32_t key = GameKey(static_cast<uint32_t>(wParam));
      if (key == 0) return false;
      const bool down = message == winmsg::kKeyDown || message == winmsg::kSysKeyDown;
      out = Message{down ? wm::WM_KEYDOWN : wm::WM_KEYUP, key,
                    down && (lParam & kKeyWasDown) != 0 ? static_cast<int32_t>(kKeyWasDown) : 0};
      return true;
    }
    case winmsg::kMouseMove:
      out = Message{wm::WM_MOUSEMOVE, 0, PointerParam(lParam, picture)};
      return true;
    case winmsg::kLButtonDown:
      out = Message{wm::WM_LBUTTONDOWN, 0, PointerParam(lParam, picture)};
      return true;
    case winmsg::kLButtonUp:
      out = Message{wm::WM_LBUTTONUP, 0, PointerParam(lParam, picture)};
      return true;
    case winmsg::kRButtonDown:
      out = Message{wm::WM_RBUTTONDOWN, 0, PointerParam(lParam, picture)};
      return true;
    case winmsg::kRButtonUp:
      out = Message{wm::WM_RBUTTONUP, 0, PointerParam(lParam, picture)};
      return true;
    default:
      return false;
  }
}

void UpdateXInputPad(XInputPad& pad, bool connected, uint16_t buttons, uint8_t leftTrigger,
                     uint8_t rightTrigger, int16_t stickX, int16_t stickY, std::vector<Message>& out) {
  if (!connected) {
    // A pad pulled out lets go of everything it held.
    for (uint32_t b = 0; b < kPadButtonCount; ++b) Change(pad, static_cast<PadButton>(b), false, out);
    pad = XInputPad{};
    return;
  }
  pad.connected = true;
  for (uint32_t b = 0; b < sizeof kXInputBits / sizeof kXInputBits[0]; ++b)
    if (kXInputBits[b] != 0) Change(pad, static_cast<PadButton>(b), (buttons & kXInputBits[b]) != 0, out);
  // XInput's stick is up positive; the pad buttons follow the screen (a
  // stick pushed up is negative, as on the other desktops). Triggers run
  // 0..255 and are spread over the axis range.
  const int32_t values[4] = {stickX, -int32_t{stickY}, leftTrigger * 32767 / 255, rightTrigger * 32767 / 255};
  const PadButton negative[4] = {kPadStickLeft, kPadStickUp, kPadButtonCount, kPadButtonCount};
  const PadButton positive[4] = {kPadStickRight, kPadStickDown, kPadLeftTrigger, kPadRightTrigger};
  for (int a = 0; a < 4; ++a) {
    PadAxis& axis = pad.axes[a];
    const int32_t before = axis.held;
    if (!axis.Move(values[a])) continue;
    const auto side = [&](int32_t held) {
      return held < 0 ? negative[a] : held > 0 ? positive[a] : kPadButtonCount;
    };
    if (side(before) != kPadButtonCount) Change(pad, side(before), false, out);
    if (side(axis.held) != kPadButtonCount) Change(pad, side(axis.held), true, out);
  }
}

}  // namespace platform
