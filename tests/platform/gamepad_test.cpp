// Gamepad buttons by name, and sticks and triggers turned into presses.
#include "platform/gamepad.h"

#include <gtest/gtest.h>

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
