#include "shell/window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

#include "shell/mode_dispatcher.h"
#include "support/engine_test.h"

namespace {

using namespace std::string_literals;
using platform::HeadlessBackend;

std::vector<int32_t> gFrameClocks;
void RecordFrameClock(int64_t) { gFrameClocks.push_back(platform::Current().ClockMs()); }

class WindowTest : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    gFrameClocks.clear();
    SetFrameObserver(&RecordFrameClock);
  }
  void TearDown() override {
    SetFrameObserver(nullptr);
    EngineTest::TearDown();
  }
  void Config(const std::string& text) { vxtest::WriteFile("ini/main.ini", text); }
  void Tick() { WindowProc(wm::WM_TIMER, 0, 0); }
  void Key(uint32_t message, uint32_t code) { WindowProc(message, code, 0); }
};

TEST_F(WindowTest, KeyMapAndKeyEvents) {
  Key(wm::WM_KEYDOWN, vk::VK_LEFT);
  EXPECT_EQ(input.left, 1);
  EXPECT_EQ(input.lastKey, 37);
  EXPECT_EQ(input.keyEvent, 37);
  Key(wm::WM_KEYDOWN, 'A');
  Key(wm::WM_KEYDOWN, 'Q');  // outside the map: only the last key changes
  EXPECT_EQ(input.keyA, 1);
  EXPECT_EQ(input.lastKey, 'Q');
  // Releasing a key other than the last one leaves the last key alone.
  Key(wm::WM_KEYUP, vk::VK_LEFT);
  EXPECT_EQ(input.left, 0);
  EXPECT_EQ(input.lastKey, 'Q');
  Key(wm::WM_KEYUP, 'Q');
  EXPECT_EQ(input.lastKey, 0);
  EXPECT_EQ(input.keyEvent, 'Q');  // never cleared by a key-up
  const std::pair<uint32_t, uint8_t InputState::*> map[] = {
      {13, &InputState::enter},    {16, &InputState::shift},  {17, &InputState::control},
      {20, &InputState::capsLock}, {27, &InputState::escape}, {32, &InputState::space},
      {38, &InputState::up},       {39, &InputState::right},  {40, &InputState::down},
      {46, &InputState::del},      {'D', &InputState::keyD},  {'S', &InputState::keyS},
      {'W', &InputState::keyW}};
  for (const auto& [code, field] : map) {
    Key(wm::WM_KEYDOWN, code);
    EXPECT_EQ(input.*field, 1) << code;
    Key(wm::WM_KEYUP, code);
    EXPECT_EQ(input.*field, 0) << code;
  }
  EXPECT_EQ(WindowProc(wm::WM_CHAR, 'x', 0), 0);
}

