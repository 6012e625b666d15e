#pragma once
// Backends that stand between the engine and the real one while a demo is
// recorded or played. The recording one passes everything through and
// notes what the game reads from outside: the messages that reach the
// window procedure, each before the tick it arrived before, and every
// reading of the state clock within its tick. The playback one gives the
// game those messages and readings instead of the real ones; in a window it
// also takes the viewer's keys to pause, step a frame and run fast.
#include <cstdint>
#include <deque>
#include <map>
#include <vector>

#include "platform/headless/input_script.h"
#include "platform/platform.h"

namespace platform {

// Passes every call on to the backend it wraps.
class ForwardingBackend : public Backend {
 public:
  explicit ForwardingBackend(Backend& inner) : inner_(inner) {}

  bool CreateMainWindow(const char* title, bool popup, int32_t x, int32_t y, int32_t width,
                        int32_t height) override {
    return inner_.CreateMainWindow(title, popup, x, y, width, height);
  }
  void ShowMainWindow() override { inner_.ShowMainWindow(); }
  void PlaceWindow(ZOrder z, int32_t x, int32_t y, int32_t width, int32_t height, bool activate) override {
    inner_.PlaceWindow(z, x, y, width, height, activate);
  }
  Rect WindowRect() override { return inner_.WindowRect(); }
  void DestroyMainWindow() override { inner_.DestroyMainWindow(); }
  int32_t SystemMetric(Metric metric) override { return inner_.SystemMetric(metric); }
  void ShowCursor(bool show) override { inner_.ShowCursor(show); }
  void SetCursorPos(int32_t x, int32_t y) override { inner_.SetCursorPos(x, y); }
  void ClipCursor(const Rect* rect) override { inner_.ClipCursor(rect); }
  // As the backends do, the loop ends at once: what is still queued is
  // not delivered.
  void PostQuit(int32_t code) override {
    quit_ = true;
    inner_.PostQuit(code);
  }
  uint32_t StartTimer(uint32_t id, uint32_t periodMs) override { return inner_.StartTimer(id, periodMs); }
  void StopTimer(uint32_t id) override { inner_.StopTimer(id); }
  int32_t ClockMs() override { return inner_.ClockMs(); }
  void WaitMs(int32_t ms) override { inner_.WaitMs(ms); }
  int32_t OpenDisplay(int32_t width, int32_t height) override { return inner_.OpenDisplay(width, height); }
  void CloseDisplay() override { inner_.CloseDisplay(); }
  bool LockDisplay(SurfaceLock& out) override { return inner_.LockDisplay(out); }
  void UnlockDisplay() override { inner_.UnlockDisplay(); }
  int32_t CopyToWindow(const uint32_t* pixels, int32_t width, int32_t height) override {
    return inner_.CopyToWindow(pixels, width, height);
  }
  int32_t OpenAudio() override { return inner_.OpenAudio(); }
  void CloseAudio() override { inner_.CloseAudio(); }
  int32_t CreateSoundBuffer(const WaveFormat& format, const uint8_t* data, uint32_t bytes,
                            int32_t tag) override {
    return inner_.CreateSoundBuffer(format, data, bytes, tag);
  }
  void ReleaseSoundBuffer(int32_t handle) override { inner_.ReleaseSoundBuffer(handle); }
  void PlaySoundBuffer(int32_t handle, bool looping) override { inner_.PlaySoundBuffer(handle, looping); }
  void StopSoundBuffer(int32_t handle) override { inner_.StopSoundBuffer(handle); }
  void SetScaleMode(ScaleMode mode) override { inner_.SetScaleMode(mode); }
  bool SetDesktopFullScreen(bool on) override { return inner_.SetDesktopFullScreen(on); }
  bool DesktopFullScreen() override { return inner_.DesktopFullScreen(); }
  void EnableGamepads(bool on) override { inner_.EnableGamepads(on); }
  bool FileExists(const char* path) override { return inner_.FileExists(path); }
  bool DeleteFile(const char* path) override { return inner_.DeleteFile(path); }
  bool StartProcess(const char* path, const std::vector<std::string>& args) override {
    return inner_.StartProcess(path, args);
  }

 protected:
  // The frame limit's close goes through this backend's own queue.
  void RequestClose() override { queued_.push_back(Message{wm::WM_CLOSE, 0, 0}); }
  bool TakeQueued(Message& out) {
    if (queued_.empty()) return false;
    out = queued_.front();
    queued_.pop_front();
    return true;
  }

