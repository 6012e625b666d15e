// Gamepad buttons by name, and sticks and triggers turned into presses.
#include "platform/gamepad.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::PadAxis;

TEST(Gamepad, ButtonNames) {
  for (uint32_t b = 0; b < platform::kPadButtonCount; ++b) {
    const auto button = static_cast<platform::PadButton>(b);
    EXPECT_EQ(platform::PadButtonFromName(platform::PadButtonName(button)), button);
  }
  EXPECT_EQ(platform::PadButtonFromName("start"), platform::kPadStart);
  EXPECT_EQ(platform::PadButtonFromName("Z"), platform::kPadButtonCount);
  EXPECT_EQ(platform::PadButtonFromName(nullptr), platform::kPadButtonCount);
}

TEST(Gamepad, AStickPushCountsPastTheDeadZoneWithoutChattering) {
  PadAxis a;
  EXPECT_FALSE(a.Move(PadAxis::kPress - 1));  // inside the dead zone
  EXPECT_EQ(a.held, 0);
  EXPECT_TRUE(a.Move(PadAxis::kPress));
  EXPECT_EQ(a.held, 1);
  // Sagging back a little, even under the press point, keeps it held.
  EXPECT_FALSE(a.Move(PadAxis::kRelease));
  EXPECT_EQ(a.held, 1);
  EXPECT_TRUE(a.Move(PadAxis::kRelease - 1));
  EXPECT_EQ(a.held, 0);
  // Swung straight across to the other side.
  a.Move(32767);
  EXPECT_TRUE(a.Move(-32768));
  EXPECT_EQ(a.held, -1);
  EXPECT_FALSE(a.Move(-PadAxis::kRelease));
  EXPECT_TRUE(a.Move(-PadAxis::kRelease + 1));
  EXPECT_EQ(a.held, 0);
}

}  // namespace

namespace {

using platform::Message;
using platform::PadStick;
using platform::PadTracker;

// The messages as "+A" (down) and "-A" (up), in order.
std::string Said(const std::vector<Message>& out) {
  std::string s;
  for (const Message& m : out) {
    if (!s.empty()) s += ' ';
    s += (m.message == wm::WM_PADBUTTONDOWN ? "+" : m.message == wm::WM_PADBUTTONUP ? "-" : "?");
    s += platform::PadButtonName(static_cast<platform::PadButton>(m.wParam));
  }
  return s;
}

TEST(PadTracker, EachPressAndReleaseIsSaidOnce) {
  PadTracker pad;
  std::vector<Message> out;
  pad.Button(platform::kPadA, true, out);
  pad.Button(platform::kPadA, true, out);  // a pad sampled again, still held
  pad.Button(platform::kPadStart, false, out);  // never pressed
  pad.Button(platform::kPadA, false, out);
  pad.Button(platform::kPadA, false, out);
  EXPECT_EQ(Said(out), "+A -A");
  // Only the standard buttons are buttons; the stick and trigger presses
  // come from positions.
  out.clear();
  pad.Button(platform::kPadStickLeft, true, out);
  pad.Button(static_cast<platform::PadButton>(255), true, out);
  EXPECT_TRUE(out.empty());
}

TEST(PadTracker, SticksAndTriggersPressTheirSides) {
  PadTracker pad;
  std::vector<Message> out;
  pad.Move(PadStick::LeftX, 32767, out);
  pad.Move(PadStick::LeftX, 20000, out);  // still past the press point
  pad.Move(PadStick::LeftX, -32768, out);  // swung across: the first side first
  pad.Move(PadStick::LeftY, -20000, out);
  pad.Move(PadStick::LeftY, PadAxis::kRelease + 1, out);  // pulled back through the middle
  pad.Move(PadStick::LeftTrigger, 32767, out);
  pad.Move(PadStick::RightTrigger, 100, out);
  EXPECT_EQ(Said(out), "+STICKRIGHT -STICKRIGHT +STICKLEFT +STICKUP -STICKUP +LEFTTRIGGER");
  EXPECT_TRUE(pad.Held(platform::kPadStickLeft));
  // A pad pulled out lets go of what it held, and its stick starts afresh.
  out.clear();
  pad.Button(platform::kPadB, true, out);
  pad.ReleaseAll(out);
  EXPECT_EQ(Said(out), "+B -B -STICKLEFT -LEFTTRIGGER");
  out.clear();
  pad.Move(PadStick::LeftX, -32768, out);
  EXPECT_EQ(Said(out), "+STICKLEFT");
}

}  // namespace
