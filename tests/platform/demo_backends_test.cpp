// The backends between the engine and the real one while a demo is
// recorded or played: what the recording notes and at which tick, and what
// the playback gives the game instead of the real messages and clock.
#include "platform/demo_backends.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/headless/headless_backend.h"

namespace {

using platform::Message;
using platform::ScriptEvent;

struct Notes : platform::DemoSink {
  std::vector<ScriptEvent> events;
  std::vector<std::pair<int64_t, std::vector<int32_t>>> readings;
  void Event(const ScriptEvent& e) override { events.push_back(e); }
  void ClockReadings(int64_t tick, const std::vector<int32_t>& r) override { readings.emplace_back(tick, r); }
};

TEST(RecordingBackend, NotesEventsBeforeTheirTickAndEachTicksClockReadings) {
  platform::HeadlessBackend inner;
  inner.StartTimer(0, 50);
  Notes notes;
  platform::RecordingBackend rec(inner, notes);
  inner.Post(Message{wm::WM_KEYDOWN, vk::VK_LEFT, platform::kKeyRepeat});
  inner.Post(Message{wm::WM_PAINT, 0, 0});  // nothing the game's state reads
  inner.Post(Message{wm::WM_MOVE, 0, 0});
  Message m;
  ASSERT_TRUE(rec.NextMessage(m));
  EXPECT_EQ(m.message, wm::WM_KEYDOWN);
  ASSERT_TRUE(rec.NextMessage(m));
  ASSERT_TRUE(rec.NextMessage(m));
  ASSERT_TRUE(rec.NextMessage(m));
  EXPECT_EQ(m.message, wm::WM_TIMER);
  EXPECT_EQ(rec.StateClockMs(), 50);
  inner.WaitMs(29);
  EXPECT_EQ(rec.StateClockMs(), 79);
  EXPECT_EQ(rec.ClockMs(), 79);  // the loop's own reads are not noted
  inner.Post(Message{wm::WM_MOUSEMOVE, 0, MakeMouseParam(7, 9)});
  ASSERT_TRUE(rec.NextMessage(m));  // tick 1 has run
  ASSERT_TRUE(rec.NextMessage(m));  // tick 2
  EXPECT_EQ(m.message, wm::WM_TIMER);
  rec.Flush();
  ASSERT_EQ(notes.events.size(), 2u);
  EXPECT_EQ(notes.events[0].tick, 1);
  EXPECT_EQ(notes.events[0].message.lParam, platform::kKeyRepeat);
  EXPECT_EQ(notes.events[1].tick, 2);
  EXPECT_EQ(notes.events[1].message.lParam, MakeMouseParam(7, 9));
  ASSERT_EQ(notes.readings.size(), 2u);
  EXPECT_EQ(notes.readings[0], (std::pair<int64_t, std::vector<int32_t>>{1, {50, 79}}));
  EXPECT_EQ(notes.readings[1], (std::pair<int64_t, std::vector<int32_t>>{2, {}}));
}

TEST(RecordingBackend, TheFrameLimitsCloseIsRecordedAndTheLoopEndsAtTheQuit) {
  platform::HeadlessBackend inner;
  inner.StartTimer(0, 50);
  Notes notes;
  platform::RecordingBackend rec(inner, notes);
  rec.SetFrameLimit(1);
  Message m;
  ASSERT_TRUE(rec.NextMessage(m));
  rec.NoteFrame();
  ASSERT_TRUE(rec.NextMessage(m));
  EXPECT_EQ(m.message, wm::WM_CLOSE);
  ASSERT_EQ(notes.events.size(), 1u);
  EXPECT_TRUE(notes.events[0].close);
  EXPECT_EQ(notes.events[0].tick, 2);
  rec.PostQuit(0);
  EXPECT_FALSE(rec.NextMessage(m));
}

platform::DemoInput Input() {
  platform::DemoInput in;
  ScriptEvent key;
  key.tick = 2;
  key.message = Message{wm::WM_KEYDOWN, vk::VK_SPACE, 0};
  ScriptEvent close;
  close.tick = 4;
  close.close = true;
  in.events = {key, close};
  in.readings = {{1, {100, 129}}, {2, {150}}};
  in.lastTick = 4;
  return in;
}

TEST(PlaybackBackend, GivesTheDemosEventsAndReadingsInsteadOfTheRealOnes) {
  platform::HeadlessBackend inner;
  inner.StartTimer(0, 50);
  platform::PlaybackBackend play(inner, Input(), false);
  inner.Post(Message{wm::WM_KEYDOWN, vk::VK_LEFT, 0});  // not the recorded player's
  inner.Post(Message{wm::WM_SIZE, 0, 0});               // the window's own goes on
  Message m;
  ASSERT_TRUE(play.NextMessage(m));
  EXPECT_EQ(m.message, wm::WM_SIZE);
  ASSERT_TRUE(play.NextMessage(m));
  EXPECT_EQ(m.message, wm::WM_TIMER);
  EXPECT_EQ(play.StateClockMs(), 100);
  EXPECT_EQ(play.StateClockMs(), 129);
  ASSERT_TRUE(play.NextMessage(m));
  EXPECT_EQ(m.message, wm::WM_KEYDOWN);
  EXPECT_EQ(m.wParam, vk::VK_SPACE);
  ASSERT_TRUE(play.NextMessage(m));
  EXPECT_EQ(m.message, wm::WM_TIMER);
  EXPECT_EQ(play.ClockMismatchTick(), 0);
  EXPECT_EQ(play.StateClockMs(), 150);
  // One reading more than was recorded: out of step, noted in its tick.
  EXPECT_EQ(play.StateClockMs(), 150);
  EXPECT_EQ(play.ClockMismatchTick(), 2);
  ASSERT_TRUE(play.NextMessage(m));  // tick 3
  EXPECT_EQ(m.message, wm::WM_TIMER);
  // The recorded close comes where its tick would have, and the tick not.
  ASSERT_TRUE(play.NextMessage(m));
  EXPECT_EQ(m.message, wm::WM_CLOSE);
  play.PostQuit(0);
  EXPECT_FALSE(play.NextMessage(m));
}

TEST(PlaybackBackend, AReadingLeftUnusedIsAMismatchOfItsTick) {
  platform::HeadlessBackend inner;
  inner.StartTimer(0, 50);
  platform::PlaybackBackend play(inner, Input(), false);
  Message m;
  ASSERT_TRUE(play.NextMessage(m));
  EXPECT_EQ(play.StateClockMs(), 100);
  ASSERT_TRUE(play.NextMessage(m));  // the next tick starts with 129 unread
  EXPECT_EQ(play.ClockMismatchTick(), 1);
}

TEST(PlaybackBackend, ADemoWithoutACloseEndsAfterItsLastTick) {
  platform::HeadlessBackend inner;
  inner.StartTimer(0, 50);
  platform::DemoInput in;
  in.lastTick = 2;
  platform::PlaybackBackend play(inner, in, false);
  Message m;
  ASSERT_TRUE(play.NextMessage(m));
  ASSERT_TRUE(play.NextMessage(m));
  EXPECT_EQ(m.message, wm::WM_TIMER);
  ASSERT_TRUE(play.NextMessage(m));
  EXPECT_EQ(m.message, wm::WM_CLOSE);
}

TEST(PlaybackBackend, TheViewerPausesStepsFramesAndRunsFast) {
  platform::HeadlessBackend inner;
  inner.StartTimer(0, 50);
  platform::PlaybackBackend play(inner, Input(), true);
  inner.Post(Message{wm::WM_KEYDOWN, 'P', 0});
  inner.Post(Message{wm::WM_KEYDOWN, 'N', 0});
  Message m;
  // Paused, one step lets one tick's first frame run ...
  ASSERT_TRUE(play.NextMessage(m));
  EXPECT_EQ(m.message, wm::WM_TIMER);
  EXPECT_TRUE(play.Paused());
  EXPECT_EQ(play.Ticks(), 1);
  // ... and its second waits for the next step.
  inner.Post(Message{wm::WM_KEYDOWN, 'N', 0});
  play.WaitMs(29);
  inner.Post(Message{wm::WM_KEYDOWN, 'N', platform::kKeyRepeat});  // a held key's repeats do not step
  inner.Post(Message{wm::WM_KEYDOWN, 'P', 0});
  ASSERT_TRUE(play.NextMessage(m));  // the pause ends, tick 2's key
  EXPECT_FALSE(play.Paused());
  EXPECT_EQ(m.message, wm::WM_KEYDOWN);
  EXPECT_EQ(play.Ticks(), 2);
  ASSERT_TRUE(play.NextMessage(m));
  EXPECT_EQ(m.message, wm::WM_TIMER);
  // Fast: a wait passes at once, and the loop's clock says it passed.
  EXPECT_TRUE(play.ViewerKey('F'));
  EXPECT_TRUE(play.Fast());
  const int32_t before = play.ClockMs();
  play.WaitMs(29);
  EXPECT_EQ(play.ClockMs(), before + 29);
  EXPECT_EQ(inner.ClockMs() + 29, play.ClockMs());
  EXPECT_FALSE(play.ViewerKey('Q'));
  // Escape ends the watching.
  EXPECT_TRUE(play.ViewerKey(vk::VK_ESCAPE));
  ASSERT_TRUE(play.NextMessage(m));
  EXPECT_EQ(m.message, wm::WM_CLOSE);
}

// A host that calls the loop back instead of letting it wait, as the page
// does: NextMessage is PollMessage, and nothing arrived is Empty, not a
// quit. Timers are due only when the test says so. It notes where the
// game asked its window to go.
struct PageLike : platform::HeadlessBackend {
  std::deque<Message> queue;
  int timersDue = 0;
  std::vector<platform::ZOrder> placed;
  platform::Poll PollMessage(Message& out) override {
    if (!queue.empty()) {
      out = queue.front();
      queue.pop_front();
      return platform::Poll::Message;
    }
    if (timersDue == 0) return platform::Poll::Empty;
    --timersDue;
    out = Message{wm::WM_TIMER, 0, 0};
    return platform::Poll::Message;
  }
  bool NextMessage(Message& out) override { return PollMessage(out) == platform::Poll::Message; }
  void PlaceWindow(platform::ZOrder z, int32_t, int32_t, int32_t, int32_t, bool) override { placed.push_back(z); }
  void Key(uint32_t key) { queue.push_back(Message{wm::WM_KEYDOWN, key, 0}); }
};

TEST(PlaybackBackend, APollingHostIsToldNothingArrivedAndSteersAsAWindowDoes) {
  PageLike page;
  platform::PlaybackBackend play(page, Input(), true);
  Message m;
  // Nothing yet: the step returns to the page, the playback goes on.
  EXPECT_EQ(play.PollMessage(m), platform::Poll::Empty);
  EXPECT_EQ(play.PollMessage(m), platform::Poll::Empty);
  page.timersDue = 1;
  ASSERT_EQ(play.PollMessage(m), platform::Poll::Message);
  EXPECT_EQ(m.message, wm::WM_TIMER);
  EXPECT_EQ(play.Ticks(), 1);
  EXPECT_EQ(play.PollMessage(m), platform::Poll::Empty);
  // Paused: the page's timer goes on, no tick starts.
  page.Key('P');
  page.timersDue = 3;
  EXPECT_EQ(play.PollMessage(m), platform::Poll::Empty);
  EXPECT_TRUE(play.Paused());
  EXPECT_EQ(play.Ticks(), 1);
  // A step starts tick 2 (its recorded key first) ...
  page.Key('N');
  page.timersDue = 1;
  ASSERT_EQ(play.PollMessage(m), platform::Poll::Message);
  EXPECT_EQ(m.message, wm::WM_KEYDOWN);
  EXPECT_EQ(play.Ticks(), 2);
  ASSERT_EQ(play.PollMessage(m), platform::Poll::Message);
  EXPECT_EQ(m.message, wm::WM_TIMER);
  // ... whose second frame is held until the next step, which is used up.
  EXPECT_TRUE(play.PauseHolds());
  EXPECT_TRUE(play.PauseHolds());
  page.Key('N');
  EXPECT_FALSE(play.PauseHolds());
  EXPECT_TRUE(play.PauseHolds());
  page.Key('P');
  EXPECT_FALSE(play.PauseHolds());
  EXPECT_FALSE(play.Paused());
  // Fast: a tick whenever nothing waits, with an Empty after each, so that
  // a loop step that takes messages until none is left returns.
  page.Key('F');
  ASSERT_EQ(play.PollMessage(m), platform::Poll::Message);
  EXPECT_EQ(m.message, wm::WM_TIMER);
  EXPECT_EQ(play.Ticks(), 3);
  EXPECT_EQ(play.PollMessage(m), platform::Poll::Empty);
  // Tick 4 holds the recorded close, which ends the demo.
  ASSERT_EQ(play.PollMessage(m), platform::Poll::Message);
  EXPECT_EQ(m.message, wm::WM_CLOSE);
  play.PostQuit(0);
  EXPECT_EQ(play.PollMessage(m), platform::Poll::Quit);
}

TEST(RecordingBackend, APollingHostsEmptyQueueIsNoQuitAndNoEvent) {
  PageLike page;
  Notes notes;
  platform::RecordingBackend rec(page, notes);
  Message m;
  EXPECT_EQ(rec.PollMessage(m), platform::Poll::Empty);
  page.Key('A');
  page.timersDue = 1;
  ASSERT_EQ(rec.PollMessage(m), platform::Poll::Message);
  ASSERT_EQ(rec.PollMessage(m), platform::Poll::Message);
  EXPECT_EQ(m.message, wm::WM_TIMER);
  EXPECT_EQ(rec.StateClockMs(), page.ClockMs());
  EXPECT_EQ(rec.PollMessage(m), platform::Poll::Empty);
  EXPECT_EQ(rec.Ticks(), 1);
  ASSERT_EQ(notes.events.size(), 1u);
  EXPECT_EQ(notes.events[0].tick, 1);
  ASSERT_EQ(notes.readings.size(), 1u);
  EXPECT_EQ(notes.readings[0].first, 1);
  EXPECT_EQ(notes.readings[0].second.size(), 1u);
  rec.PostQuit(0);
  EXPECT_EQ(rec.PollMessage(m), platform::Poll::Quit);
}

// The game sends its window to the back at 50 x 50 when it loses the
// focus. In a watched playback the recorded focus loss must not do that to
// the viewer's window; a headless playback passes everything on.
TEST(PlaybackBackend, AReplayedFocusLossLeavesTheViewersWindowAlone) {
  PageLike page;
  platform::PlaybackBackend watched(page, Input(), true);
  watched.PlaceWindow(platform::ZOrder::Bottom, 0, 0, 50, 50, false);
  watched.PlaceWindow(platform::ZOrder::Top, 112, 84, 800, 600, true);
  EXPECT_EQ(page.placed, std::vector<platform::ZOrder>{platform::ZOrder::Top});
  platform::PlaybackBackend headless(page, Input(), false);
  headless.PlaceWindow(platform::ZOrder::Bottom, 0, 0, 50, 50, false);
  EXPECT_EQ(page.placed.size(), 2u);
}

}  // namespace
