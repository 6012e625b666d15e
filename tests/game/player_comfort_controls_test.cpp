// The five player actions from keys of the player's choosing and from a
// gamepad, in both control schemes, through the window procedure, the mode
// dispatcher and the in-game frame.
#include <gtest/gtest.h>

#include "game/player_fixture.h"
#include "shell/comforts.h"
#include "shell/mode_dispatcher.h"

namespace {

using vxtest::PlayerTest;

struct Scheme {
  int32_t scheme;
  const char* jumpKey;    // the game key that jumps in this scheme
  const char* attackKey;  // and the one that attacks
};

class ComfortControls : public PlayerTest, public ::testing::WithParamInterface<Scheme> {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    DrawMask([](int32_t, int32_t) { return false; });
    Place(400, 300);
    game.progress.owned[40] = 1;
    game.progress.resultSeen[100] = 1;
    game.settings.controlScheme = GetParam().scheme;
    // J L I K F stand for left, right, jump, next weapon and attack.
    vxtest::WriteFile("ini/main.ini", std::string("5,,,1\n40,J,LEFT,0\n41,L,RIGHT,0\n42,I,") +
                                          GetParam().jumpKey + ",0\n43,K,DOWN,0\n44, F ," +
                                          GetParam().attackKey + "\n");
    LoadComforts();
    SetMode(dispatcher, input, kModeGame);
  }
  // One frame with the input held throughout, or pressed and let go
  // before the frame (only its event reaches it).
  template <typename Press>
  static void Held(Press press) {
    press(true);
    RunFrame(dispatcher, input);
    press(false);
  }
  template <typename Press>
  static void Tapped(Press press) {
    press(true);
    press(false);
    RunFrame(dispatcher, input);
  }
  static auto Key(uint32_t code) {
    return [code](bool down) { WindowProc(down ? wm::WM_KEYDOWN : wm::WM_KEYUP, code, 0); };
  }
  static auto Button(platform::PadButton b) {
    return [b](bool down) { WindowProc(down ? wm::WM_PADBUTTONDOWN : wm::WM_PADBUTTONUP, b, 0); };
  }
  static bool FrameRunsThePlayer() {
    const int32_t angle = game.player.angle;
    Held(Key(vk::VK_RIGHT));
    return game.player.angle != angle || game.player.facing == 2;
  }
  // Walk left, walk right, jump, next weapon and attack, each from its
  // input, as the frame sees them.
  template <typename Input>
  void FiveActions(Input left, Input right, Input jump, Input next, Input attack) {
    game.player.facing = 2;
    Held(left);
    EXPECT_EQ(game.player.facing, 1);
    Tapped(right);
    EXPECT_EQ(game.player.facing, 2);
    game.player.jumpBuffer = 0;
    Held(jump);
    EXPECT_EQ(game.player.jumpBuffer, 3);
    game.player.weapon = 41;
    Held(next);
    RunFrame(dispatcher, input);
    EXPECT_EQ(game.player.weapon, 40);
    game.player.attackFrame = game.player.attackCooldown = game.player.attackLatch = 0;
    Tapped(attack);
    EXPECT_EQ(game.player.attackFrame, 1);
  }
};

TEST_P(ComfortControls, RemappedKeysReachTheFiveActions) {
  ASSERT_TRUE(FrameRunsThePlayer()) << "the in-game frame did not run the player update";
  FiveActions(Key('J'), Key('L'), Key('I'), Key('K'), Key('F'));
  // The keys of the game still work beside them.
  game.player.facing = 2;
  Held(Key(vk::VK_LEFT));
  EXPECT_EQ(game.player.facing, 1);
}

TEST_P(ComfortControls, GamepadButtonsReachTheFiveActions) {
  ASSERT_TRUE(FrameRunsThePlayer()) << "the in-game frame did not run the player update";
  using namespace platform;
  FiveActions(Button(kPadDpadLeft), Button(kPadDpadRight), Button(kPadA), Button(kPadY), Button(kPadX));
  FiveActions(Button(kPadStickLeft), Button(kPadStickRight), Button(kPadA), Button(kPadLeftShoulder),
              Button(kPadRightTrigger));
  // Start opens the menu, where A goes on.
  Tapped(Button(kPadStart));
  EXPECT_EQ(dispatcher.gameMode, kModeMenu);
}

INSTANTIATE_TEST_SUITE_P(BothSchemes, ComfortControls,
                         ::testing::Values(Scheme{1, "UP", "SPACE"}, Scheme{2, "SPACE", "CONTROL"}));

}  // namespace