TEST_F(WindowTest, MouseButtonsAndScaling) {
  WindowProc(wm::WM_LBUTTONDOWN, 0, 0);
  EXPECT_EQ(input.leftHeld, -1);
  EXPECT_EQ(input.leftReleased, 0);
  WindowProc(wm::WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(input.leftHeld, 0);
  EXPECT_EQ(input.leftReleased, -1);
  WindowProc(wm::WM_RBUTTONDOWN, 0, 0);
  EXPECT_EQ(input.rightHeld, -1);
  WindowProc(wm::WM_RBUTTONUP, 0, 0);
  EXPECT_EQ(input.rightReleased, -1);

  engine.screen.display.windowed = 0;
  engine.screen.display.width = 1024;
  engine.screen.display.height = 768;
  WindowProc(wm::WM_MOUSEMOVE, 0, MakeMouseParam(512, 384));
  EXPECT_EQ(frameClock.rawMouseX, 400);
  EXPECT_EQ(frameClock.rawMouseY, 300);
  engine.screen.display.windowed = -1;
  WindowProc(wm::WM_MOUSEMOVE, 0, MakeMouseParam(512, 384));
  EXPECT_EQ(frameClock.rawMouseX, 512);
  EXPECT_EQ(frameClock.rawMouseY, 384);
  // x is unsigned 16 bits, y the signed upper half.
  WindowProc(wm::WM_MOUSEMOVE, 0, MakeMouseParam(-2, -3));
  EXPECT_EQ(frameClock.rawMouseX, 65534);
  EXPECT_EQ(frameClock.rawMouseY, -3);
  // A display size that is not positive leaves its axis unscaled.
  engine.screen.display.windowed = 0;
  engine.screen.display.width = 0;
  engine.screen.display.height = 1200;
  WindowProc(wm::WM_MOUSEMOVE, 0, MakeMouseParam(300, 600));
  EXPECT_EQ(frameClock.rawMouseX, 300);
  EXPECT_EQ(frameClock.rawMouseY, 300);
}

TEST_F(WindowTest, StartUpWindowedPlacesACentredFramedWindow) {
  Config("5,,,1\n6,,,0\n");
  ASSERT_EQ(StartUp(), 0);
  EXPECT_TRUE(backend->HasCall("window create framed 240,212,804,621 vx_engine 1.13m"));
  EXPECT_EQ(engine.screen.display.width, 1280);
  EXPECT_EQ(engine.windowOriginX, 240 + 4);
  EXPECT_EQ(engine.windowOriginY, 212 + 4 + 17);
  EXPECT_FALSE(backend->CursorShown());
  EXPECT_EQ(frameClock.appActive, -1);
  EXPECT_EQ(frameClock.startState, 13);
  EXPECT_TRUE(backend->HasCall("timer start 0,50"));
  EXPECT_FALSE(backend->HasCall("timer start 1,40"));
  EXPECT_FALSE(backend->DisplayOpen());
  EXPECT_FALSE(std::filesystem::exists("en1_log.txt"));
}

TEST_F(WindowTest, StartUpFullScreenAndDisplayFailure) {
  Config("0,,,1024,768\n5,,,0\n");
  ASSERT_EQ(StartUp(), 0);
  EXPECT_TRUE(backend->HasCall("window create popup 0,0,1024,768 vx_engine 1.13m"));
  EXPECT_TRUE(backend->HasCall("window place top 0,0,1025,769"));
  EXPECT_TRUE(backend->DisplayOpen());

  ResetAllState();
  HeadlessBackend::Options o;
  o.displayFails = true;
  o.displayFailStep = 3;
  UseBackend(o);
  try {
    StartUp();
    FAIL() << "a failed display must end the program";
  } catch (const vxtest::ProgramExit& e) {
    EXPECT_EQ(e.code, 1);
  }
}

TEST_F(WindowTest, AFullScreenSizeThatCannotOpenEndsTheProgramWithAMessage) {
  // 16385 is past the largest display side; 99999999999 reads as 2147483647.
  for (const std::string& size : {std::string("16385,768"), std::string("99999999999,600")}) {
    ResetAllState();
    UseBackend(HeadlessBackend::Options{});
    Config("0,,,"s + size + "\n5,,,0\n");
    int32_t code = 0;
    ::testing::internal::CaptureStderr();
    try {
      StartUp();
    } catch (const vxtest::ProgramExit& e) {
      code = e.code;
    }
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 1) << size;
    const std::string shown = size == "16385,768" ? "16385 x 768" : "2147483647 x 600";
    EXPECT_NE(err.find(shown), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_TRUE(!err.empty() && err.back() == '\n');
  }
}

TEST_F(WindowTest, ReactivationWithASaturatedFullScreenSizePlacesAWindowInRange) {
  Config("0,,,1024,768\n5,,,0\n");
  ASSERT_EQ(StartUp(), 0);
  Tick();
  WindowProc(wm::WM_ACTIVATEAPP, 0, 0);
  // Changed while inactive: the reader saturates the size, the display then
  // fails (its status is ignored here) and the window is placed all the same.
  Config("0,,,99999999999,99999999999\n5,,,0\n");
  WindowProc(wm::WM_ACTIVATEAPP, 1, 0);
  EXPECT_EQ(engine.screen.display.width, INT32_MAX);
  EXPECT_FALSE(backend->DisplayOpen());
  const std::string largest = "window place top 0,0,2147483647,2147483647";
  EXPECT_TRUE(backend->HasCall(largest));
  WindowProc(wm::WM_SIZE, 0, 0);  // the resize that the re-activation asked for
  EXPECT_EQ(frameClock.resizePending, 0);
  const auto& calls = backend->Calls();
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [&](const auto& c) { return c.what == largest; }), 2);
  EXPECT_EQ(backend->CursorClip().right, INT32_MAX - 5);
}

// Runs the message loop as WinMain does, for at most `limit` messages.
int64_t RunMessageLoop(HeadlessBackend& b, int64_t limit) {
  platform::Message m;
  int64_t n = 0;
  while (n < limit && b.NextMessage(m)) {
    WindowProc(m.message, m.wParam, m.lParam);
    ++n;
  }
  return n;
}

