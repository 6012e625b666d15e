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
    StartWindowed();
    ResetInput(input, dispatcher);
  }
  void Load() {
    for (int i = 0; i < 11; ++i) RunFrame(dispatcher, input);
  }
};

TEST_F(GameStartTest, ANewGameInLevelTwoOpensTheHelpOnItsFirstFrame) {
  Load();
  ASSERT_EQ(dispatcher.gameMode, kModeMenu);
  EXPECT_EQ(game.level, 2);
  EXPECT_EQ(game.player.alive, -1);
  EXPECT_EQ(game.levelState.maskSlot, 255);
  EXPECT_EQ(game.progress.resultSeen[100], 0);
  SetMode(dispatcher, input, kModeGame);  // as the title's answer does
  RunFrame(dispatcher, input);
  EXPECT_EQ(dispatcher.frameResult, 100);
  EXPECT_EQ(dispatcher.gameMode, kModeMenu);
  RunFrame(dispatcher, input);
  SetMode(dispatcher, input, kModeGame);
  RunFrame(dispatcher, input);
  EXPECT_EQ(dispatcher.frameResult, 0);
  EXPECT_EQ(dispatcher.gameMode, kModeGame);
}

TEST_F(GameStartTest, ATestStartPlaysItsLevelStraightAfterLoading) {
  newGameStart.level = 16;
  newGameStart.straightToGame = 1;
  Load();
  EXPECT_EQ(dispatcher.gameMode, kModeGame);
  EXPECT_EQ(game.level, 16);
  EXPECT_EQ(game.levelState.maskSlot, 275);
  EXPECT_EQ(game.settings.assetsLoaded, -1);
  RunFrame(dispatcher, input);
  EXPECT_EQ(dispatcher.frameResult, 0);
  EXPECT_EQ(dispatcher.gameMode, kModeGame);
  EXPECT_EQ(game.level, 16);
}

}  // namespace
