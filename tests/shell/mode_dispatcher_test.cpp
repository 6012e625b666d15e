#include "shell/mode_dispatcher.h"

#include <gtest/gtest.h>

#include "shell/window.h"
#include "support/engine_test.h"

namespace {

class ModeDispatcherTest : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartWindowed();
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) RunFrame(dispatcher, input);
  }
};

TEST_F(ModeDispatcherTest, BrightnessFadeTakesSixteenFrames) {
  StartBrightnessFade(dispatcher.fade, -256);
  std::vector<int32_t> seen;
  for (int i = 0; i < 17; ++i) {
    StepBrightnessFade(dispatcher.fade);
    seen.push_back(dispatcher.fade.current);
  }
  EXPECT_EQ(seen[0], -16);
  EXPECT_EQ(seen[14], -240);
  EXPECT_EQ(seen[15], -256);
  EXPECT_EQ(seen[16], -256);
  EXPECT_EQ(engine.screen.brightnessActive, -1);
  // Values within 10 of normal snap to normal.
  StartBrightnessFade(dispatcher.fade, 0);
  dispatcher.fade.start = -100;
  dispatcher.fade.stepsLeft = 2;
  StepBrightnessFade(dispatcher.fade);  // (-100 * 1 + 15 * 0) / 16 = -6 -> 0
  EXPECT_EQ(dispatcher.fade.current, 0);
  EXPECT_EQ(engine.screen.brightnessActive, 0);
}

TEST_F(ModeDispatcherTest, LoadingRunsElevenFramesThenTheFirstMenu) {
  ResetInput(input, dispatcher);
  EXPECT_EQ(dispatcher.gameMode, kModeLoading);
  for (int i = 0; i < 10; ++i) {
    RunFrame(dispatcher, input);
    EXPECT_EQ(dispatcher.gameMode, kModeLoading) << i;
  }
  EXPECT_EQ(game.level, 2);  // step 9 started the game
  EXPECT_EQ(game.levelState.editorSelection, -1);
  EXPECT_EQ(game.settings.assetsLoaded, 0);
  RunFrame(dispatcher, input);
  EXPECT_EQ(dispatcher.gameMode, kModeMenu);
  EXPECT_EQ(dispatcher.afterLoading, 1313);
  EXPECT_EQ(game.settings.assetsLoaded, -1);
  // The loading bar: text width 9 per character of record 2 (none: " ").
  EXPECT_EQ(dispatcher.textWidth, 9);
  EXPECT_EQ(dispatcher.barLeft, 100 - 4 + 59);
  EXPECT_EQ(dispatcher.barRight, dispatcher.barLeft + 9);
  EXPECT_EQ(dispatcher.barTop, 600 - 80 - 15);
}

TEST_F(ModeDispatcherTest, FadeFromFullLastsSeventeenFrames) {
  dispatcher.gameMode = kModeMenu;
  dispatcher.nextMode = kModeGame;
  SetMode(dispatcher, input, kModeFade);
  EXPECT_EQ(dispatcher.fadeLevel, 255);
  EXPECT_EQ(dispatcher.fade.target, -256);
  int frames = 0;
  while (dispatcher.gameMode == kModeFade && frames < 100) {
    RunFrame(dispatcher, input);
    ++frames;
  }
  EXPECT_EQ(frames, 17);
  EXPECT_EQ(dispatcher.gameMode, kModeGame);
  // Then the brightness comes back over 16 frames.
  EXPECT_EQ(dispatcher.fade.target, 0);
  EXPECT_EQ(dispatcher.fade.stepsLeft, 16);
}

TEST_F(ModeDispatcherTest, CreditsEndAfter121FramesOrAtAnyKey) {
  SetMode(dispatcher, input, kModeCredits);
  for (int i = 0; i < 120; ++i) {
    RunFrame(dispatcher, input);
    ASSERT_EQ(dispatcher.gameMode, kModeCredits) << i;
  }
  EXPECT_STREQ(dispatcher.creditText, kCreditLine);
  RunFrame(dispatcher, input);
  EXPECT_EQ(dispatcher.gameMode, kModeFade);
  EXPECT_EQ(dispatcher.nextMode, kModeGame);

  SetMode(dispatcher, input, kModeCredits);
  RunFrame(dispatcher, input);
  input.lastKey = 'X';
  RunFrame(dispatcher, input);
  EXPECT_EQ(dispatcher.gameMode, kModeFade);

  input.rightReleased = -1;
  SetMode(dispatcher, input, kModeCredits);
  RunFrame(dispatcher, input);
  EXPECT_EQ(dispatcher.gameMode, kModeCredits);  // entering the mode cleared it
  input.rightReleased = -1;
  RunFrame(dispatcher, input);
  EXPECT_EQ(dispatcher.gameMode, kModeFade);
}