platform::ScriptEvent Activation(int64_t tick, uint32_t active) {
  platform::ScriptEvent e;
  e.tick = tick;
  e.message = platform::Message{wm::WM_ACTIVATEAPP, active, 0};
  return e;
}

TEST_F(WindowTest, TheFrameLimitCountsTheFramesAnInactiveGameWouldRun) {
  // Frame 1 runs in tick 2; from tick 3 on the game is inactive and each
  // tick counts its two frames: 1 + 2 x 9 after tick 11, 20 in tick 12.
  Config("5,,,1\n");
  backend->SetScript({Activation(3, 0)});
  backend->SetFrameLimit(20);
  ASSERT_EQ(StartUp(), 0);
  EXPECT_LT(RunMessageLoop(*backend, 100000), 100000);
  EXPECT_TRUE(backend->HasCall("quit 0"));
  EXPECT_EQ(backend->FramesRun(), 1);
  EXPECT_EQ(backend->Ticks(), 12);

  // Inactive in ticks 3 to 5 (6 counted); tick 6 restarts the display
  // without a frame; ticks 7 to 12 run 12 frames and tick 13 reaches the
  // limit in its first pass. The close arrives after the tick, whose second
  // pass runs frame 15, as in any run that reaches its limit there.
  ResetAllState();
  UseBackend(HeadlessBackend::Options{});
  Config("5,,,1\n");
  backend->SetScript({Activation(3, 0), Activation(6, 1)});
  backend->SetFrameLimit(20);
  ASSERT_EQ(StartUp(), 0);
  EXPECT_LT(RunMessageLoop(*backend, 100000), 100000);
  EXPECT_EQ(backend->FramesRun(), 15);
  EXPECT_EQ(backend->Ticks(), 13);

  // A limit of 0 ends the run before its first frame.
  ResetAllState();
  UseBackend(HeadlessBackend::Options{});
  Config("5,,,1\n");
  backend->SetFrameLimit(0);
  ASSERT_EQ(StartUp(), 0);
  EXPECT_LT(RunMessageLoop(*backend, 100000), 100000);
  EXPECT_TRUE(backend->HasCall("quit 0"));
  EXPECT_EQ(backend->FramesRun(), 0);
}

TEST_F(WindowTest, TicksRunTwoFramesAfterTheFirstTwo) {
  Config("5,,,1\n");
  ASSERT_EQ(StartUp(), 0);
  backend->SetClock(1000);
  Tick();  // centres the cursor, enables presenting, first-start set-up
  EXPECT_TRUE(gFrameClocks.empty());
  EXPECT_TRUE(
      backend->HasCall("cursor place " + std::to_string(244 + 400) + "," + std::to_string(233 + 300)));
  EXPECT_EQ(frameClock.displayReady, -1);
  EXPECT_EQ(frameClock.startState, -1);
  EXPECT_EQ(frameClock.tickPhase, 22);
  EXPECT_NE(engine.random.s, 0);  // seeded at the first start

  backend->SetClock(2000);
  Tick();  // enters mode 0, then runs the first frame (loading step 0)
  ASSERT_EQ(gFrameClocks.size(), 1u);
  EXPECT_EQ(dispatcher.gameMode, 0);
  EXPECT_EQ(dispatcher.loadingStep, 1);
  EXPECT_GT(gFrameClocks[0] - 2000, 28);
  EXPECT_EQ(frameClock.tickPhase, 0);

  backend->SetClock(3000);
  Tick();
  ASSERT_EQ(gFrameClocks.size(), 3u);
  EXPECT_EQ(gFrameClocks[1], 3000);
  EXPECT_EQ(gFrameClocks[2], 3029);  // the first moment more than 28 ms on
  EXPECT_EQ(frameClock.secondPass, 0);

  // A clock that fails gives one frame per tick.
  backend->SetClock(-1);
  Tick();
  EXPECT_EQ(gFrameClocks.size(), 4u);
}

TEST_F(WindowTest, MouseSmoothingOnTheFirstFrameOfATick) {
  Config("5,,,1\n");
  ASSERT_EQ(StartUp(), 0);
  Tick();
  Tick();
  WindowProc(wm::WM_MOUSEMOVE, 0, MakeMouseParam(100, 50));
  std::vector<std::pair<int32_t, int32_t>> seen;
  static std::vector<std::pair<int32_t, int32_t>>* out = nullptr;
  out = &seen;
  SetFrameObserver([](int64_t) { out->push_back({input.mouseX, input.mouseY}); });
  Tick();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], std::make_pair((100 + 400) / 2, (50 + 300) / 2));
  EXPECT_EQ(seen[1], std::make_pair(100, 50));
  Tick();
  EXPECT_EQ(seen[2], std::make_pair(100, 50));
}

