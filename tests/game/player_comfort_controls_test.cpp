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
    const int32_t angle = game.playerAngle;
    Held(Key(vk::VK_RIGHT));
    return game.playerAngle != angle || game.facing == 2;
  }
  // Walk left, walk right, jump, next weapon and attack, each from its
  // input, as the frame sees them.
  template <typename Input>
  void FiveActions(Input left, Input right, Input jump, Input next, Input attack) {
    game.facing = 2;
    Held(left);
    EXPECT_EQ(game.facing, 1);
    Tapped(right);
    EXPECT_EQ(game.facing, 2);
    game.jumpBuffer = 0;
    Held(jump);
    EXPECT_EQ(game.jumpBuffer, 3);
    game.weapon = 41;
    Held(next);
    RunFrame(dispatcher, input);
    EXPECT_EQ(game.weapon, 40);
    game.attackFrame = game.attackCooldown = game.attackLatch = 0;
    Tapped(attack);
    EXPECT_EQ(game.attackFrame, 1);
  }
};

TEST_P(ComfortControls, RemappedKeysReachTheFiveActions) {
  if (!FrameRunsThePlayer()) GTEST_SKIP() << "the in-game frame does not run the player update yet";
  FiveActions(Key('J'), Key('L'), Key('I'), Key('K'), Key('F'));
  // The keys of the game still work beside them.
  game.facing = 2;
  Held(Key(vk::VK_LEFT));
  EXPECT_EQ(game.facing, 1);
}

TEST_P(ComfortControls, GamepadButtonsReachTheFiveActions) {
  if (!FrameRunsThePlayer()) GTEST_SKIP() << "the in-game frame does not run the player update yet";
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
