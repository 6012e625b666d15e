// The frame loop in steps, as a page calls it once per display frame: the
// same ticks, frames and clock readings as the blocking message loop, input
// only between ticks, and a late call running the second frame at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/globals.h"
#include "shell/mode_dispatcher.h"
#include "shell/window.h"
#include "support/engine_test.h"

namespace {

using platform::HeadlessBackend;

// What a frame saw: the clock, the random state, the mode and its step,
// the player's place and the arrow keys.
struct Seen {
  int32_t clock, mode, step, x, y, left;
  std::string random;
  bool operator==(const Seen&) const = default;
};
std::vector<Seen> gSeen;
void RecordFrame(int64_t) {
  gSeen.push_back(Seen{platform::Current().ClockMs(), dispatcher.gameMode, dispatcher.loadingStep, game.player.x,
                       game.player.y, input.left, RandomStateText(engine.random.s)});
}

platform::ScriptEvent Key(int64_t tick, uint32_t message, uint32_t code) {
  platform::ScriptEvent e;
  e.tick = tick;
  e.message = platform::Message{message, code, 0};
  return e;
}

// Through the title and the credits into the game, then a walk to the left.
std::vector<platform::ScriptEvent> Walk() {
  std::vector<platform::ScriptEvent> s;
  for (int64_t t = 20; t < 200; t += 20) {
    s.push_back(Key(t, wm::WM_KEYDOWN, vk::VK_RETURN));
    s.push_back(Key(t + 1, wm::WM_KEYUP, vk::VK_RETURN));
  }
  s.push_back(Key(210, wm::WM_KEYDOWN, vk::VK_LEFT));
  s.push_back(Key(260, wm::WM_KEYUP, vk::VK_LEFT));
  return s;
}

class LoopStepTest : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    LinkGeneratedData();
    gSeen.clear();
    SetFrameObserver(&RecordFrame);
  }
  void TearDown() override {
    SetFrameObserver(nullptr);
    EngineTest::TearDown();
  }
  void Start(int64_t frames) {
    vxtest::WriteFile("ini/main.ini", "5,,,1\n6,,,0\n15,,,0\n17,,,0\n");
    backend->SetScript(Walk());
    backend->SetFrameLimit(frames);
    ASSERT_EQ(StartUp(), 0);
  }
  // The page's way: a step, then the host waits as long as it says.
  int64_t RunSteps(int64_t limit) {
    int64_t steps = 0;
    for (; steps < limit; ++steps) {
      const int32_t wait = RunLoopStep();
      if (wait < 0) break;
      backend->WaitMs(wait);
    }
    return steps;
  }
  // Runs up to a tick whose first frame has run and whose second is not
  // due yet; the milliseconds until it is.
  int32_t UpToAWaitingTick() {
    RunSteps(3);  // the set-up ticks and the first frames, each wait waited
    const int32_t wait = RunLoopStep();
    EXPECT_GT(wait, 0);
    EXPECT_TRUE(frameClock.secondPassPending);
    EXPECT_EQ(dispatcher.gameMode, 0);
    return wait;
  }
};

TEST_F(LoopStepTest, TheStepsRunTheBlockingLoopsFrames) {
  Start(600);
  platform::Message m;
  while (backend->NextMessage(m)) WindowProc(m.message, m.wParam, m.lParam);
  const std::vector<Seen> blocking = gSeen;
  // The tick that reaches the limit in its first frame still runs its second.
  ASSERT_EQ(blocking.size(), 601u);

  // The second run starts from the same folder: what the first one wrote
  // (its log, settings) goes, the data set stays.
  ResetAllState();
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().filename() != "data") std::filesystem::remove_all(entry.path());
  UseBackend(HeadlessBackend::Options{});
  gSeen.clear();
  Start(600);
  EXPECT_LT(RunSteps(100000), 100000);
  EXPECT_TRUE(backend->HasCall("quit 0"));
  ASSERT_EQ(gSeen.size(), blocking.size());
  for (size_t i = 0; i < gSeen.size(); ++i) ASSERT_EQ(gSeen[i], blocking[i]) << "frame " << i + 1;
  // The walk was played: the game ran and the player moved in it.
  EXPECT_EQ(gSeen.back().mode, 1);
  EXPECT_TRUE(std::any_of(gSeen.begin(), gSeen.end(), [](const Seen& f) {
    return f.mode == 1 && f.left != 0 && f.x != gSeen.back().x;
  }));
}

TEST_F(LoopStepTest, InputWaitsForTheSecondFrameOfItsTick) {
  Start(-1);
  const int32_t first = UpToAWaitingTick();
  const size_t frames = gSeen.size();
  ASSERT_GT(frames, 0u);
  // A key arrives while the tick waits for its second frame; the page calls
  // back before that is due.
  backend->Post(platform::Message{wm::WM_KEYDOWN, vk::VK_LEFT, 0});
  const int32_t wait = RunLoopStep();
  EXPECT_EQ(wait, first);  // the clock has not moved
  EXPECT_EQ(wait, 1000 / frameClock.fps + 1);
  EXPECT_EQ(gSeen.size(), frames);
  EXPECT_EQ(input.left, 0);
  // Once it is due, the second frame runs without the key, and the key
  // reaches the game after it.
  backend->WaitMs(wait);
  EXPECT_GT(RunLoopStep(), 0);  // and the next tick's first frame, which waits again
  ASSERT_EQ(gSeen.size(), frames + 2);
  EXPECT_EQ(gSeen[frames].left, 0);
  EXPECT_EQ(gSeen[frames + 1].left, 1);
}

TEST_F(LoopStepTest, ALateCallRunsTheSecondFrameAtOnce) {
  Start(-1);
  UpToAWaitingTick();
  const size_t frames = gSeen.size();
  const int32_t tickStart = frameClock.tickStart;
  // The page was held up for 200 ms: the second frame is overdue and runs
  // in the same call as the next tick's first, as the desktop runs it
  // without sleeping.
  backend->SetClock(tickStart + 200);
  EXPECT_EQ(SecondPassWait(), 0);
  EXPECT_GT(RunLoopStep(), 0);
  ASSERT_EQ(gSeen.size(), frames + 2);
  EXPECT_EQ(gSeen[frames].clock, tickStart + 200);
  // A clock that went back does not hold the second frame either.
  ASSERT_TRUE(frameClock.secondPassPending);
  backend->SetClock(frameClock.tickStart - 5);
  EXPECT_EQ(SecondPassWait(), 0);
  // Exactly one frame period on is not yet more than it.
  backend->SetClock(frameClock.tickStart + 1000 / frameClock.fps);
  EXPECT_EQ(SecondPassWait(), 1);
}

}  // namespace
