#include "platform/demo_backends.h"

#include <cstdio>
#include <utility>

#include "platform/gamepad.h"

namespace platform {

bool EventFromMessage(const Message& m, int64_t tick, ScriptEvent& out) {
  out = ScriptEvent{};
  out.tick = tick;
  switch (m.message) {
    case wm::WM_KEYDOWN:
    case wm::WM_KEYUP:
      if (KeyNameFromCode(m.wParam)[0] == '\0') return false;
      out.message = Message{m.message, m.wParam, m.message == wm::WM_KEYDOWN ? (m.lParam & kKeyRepeat) : 0};
      return true;
    case wm::WM_MOUSEMOVE:
    case wm::WM_LBUTTONDOWN:
    case wm::WM_LBUTTONUP:
    case wm::WM_RBUTTONDOWN:
    case wm::WM_RBUTTONUP:
      // The buttons' positions are not read; a move's is.
      out.message = Message{m.message, 0, m.message == wm::WM_MOUSEMOVE ? m.lParam : 0};
      return true;
    case wm::WM_ACTIVATEAPP:
      out.message = Message{m.message, m.wParam != 0 ? 1u : 0u, 0};
      return true;
    case wm::WM_PADBUTTONDOWN:
    case wm::WM_PADBUTTONUP:
      if (m.wParam >= kPadButtonCount) return false;
      out.message = Message{m.message, m.wParam, 0};
      return true;
    case wm::WM_CLOSE:
      out.close = true;
      return true;
    case wm::WM_SIZE: {
      const int32_t w = m.lParam & 0xFFFF, h = (m.lParam >> 16) & 0xFFFF;
      if (w < 1 || h < 1 || w > 16384 || h > 16384) return false;
      out.resize = true;
      out.width = w;
      out.height = h;
      return true;
    }
    default:
      return false;
  }
}

void RecordingBackend::Flush() {
  if (!inTick_ && readings_.empty()) return;
  sink_.ClockReadings(ticks_, readings_);
  readings_.clear();
  inTick_ = false;
}

bool RecordingBackend::NextMessage(Message& out) { return Take(out, true) == Poll::Message; }

Poll RecordingBackend::PollMessage(Message& out) { return Take(out, false); }

Poll RecordingBackend::Take(Message& out, bool wait) {
  // Asked for the next message: the tick before has run.
  Flush();
  if (quit_) return Poll::Quit;
  if (!TakeQueued(out)) {
    if (wait) {
      if (!inner_.NextMessage(out)) return Poll::Quit;
    } else if (const Poll p = inner_.PollMessage(out); p != Poll::Message) {
      return p;
    }
  }
  if (out.message == wm::WM_TIMER) {
    ++ticks_;
    inTick_ = true;
    return Poll::Message;
  }
  ScriptEvent ev;
  if (EventFromMessage(out, ticks_ + 1, ev)) sink_.Event(ev);
  return Poll::Message;
}

int32_t RecordingBackend::StateClockMs() {
  const int32_t now = inner_.ClockMs();
  readings_.push_back(now);
  return now;
}

PlaybackBackend::PlaybackBackend(Backend& inner, DemoInput input, bool viewer)
    : ForwardingBackend(inner), input_(std::move(input)), viewer_(viewer) {}

void PlaybackBackend::Say(const char* what) {
  std::printf("vxgame: %s at frame %lld\n", what, static_cast<long long>(FramesRun()));
  std::fflush(stdout);
}

bool PlaybackBackend::ViewerKey(uint32_t key) {
  switch (key) {
    case 'P':
    case vk::VK_SPACE:
      paused_ = !paused_;
      steps_ = 0;
      Say(paused_ ? "paused" : "playing");
      return true;
    case 'N':
    case vk::VK_RIGHT:
      if (paused_) ++steps_;
      return true;
    case 'F':
    case vk::VK_TAB:
      fast_ = !fast_;
      Say(fast_ ? "fast" : "normal speed");
      return true;
    case vk::VK_ESCAPE:
      closing_ = true;
      queued_.push_back(Message{wm::WM_CLOSE, 0, 0});
      return true;
    default:
      return false;
  }
}

bool PlaybackBackend::StartTick(Message& out) {
  if (used_ < current_.size() && clockMismatchTick_ == 0) clockMismatchTick_ = ticks_;
  ++ticks_;
  if (ticks_ > input_.lastTick) {
    // The demo is over without a close of its own (it was cut short):
    // the window closes as its button would.
    closing_ = true;
    out = Message{wm::WM_CLOSE, 0, 0};
    return true;
  }
  for (; next_ < input_.events.size() && input_.events[next_].tick <= ticks_; ++next_) {
    const ScriptEvent& ev = input_.events[next_];
    if (ev.close) {
      // The recorded game ended here: its tick never came.
      queued_.push_back(Message{wm::WM_CLOSE, 0, 0});
      closing_ = true;
      next_ = input_.events.size();
      return TakeQueued(out);
    }
    if (ev.resize) {
      queued_.push_back(Message{wm::WM_SIZE, 0, MakeMouseParam(ev.width, ev.height)});
    } else {
      queued_.push_back(ev.message);
    }
  }
  queued_.push_back(Message{wm::WM_TIMER, 0, 0});
  const auto it = input_.readings.find(ticks_);
  current_ = it == input_.readings.end() ? std::vector<int32_t>{} : it->second;
  used_ = 0;
  return TakeQueued(out);
}

bool PlaybackBackend::NextMessage(Message& out) { return Take(out, true) == Poll::Message; }

Poll PlaybackBackend::PollMessage(Message& out) { return Take(out, false); }

Poll PlaybackBackend::Take(Message& out, bool wait) {
  for (;;) {
    if (quit_) return Poll::Quit;
    if (TakeQueued(out)) return Poll::Message;
    Message m;
    if (viewer_ && fast_ && !paused_) {
      // Fast: a tick whenever nothing else waits.
      switch (inner_.PollMessage(m)) {
        case Poll::Quit:
          return Poll::Quit;
        case Poll::Empty:
          if (!wait && owesEmpty_) {
            owesEmpty_ = false;
            return Poll::Empty;
          }
          owesEmpty_ = !wait;
          m = Message{wm::WM_TIMER, 0, 0};
          break;
        case Poll::Message:
          break;
      }
    } else if (wait) {
      if (!inner_.NextMessage(m)) return Poll::Quit;
    } else {
      switch (inner_.PollMessage(m)) {
        case Poll::Quit:
          return Poll::Quit;
        case Poll::Empty:
          return Poll::Empty;
        case Poll::Message:
          break;
      }
    }
    if (m.message == wm::WM_TIMER) {
      if (closing_) continue;
      if (paused_) {
        if (steps_ == 0) continue;
        --steps_;
      }
      return StartTick(out) ? Poll::Message : Poll::Quit;
    }
    switch (m.message) {
      case wm::WM_KEYDOWN:
        if (viewer_ && (m.lParam & kKeyRepeat) == 0) ViewerKey(m.wParam);
        continue;
      case wm::WM_KEYUP:
      case wm::WM_MOUSEMOVE:
      case wm::WM_LBUTTONDOWN:
      case wm::WM_LBUTTONUP:
      case wm::WM_RBUTTONDOWN:
      case wm::WM_RBUTTONUP:
      case wm::WM_PADBUTTONDOWN:
      case wm::WM_PADBUTTONUP:
      case wm::WM_ACTIVATEAPP:
        // The viewer's own input and focus are not the recorded player's.
        continue;
      default:
        out = m;
        return Poll::Message;
    }
  }
}

void PlaybackBackend::PlaceWindow(ZOrder z, int32_t x, int32_t y, int32_t width, int32_t height, bool activate) {
  // The game sends its window to the back only when it loses the focus.
  if (viewer_ && z == ZOrder::Bottom) return;
  inner_.PlaceWindow(z, x, y, width, height, activate);
}

int32_t PlaybackBackend::StateClockMs() {
  if (used_ < current_.size()) {
    lastReading_ = current_[used_++];
    return lastReading_;
  }
  // The game asks more often than it did when it was recorded: it is out
  // of step already; the last reading keeps it going.
  if (clockMismatchTick_ == 0) clockMismatchTick_ = ticks_;
  return lastReading_;
}

int32_t PlaybackBackend::ClockMs() { return static_cast<int32_t>(inner_.ClockMs() + skippedMs_); }

void PlaybackBackend::WaitMs(int32_t ms) {
  if (!viewer_) {
    inner_.WaitMs(ms);
  } else if (paused_) {
    WaitForStep();
  } else if (fast_) {
    skippedMs_ += ms;  // the frame loop sees the time as passed
  } else {
    inner_.WaitMs(ms);
  }
}

// Between a tick's two frames while paused: the viewer's keys until the
// next step, the end of the pause or the window's close.
void PlaybackBackend::WaitForStep() { HoldForStep(true); }

bool PlaybackBackend::PauseHolds() { return viewer_ && paused_ && HoldForStep(false); }

bool PlaybackBackend::HoldForStep(bool wait) {
  while (paused_ && steps_ == 0 && !closing_) {
    Message m;
    if (wait ? !inner_.NextMessage(m) : inner_.PollMessage(m) != Poll::Message) break;
    if (m.message == wm::WM_KEYDOWN && (m.lParam & kKeyRepeat) == 0) {
      ViewerKey(m.wParam);
    } else if (m.message == wm::WM_CLOSE) {
      closing_ = true;
      queued_.push_back(m);
    }
  }
  if (paused_ && steps_ > 0) {
    --steps_;
    return false;
  }
  return paused_ && !closing_;
}

}  // namespace platform
