// The dispatcher's game start at the end of loading, its game mode, and the
// test start that `vxgame --level` asks for.
#include <gtest/gtest.h>

#include "game/new_game_start.h"
#include "shell/mode_dispatcher.h"
#include "shell/window.h"
#include "support/engine_test.h"

namespace {

class GameStartTest : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    vxtest::WriteFile("ini/main.ini", "5,,,1\n");
    ASSERT_EQ(StartUp(), 0);
    WindowProc(wm::WM_TIMER, 0, 0);
    ResetInput(input);
  }
  void Load() {
    for (int i = 0; i < 11; ++i) RunFrame(input);
  }
};

TEST_F(GameStartTest, ANewGameInLevelTwoOpensTheHelpOnItsFirstFrame) {
  Load();
  ASSERT_EQ(input.gameMode, kModeMenu);
  EXPECT_EQ(game.level, 2);
  EXPECT_EQ(game.playerAlive, -1);
  EXPECT_EQ(game.maskSlot, 255);
  EXPECT_EQ(game.resultSeen[100], 0);
  SetMode(input, kModeGame);  // as the title's answer does
  RunFrame(input);
  EXPECT_EQ(input.posY, 100);
  EXPECT_EQ(input.gameMode, kModeMenu);
  RunFrame(input);
  SetMode(input, kModeGame);
  RunFrame(input);
  EXPECT_EQ(input.posY, 0);
  EXPECT_EQ(input.gameMode, kModeGame);
}

TEST_F(GameStartTest, ATestStartPlaysItsLevelStraightAfterLoading) {
  newGameStart.level = 16;
  newGameStart.straightToGame = 1;
  Load();
  EXPECT_EQ(input.gameMode, kModeGame);
  EXPECT_EQ(game.level, 16);
  EXPECT_EQ(game.maskSlot, 275);
  EXPECT_EQ(game.settings.assetsLoaded, -1);
  RunFrame(input);
  EXPECT_EQ(input.posY, 0);
  EXPECT_EQ(input.gameMode, kModeGame);
  EXPECT_EQ(game.level, 16);
}

}  // namespace