TEST_F(WindowTest, DeactivationKeepsTheModeAndTheCursorClipFollowsFullScreen) {
  Config("0,,,1024,768\n5,,,0\n");
  ASSERT_EQ(StartUp(), 0);
  Tick();
  EXPECT_TRUE(backend->CursorClipped());
  EXPECT_EQ(backend->CursorClip().left, 5);
  EXPECT_EQ(backend->CursorClip().top, 26);
  EXPECT_EQ(backend->CursorClip().right, 1019);
  EXPECT_EQ(backend->CursorClip().bottom, 763);
  for (int i = 0; i < 3; ++i) Tick();
  const int32_t step = dispatcher.loadingStep;
  const size_t frames = gFrameClocks.size();
  ASSERT_EQ(step, 5);

  WindowProc(wm::WM_ACTIVATEAPP, 0, 0);
  EXPECT_EQ(frameClock.appActive, 0);
  EXPECT_FALSE(backend->DisplayOpen());
  EXPECT_TRUE(backend->CursorShown());
  EXPECT_EQ(backend->CursorClip().right, 1279);  // the whole desktop
  EXPECT_TRUE(backend->HasCall("window place bottom 0,0,50,50 noactivate"));
  Tick();
  Tick();
  EXPECT_EQ(gFrameClocks.size(), frames);  // no frames while inactive

  WindowProc(wm::WM_ACTIVATEAPP, 1, 0);
  EXPECT_EQ(frameClock.appActive, -1);
  EXPECT_TRUE(backend->DisplayOpen());
  EXPECT_EQ(backend->CursorClip().right, 1019);
  EXPECT_EQ(frameClock.resizePending, -1);
  Tick();  // presents and re-enters the running phase, without a reset or a frame
  EXPECT_EQ(gFrameClocks.size(), frames);
  EXPECT_EQ(frameClock.tickPhase, 0);
  Tick();
  EXPECT_EQ(gFrameClocks.size(), frames + 2);
  EXPECT_EQ(dispatcher.loadingStep, step + 2);
  EXPECT_EQ(dispatcher.gameMode, 0);
  // Activation messages in the wrong state are ignored.
  WindowProc(wm::WM_ACTIVATEAPP, 1, 0);
  EXPECT_EQ(frameClock.appActive, -1);
}

TEST_F(WindowTest, WindowedDeactivationLeavesTheCursorUnclipped) {
  Config("5,,,1\n");
  ASSERT_EQ(StartUp(), 0);
  Tick();
  EXPECT_FALSE(backend->CursorClipped());
  WindowProc(wm::WM_ACTIVATEAPP, 0, 0);
  WindowProc(wm::WM_ACTIVATEAPP, 1, 0);
  EXPECT_FALSE(backend->CursorClipped());
  EXPECT_TRUE(backend->HasCall("window place top 240,212,804,621"));
}

TEST_F(WindowTest, PlaceCursorScalesAndClamps) {
  engine.screen.display.windowed = 0;
  engine.screen.display.width = 1024;
  engine.screen.display.height = 768;
  PlaceCursor(400, 300);
  EXPECT_EQ(backend->CursorX(), 512);
  EXPECT_EQ(backend->CursorY(), 384);
  PlaceCursor(-50, 5000);
  EXPECT_EQ(backend->CursorX(), 1);
  EXPECT_EQ(backend->CursorY(), 766);
  engine.screen.display.windowed = -1;
  engine.windowOriginX = 100;
  engine.windowOriginY = 20;
  PlaceCursor(10, 10);
  EXPECT_EQ(backend->CursorX(), 110);
  EXPECT_EQ(backend->CursorY(), 30);
}

TEST_F(WindowTest, CloseDestroysTheWindowAndEndsTheLoop) {
  Config("5,,,1\n6,,,1\n");
  ASSERT_EQ(StartUp(), 0);
  WindowProc(wm::WM_CLOSE, 0, 0);
  EXPECT_FALSE(backend->WindowExists());
  EXPECT_TRUE(backend->HasCall("quit 0"));
  platform::Message m;
  EXPECT_FALSE(backend->NextMessage(m));
  const std::string log = vxtest::ReadFile("en1_log.txt");
  EXPECT_NE(log.find("window closed. so, logover!\n\n"), std::string::npos);
  EXPECT_EQ(log.find("vxEngExit"), std::string::npos);
}

}  // namespace
