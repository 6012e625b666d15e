#include <gtest/gtest.h>

#include "shell/mode_dispatcher.h"
#include "shell/window.h"
#include "support/engine_test.h"

namespace {

class ModeDispatcherTest : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    vxtest::WriteFile("ini/main.ini", "5,,,1\n");
    ASSERT_EQ(StartUp(), 0);
    WindowProc(wm::WM_TIMER, 0, 0);  // first start: graphics, random seed
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) RunFrame(input);
  }
};

TEST_F(ModeDispatcherTest, BrightnessFadeTakesSixteenFrames) {
  StartBrightnessFade(game, -256);
  std::vector<int32_t> seen;
  for (int i = 0; i < 17; ++i) {
    StepBrightnessFade(game);
    seen.push_back(game.fadeCurrent);
  }
  EXPECT_EQ(seen[0], -16);
  EXPECT_EQ(seen[14], -240);
  EXPECT_EQ(seen[15], -256);
  EXPECT_EQ(seen[16], -256);
  EXPECT_EQ(engine.brightnessActive, -1);
  // Values within 10 of normal snap to normal.
  StartBrightnessFade(game, 0);
  game.fadeStart = -100;
  game.fadeStepsLeft = 2;
  StepBrightnessFade(game);  // (-100 * 1 + 15 * 0) / 16 = -6 -> 0
  EXPECT_EQ(game.fadeCurrent, 0);
  EXPECT_EQ(engine.brightnessActive, 0);
}

TEST_F(ModeDispatcherTest, LoadingRunsElevenFramesThenTheFirstMenu) {
  ResetInput(input);
  EXPECT_EQ(input.gameMode, kModeLoading);
  for (int i = 0; i < 10; ++i) {
    RunFrame(input);
    EXPECT_EQ(input.gameMode, kModeLoading) << i;
  }
  EXPECT_EQ(game.level, 2);  // step 9 started the game
  EXPECT_EQ(game.editorSelection, -1);
  EXPECT_EQ(game.settings.assetsLoaded, 0);
  RunFrame(input);
  EXPECT_EQ(input.gameMode, kModeMenu);
  EXPECT_EQ(input.stage, 1313);
  EXPECT_EQ(game.settings.assetsLoaded, -1);
  // The loading bar: text width 9 per character of record 2 (none: " ").
  EXPECT_EQ(input.textWidth, 9);
  EXPECT_EQ(input.counter, 100 - 4 + 59);
  EXPECT_EQ(input.barRight, input.counter + 9);
  EXPECT_EQ(input.barTop, 600 - 80 - 15);
}

TEST_F(ModeDispatcherTest, FadeFromFullLastsSeventeenFrames) {
  input.gameMode = kModeMenu;
  input.nextMode = kModeGame;
  SetMode(input, kModeFade);
  EXPECT_EQ(input.step, 255);
  EXPECT_EQ(game.fadeTarget, -256);
  int frames = 0;
  while (input.gameMode == kModeFade && frames < 100) {
    RunFrame(input);
    ++frames;
  }
  EXPECT_EQ(frames, 17);
  EXPECT_EQ(input.gameMode, kModeGame);
  // Then the brightness comes back over 16 frames.
  EXPECT_EQ(game.fadeTarget, 0);
  EXPECT_EQ(game.fadeStepsLeft, 16);
}

TEST_F(ModeDispatcherTest, CreditsEndAfter121FramesOrAtAnyKey) {
  SetMode(input, kModeCredits);
  for (int i = 0; i < 120; ++i) {
    RunFrame(input);
    ASSERT_EQ(input.gameMode, kModeCredits) << i;
  }
  EXPECT_STREQ(input.creditText, kCreditLine);
  RunFrame(input);
  EXPECT_EQ(input.gameMode, kModeFade);
  EXPECT_EQ(input.nextMode, kModeGame);

  SetMode(input, kModeCredits);
  RunFrame(input);
  input.lastKey = 'X';
  RunFrame(input);
  EXPECT_EQ(input.gameMode, kModeFade);

  input.rightReleased = -1;
  SetMode(input, kModeCredits);
  RunFrame(input);
  EXPECT_EQ(input.gameMode, kModeCredits);  // entering the mode cleared it
  input.rightReleased = -1;
  RunFrame(input);
  EXPECT_EQ(input.gameMode, kModeFade);
}

TEST_F(ModeDispatcherTest, TappedKeyGivesOneEventAndEscapeOpensTheMenu) {
  game.resultSeen[100] = 1;  // past the first-visit help, which a game frame opens
  SetMode(input, kModeGame);
  WindowProc(wm::WM_KEYDOWN, vk::VK_RIGHT, 0);
  WindowProc(wm::WM_KEYUP, vk::VK_RIGHT, 0);
  RunFrame(input);
  EXPECT_EQ(input.right, 0);
  EXPECT_EQ(input.rightEvent, 1);
  EXPECT_EQ(input.keyEvent, 0);
  RunFrame(input);
  EXPECT_EQ(input.rightEvent, 0);
  WindowProc(wm::WM_KEYDOWN, 'W', 0);
  RunFrame(input);
  EXPECT_EQ(input.upEvent, 1);
  WindowProc(wm::WM_KEYDOWN, vk::VK_ESCAPE, 0);
  RunFrame(input);
  EXPECT_EQ(input.gameMode, kModeMenu);
  EXPECT_EQ(input.stage, 0);
}

TEST_F(ModeDispatcherTest, EditorSequenceInOrderOnly) {
  game.resultSeen[100] = 1;  // past the first-visit help, which a game frame opens
  SetMode(input, kModeGame);
  const auto tap = [&](uint32_t key) {
    WindowProc(wm::WM_KEYDOWN, key, 0);
    RunFrame(input);
    WindowProc(wm::WM_KEYUP, key, 0);
    RunFrame(input);
  };
  tap(kEditorKey2);
  tap(kEditorKey1);
  tap(kEditorKey3);  // out of order
  EXPECT_EQ(input.stage, 0);
  EXPECT_EQ(input.gameMode, kModeGame);
  tap(kEditorKey1);
  EXPECT_EQ(input.stage, 1);
  tap(kEditorKey2);
  EXPECT_EQ(input.stage, 2);
  WindowProc(wm::WM_KEYDOWN, kEditorKey3, 0);
  RunFrame(input);
  WindowProc(wm::WM_KEYUP, kEditorKey3, 0);
  RunFrame(input);
  EXPECT_EQ(input.gameMode, kModeEditor);
  // The editor hands back at once while it is not built.
  RunFrame(input);
  EXPECT_EQ(input.gameMode, kModeGame);
  EXPECT_EQ(input.stage, 0);
}

TEST_F(ModeDispatcherTest, EscapeInTheEditorEndsTheProgram) {
  SetMode(input, kModeEditor);
  input.escape = 1;
  try {
    RunFrame(input);
    FAIL() << "escape in the editor ends the program";
  } catch (const vxtest::ProgramExit& e) {
    EXPECT_EQ(e.code, 0);
  }
}

TEST_F(ModeDispatcherTest, ModeOutsideTheTableDoesNothing) {
  input.gameMode = 9;
  input.step = 5;
  RunFrame(input);
  EXPECT_EQ(input.gameMode, 9);
  EXPECT_EQ(input.step, 5);
}

}  // namespace