  Backend& inner_;
  std::deque<Message> queued_;
  bool quit_ = false;
};

// Where a recording goes, as it happens.
class DemoSink {
 public:
  virtual ~DemoSink() = default;
  virtual void Event(const ScriptEvent& event) = 0;
  // The state clock's readings of one tick, in the order they were taken.
  virtual void ClockReadings(int64_t tick, const std::vector<int32_t>& readings) = 0;
};

// The message as a demo event, stamped with its tick; false for a message
// the game's state does not depend on (paint, move, characters, timers) or
// one that cannot be written down (a key without a name, a size out of
// range).
bool EventFromMessage(const Message& m, int64_t tick, ScriptEvent& out);

class RecordingBackend : public ForwardingBackend {
 public:
  RecordingBackend(Backend& inner, DemoSink& sink) : ForwardingBackend(inner), sink_(sink) {}

  bool NextMessage(Message& out) override;
  // The same without waiting, for a host that calls the loop back (the
  // page records as the desktop does).
  Poll PollMessage(Message& out) override;
  int32_t StateClockMs() override;
  // Hands over the readings of the tick under way (at the program's end).
  void Flush();
  int64_t Ticks() const { return ticks_; }

 private:
  Poll Take(Message& out, bool wait);

  DemoSink& sink_;
  int64_t ticks_ = 0;
  bool inTick_ = false;
  std::vector<int32_t> readings_;
};

// What a demo gives the game: its events in tick order and the state
// clock's readings of each tick.
struct DemoInput {
  std::vector<ScriptEvent> events;
  std::map<int64_t, std::vector<int32_t>> readings;
  int64_t lastTick = 0;  // after it the playback closes the window itself
};

class PlaybackBackend : public ForwardingBackend {
 public:
  // `viewer`: a window a person watches, whose keys steer the playback
  // (otherwise every message but the timer's and the window's own is
  // dropped as well, and ticks come as the wrapped backend gives them).
  PlaybackBackend(Backend& inner, DemoInput input, bool viewer);

  bool NextMessage(Message& out) override;
  // NextMessage without waiting, for a host that calls the loop back (the
  // page). Running fast, it makes a tick whenever nothing else waits, and
  // answers Empty once after each such tick, so that a loop step taking
  // messages until none is left still returns.
  Poll PollMessage(Message& out) override;
  int32_t StateClockMs() override;
  int32_t ClockMs() override;
  void WaitMs(int32_t ms) override;
  // A viewer's window stays as the viewer has it: the recorded player's
  // focus loss, which the game answers by sending its window to the back
  // at a small size, reaches the game (it pauses as it did) but does not
  // shrink the window the playback is watched in.
  void PlaceWindow(ZOrder z, int32_t x, int32_t y, int32_t width, int32_t height, bool activate) override;
  // For a host that cannot wait, between a tick's two frames: takes the
  // viewer's keys that have arrived, and is true while the pause holds the
  // second frame back (a step asked for lets it run and is used up).
  bool PauseHolds();

  // The first tick whose readings did not match what the game asked for
  // (fewer or more), 0 while all did.
  int64_t ClockMismatchTick() const { return clockMismatchTick_; }
  int64_t Ticks() const { return ticks_; }
  bool Paused() const { return paused_; }
  bool Fast() const { return fast_; }
  // The viewer's keys: P or Space pauses and resumes, N or Right steps a
  // frame while paused, F or Tab runs as fast as it can, Escape ends.
  // Exposed for tests; true when the key was one of them.
  bool ViewerKey(uint32_t key);

 private:
  Poll Take(Message& out, bool wait);
  bool StartTick(Message& out);
  void WaitForStep();
  // Until a step or the pause's end (waiting for the viewer's keys, or
  // only taking those that have arrived); true while still paused without
  // a step.
  bool HoldForStep(bool wait);
  void Say(const char* what);

  DemoInput input_;
  bool viewer_;
  size_t next_ = 0;
  int64_t ticks_ = 0;
  std::vector<int32_t> current_;
  size_t used_ = 0;
  int32_t lastReading_ = 0;
  int64_t clockMismatchTick_ = 0;
  bool closing_ = false;
  bool paused_ = false;
  bool fast_ = false;
  int32_t steps_ = 0;
  int64_t skippedMs_ = 0;
  bool owesEmpty_ = false;  // a fast tick was made for a polling host
};

}  // namespace platform
