// The five player actions from the keys of both control schemes, through
// the window procedure, the mode dispatcher and the in-game frame.
#include <gtest/gtest.h>

#include "game/player_fixture.h"
#include "shell/mode_dispatcher.h"

namespace {

using vxtest::PlayerTest;

struct Scheme {
  int32_t scheme;
  uint32_t jump, attack;  // the keys that differ; left, right and next weapon are shared
  uint32_t unused;        // a key of the other scheme that does nothing in this one
};

class PlayerControls : public PlayerTest, public ::testing::WithParamInterface<Scheme> {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    DrawMask([](int32_t, int32_t) { return false; });
    Place(400, 300);
    game.progress.owned[40] = 1;
    game.progress.resultSeen[100] = 1;  // the first-frame screen was shown
    game.settings.controlScheme = GetParam().scheme;
    SetMode(dispatcher, input, kModeGame);
  }
  static void Key(uint32_t vk, bool down) { WindowProc(down ? wm::WM_KEYDOWN : wm::WM_KEYUP, vk, 0); }
  // One frame with the key held down throughout.
  static void Held(uint32_t vk) {
    Key(vk, true);
    RunFrame(dispatcher, input);
    Key(vk, false);
  }
  // Pressed and let go between two frames: only its event reaches the frame.
  static void Tapped(uint32_t vk) {
    Key(vk, true);
    Key(vk, false);
    RunFrame(dispatcher, input);
  }
  // Whether a frame of the game mode moved or turned the player.
  static bool FrameRunsThePlayer() {
    const int32_t angle = game.player.angle;
    Held(vk::VK_RIGHT);
    return game.player.angle != angle || game.player.facing == 2;
  }
};

TEST_P(PlayerControls, EveryActionReachesThePlayerHeldOrTapped) {
  ASSERT_TRUE(FrameRunsThePlayer()) << "the in-game frame did not run the player update";
  EXPECT_EQ(game.player.facing, 2);
  for (const uint32_t left : {vk::VK_LEFT, uint32_t{'A'}}) {
    game.player.facing = 2;
    Held(left);
    EXPECT_EQ(game.player.facing, 1) << left;
  }
  for (const uint32_t right : {vk::VK_RIGHT, uint32_t{'D'}}) {
    game.player.facing = 1;
    Tapped(right);
    EXPECT_EQ(game.player.facing, 2) << right;
  }
  // Jump: in the air, a press is remembered for the landing.
  game.player.jumpBuffer = 0;
  Held(GetParam().jump);
  EXPECT_EQ(game.player.jumpBuffer, 3);
  game.player.jumpBuffer = 0;
  Tapped(GetParam().jump);
  EXPECT_EQ(game.player.jumpBuffer, 3);
  // Next weapon: changes when let go.
  game.player.weapon = 41;
  Held(vk::VK_DOWN);
  RunFrame(dispatcher, input);
  EXPECT_EQ(game.player.weapon, 40);
  Held('S');
  RunFrame(dispatcher, input);
  EXPECT_EQ(game.player.weapon, 41);
  // Attack: one press starts the swing.
  game.player.attackFrame = game.player.attackCooldown = game.player.attackLatch = 0;
  Tapped(GetParam().attack);
  EXPECT_EQ(game.player.attackFrame, 1);
  // The other scheme's keys do nothing here.
  game.player.attackFrame = game.player.attackCooldown = game.player.attackLatch = 0;
  game.player.jumpBuffer = 0;
  Held(GetParam().unused);
  EXPECT_EQ(game.player.attackFrame, 0);
  EXPECT_EQ(game.player.jumpBuffer, 0);
}

INSTANTIATE_TEST_SUITE_P(BothSchemes, PlayerControls,
                         ::testing::Values(Scheme{1, vk::VK_UP, vk::VK_SPACE, vk::VK_CONTROL},
                                           Scheme{2, vk::VK_SPACE, vk::VK_CONTROL, vk::VK_UP}));

}  // namespace