TEST_F(ModeDispatcherTest, TappedKeyGivesOneEventAndEscapeOpensTheMenu) {
  game.progress.resultSeen[100] = 1;  // past the first-visit help, which a game frame opens
  SetMode(dispatcher, input, kModeGame);
  WindowProc(wm::WM_KEYDOWN, vk::VK_RIGHT, 0);
  WindowProc(wm::WM_KEYUP, vk::VK_RIGHT, 0);
  RunFrame(dispatcher, input);
  EXPECT_EQ(input.right, 0);
  EXPECT_EQ(dispatcher.rightEvent, 1);
  EXPECT_EQ(input.keyEvent, 0);
  RunFrame(dispatcher, input);
  EXPECT_EQ(dispatcher.rightEvent, 0);
  WindowProc(wm::WM_KEYDOWN, 'W', 0);
  RunFrame(dispatcher, input);
  EXPECT_EQ(dispatcher.upEvent, 1);
  WindowProc(wm::WM_KEYDOWN, vk::VK_ESCAPE, 0);
  RunFrame(dispatcher, input);
  EXPECT_EQ(dispatcher.gameMode, kModeMenu);
  EXPECT_EQ(dispatcher.editorSequence, 0);
}

TEST_F(ModeDispatcherTest, EditorSequenceInOrderOnly) {
  game.progress.resultSeen[100] = 1;  // past the first-visit help, which a game frame opens
  SetMode(dispatcher, input, kModeGame);
  const auto tap = [&](uint32_t key) {
    WindowProc(wm::WM_KEYDOWN, key, 0);
    RunFrame(dispatcher, input);
    WindowProc(wm::WM_KEYUP, key, 0);
    RunFrame(dispatcher, input);
  };
  tap(kEditorKey2);
  tap(kEditorKey1);
  tap(kEditorKey3);  // out of order
  EXPECT_EQ(dispatcher.editorSequence, 0);
  EXPECT_EQ(dispatcher.gameMode, kModeGame);
  tap(kEditorKey1);
  EXPECT_EQ(dispatcher.editorSequence, 1);
  tap(kEditorKey2);
  EXPECT_EQ(dispatcher.editorSequence, 2);
  WindowProc(wm::WM_KEYDOWN, kEditorKey3, 0);
  RunFrame(dispatcher, input);
  WindowProc(wm::WM_KEYUP, kEditorKey3, 0);
  RunFrame(dispatcher, input);
  EXPECT_EQ(dispatcher.gameMode, kModeEditor);
  // The editor stays until its "gam" cell (98) is clicked (no type chosen,
  // as the game start leaves it).
  game.levelState.editorSelection = -1;
  RunFrame(dispatcher, input);
  EXPECT_EQ(dispatcher.gameMode, kModeEditor);
  input.mouseX = 660;
  input.mouseY = 340;
  input.leftReleased = 1;
  RunFrame(dispatcher, input);
  EXPECT_EQ(input.leftReleased, 0);
  EXPECT_EQ(dispatcher.gameMode, kModeGame);
  EXPECT_EQ(dispatcher.editorSequence, 0);
}

TEST_F(ModeDispatcherTest, EscapeInTheEditorEndsTheProgram) {
  SetMode(dispatcher, input, kModeEditor);
  input.escape = 1;
  try {
    RunFrame(dispatcher, input);
    FAIL() << "escape in the editor ends the program";
  } catch (const vxtest::ProgramExit& e) {
    EXPECT_EQ(e.code, 0);
  }
}

TEST_F(ModeDispatcherTest, ModeOutsideTheTableDoesNothing) {
  dispatcher.gameMode = 9;
  dispatcher.loadingStep = 5;
  RunFrame(dispatcher, input);
  EXPECT_EQ(dispatcher.gameMode, 9);
  EXPECT_EQ(dispatcher.loadingStep, 5);
}

}  // namespace
