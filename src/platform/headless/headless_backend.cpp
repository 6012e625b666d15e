#include "platform/headless/headless_backend.h"

#include <algorithm>
#include <cstring>

namespace platform {

HeadlessBackend::HeadlessBackend() : HeadlessBackend(Options{}) {}
HeadlessBackend::HeadlessBackend(const Options& options) : options_(options) {}

void HeadlessBackend::SetScript(std::vector<ScriptEvent> events) {
  script_ = std::move(events);
  scriptPos_ = 0;
}

void HeadlessBackend::Note(std::string what) {
  calls_.push_back(Call{FramesRun(), ticks_, std::move(what)});
}

bool HeadlessBackend::HasCall(const std::string& what) const {
  return std::any_of(calls_.begin(), calls_.end(), [&](const Call& c) { return c.what == what; });
}

static std::string Join(std::initializer_list<int64_t> values) {
  std::string s;
  for (int64_t v : values) {
    if (!s.empty()) s += ',';
    s += std::to_string(v);
  }
  return s;
}

bool HeadlessBackend::CreateMainWindow(const char* title, bool popup, int32_t x, int32_t y,
                                       int32_t width, int32_t height) {
  windowExists_ = true;
  popup_ = popup;
  window_ = Rect{x, y, x + width, y + height};
  Note(std::string("window create ") + (popup ? "popup " : "framed ") + Join({x, y, width, height}) +
       " " + title);
  return true;
}

void HeadlessBackend::ShowMainWindow() { Note("window show"); }

void HeadlessBackend::PlaceWindow(ZOrder z, int32_t x, int32_t y, int32_t width, int32_t height,
                                  bool activate) {
  if (desktopFullScreen_) {
    // Desktop full screen keeps the window on its screen; only the stacking
    // order changes.
    Note(std::string("window place ") + (z == ZOrder::Top ? "top " : "bottom ") +
         Join({x, y, width, height}) + (activate ? "" : " noactivate") + " kept full screen");
    return;
  }
  const Rect old = window_;
  window_ = Rect{x, y, x + width, y + height};
  Note(std::string("window place ") + (z == ZOrder::Top ? "top " : "bottom ") +
       Join({x, y, width, height}) + (activate ? "" : " noactivate"));
  // A move and a resize are reported to the window as they are on the desktop.
  if (old.left != window_.left || old.top != window_.top) {
    queue_.push_back(Message{wm::WM_MOVE, 0, MakeMouseParam(x, y)});
  }
  if (old.right - old.left != width || old.bottom - old.top != height) {
    queue_.push_back(Message{wm::WM_SIZE, 0, MakeMouseParam(width, height)});
  }
}

Rect HeadlessBackend::WindowRect() { return window_; }

void HeadlessBackend::DestroyMainWindow() {
  windowExists_ = false;
  Note("window destroy");
}

int32_t HeadlessBackend::SystemMetric(Metric metric) {
  switch (metric) {
    case Metric::ScreenWidth: return options_.desktopWidth;
    case Metric::ScreenHeight: return options_.desktopHeight;
    case Metric::FrameWidth: return options_.frameWidth;
    case Metric::FrameHeight: return options_.frameHeight;
    case Metric::SmallCaption: return options_.captionHeight;
  }
  return 0;
}

void HeadlessBackend::ShowCursor(bool show) {
  cursorShown_ = show;
  Note(show ? "cursor show" : "cursor hide");
}

void HeadlessBackend::SetCursorPos(int32_t x, int32_t y) {
  cursorX_ = x;
  cursorY_ = y;
  Note("cursor place " + Join({x, y}));
}

void HeadlessBackend::ClipCursor(const Rect* rect) {
  clipped_ = rect != nullptr;
  if (rect != nullptr) {
    clip_ = *rect;
    Note("cursor clip " + Join({rect->left, rect->top, rect->right, rect->bottom}));
  } else {
    Note("cursor unclip");
  }
}

bool HeadlessBackend::NextMessage(Message& out) {
  if (quit_) return false;
  if (!queue_.empty()) {
    out = queue_.front();
    queue_.pop_front();
    return true;
  }
  // Scripted events of the coming tick go just before its timer message.
  if (scriptPos_ < script_.size() && script_[scriptPos_].tick <= ticks_ + 1) {
    const ScriptEvent& ev = script_[scriptPos_++];
    if (ev.close) {
      out = Message{wm::WM_CLOSE, 0, 0};
    } else if (ev.resize) {
      // The player drags the window's edge: a new size, reported as WM_SIZE.
      window_.right = window_.left + ev.width;
      window_.bottom = window_.top + ev.height;
      Note("window resized " + Join({ev.width, ev.height}));
      out = Message{wm::WM_SIZE, 0, MakeMouseParam(ev.width, ev.height)};
    } else {
      out = ev.message;
    }
    return true;
  }
  if (timers_.empty()) return false;  // nothing could ever arrive
  auto next = std::min_element(timers_.begin(), timers_.end(),
                               [](const Timer& a, const Timer& b) { return a.next < b.next; });
  if (next->next > clock_) clock_ = static_cast<int32_t>(next->next);
  next->next += next->period;
  ++ticks_;
  out = Message{wm::WM_TIMER, next->id, 0};
  return true;
}

void HeadlessBackend::PostQuit(int32_t code) {
  quit_ = true;
  quitCode_ = code;
  Note("quit " + std::to_string(code));
}

uint32_t HeadlessBackend::StartTimer(uint32_t id, uint32_t periodMs) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.id == id; }),
                timers_.end());
  timers_.push_back(Timer{id, periodMs, static_cast<int64_t>(clock_) + periodMs});
  Note("timer start " + Join({id, periodMs}));
  return id + 1;
}

void HeadlessBackend::StopTimer(uint32_t id) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.id + 1 == id; }),
                timers_.end());
  Note("timer stop " + std::to_string(id));
}

void HeadlessBackend::WaitMs(int32_t ms) {
  if (ms > 0) clock_ += ms;
}

int32_t HeadlessBackend::OpenDisplay(int32_t width, int32_t height) {
  CloseDisplay();
  if (options_.displayFails) {
    Note("display open failed " + std::to_string(options_.displayFailStep));
    return options_.displayFailStep;
  }
  // A mode no real screen offers is refused as a mode switch would be.
  if (width <= 0 || height <= 0 || width > kLargestDisplaySide || height > kLargestDisplaySide) {
    Note("display open failed " + std::to_string(kDisplayNoMode));
    return kDisplayNoMode;
  }
  surfaceWidth_ = width;
  surfaceHeight_ = height;
  surfacePitch_ = width + options_.surfacePadPixels;
  surface_.assign(static_cast<size_t>(surfacePitch_) * static_cast<size_t>(std::max(height, 0)), 0u);
  displayOpen_ = true;
  Note("display open " + Join({width, height}));
  return kDisplayReady;
}

void HeadlessBackend::CloseDisplay() {
  if (displayOpen_) Note("display close");
  displayOpen_ = false;
  locked_ = false;
}

bool HeadlessBackend::LockDisplay(SurfaceLock& out) {
  if (!displayOpen_ || locked_) return false;
  locked_ = true;
  out.pixels = surface_.data();
  out.pitchBytes = surfacePitch_ * 4;
  out.width = surfaceWidth_;
  out.height = surfaceHeight_;
  return true;
}

void HeadlessBackend::UnlockDisplay() {
  if (locked_) ++presents;
  locked_ = false;
}

int32_t HeadlessBackend::CopyToWindow(const uint32_t* pixels, int32_t width, int32_t height) {
  if (!windowExists_ || pixels == nullptr || width <= 0 || height <= 0) return 0;
  windowPixels_.assign(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height));
  ++presents;
  return height;
}

// The recording sound device: each record names the slot a buffer was
// created for ("sound play slot 50 loop"), stamped with the frame.
int32_t HeadlessBackend::OpenAudio() {
  if (options_.audioFails) {
    Note("audio open failed " + std::to_string(options_.audioFailStep));
    return options_.audioFailStep;
  }
  audioOpen_ = true;
  Note("audio open");
  return kAudioReady;
}

void HeadlessBackend::CloseAudio() {
  if (audioOpen_) Note("audio close");
  audioOpen_ = false;
  sounds_.clear();
}

int32_t HeadlessBackend::CreateSoundBuffer(const WaveFormat& format, const uint8_t* data, uint32_t bytes,
                                           int32_t tag) {
  if (!audioOpen_) return 0;
  const int32_t handle = nextSound_++;
  SoundBuffer& b = sounds_[handle];
  b.format = format;
  b.slot = tag;
  if (data != nullptr) b.data.assign(data, data + bytes);
  Note("sound create slot " + std::to_string(tag) + " " + std::to_string(bytes));
  return handle;
}

void HeadlessBackend::ReleaseSoundBuffer(int32_t handle) {
  auto it = sounds_.find(handle);
  if (it == sounds_.end()) return;
  Note("sound release slot " + std::to_string(it->second.slot));
  sounds_.erase(it);
}

void HeadlessBackend::PlaySoundBuffer(int32_t handle, bool looping) {
  auto it = sounds_.find(handle);
  if (it == sounds_.end()) return;
  it->second.playing = true;
  it->second.looping = looping;
  ++it->second.plays;
  Note("sound play slot " + std::to_string(it->second.slot) + (looping ? " loop" : ""));
}

void HeadlessBackend::StopSoundBuffer(int32_t handle) {
  auto it = sounds_.find(handle);
  if (it == sounds_.end()) return;
  it->second.playing = false;
  Note("sound stop slot " + std::to_string(it->second.slot));
}

void HeadlessBackend::SetSoundBufferVolume(int32_t handle, int32_t percent) {
  auto it = sounds_.find(handle);
  if (it == sounds_.end()) return;
  it->second.volume = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
}

const HeadlessBackend::SoundBuffer* HeadlessBackend::SoundInSlot(int32_t slot) const {
  for (const auto& [handle, b] : sounds_)
    if (b.slot == slot) return &b;
  return nullptr;
}

bool HeadlessBackend::StartProcess(const char* path, const std::vector<std::string>& args) {
  std::string line = std::string("process start ") + path;
  for (const std::string& a : args) line += " " + a;
  Note(line);
  return Backend::StartProcess(path, args);
}

void HeadlessBackend::SetScaleMode(ScaleMode mode) {
  scaleMode_ = mode;
  Note("window scaling " + std::to_string(static_cast<int32_t>(mode)));
}

// As the SDL backend: a framed window only, never while the full-screen
// display holds the screen; the window takes the desktop's size and gets
// its own back when full screen ends.
bool HeadlessBackend::SetDesktopFullScreen(bool on) {
  if (!windowExists_ || displayOpen_) {
    Note(std::string("window desktop fullscreen ") + (on ? "on" : "off") + " refused");
    return false;
  }
  if (on == desktopFullScreen_) return true;
  desktopFullScreen_ = on;
  Note(std::string("window desktop fullscreen ") + (on ? "on" : "off"));
  if (on) {
    windowBeforeFullScreen_ = window_;
    window_ = Rect{0, 0, options_.desktopWidth, options_.desktopHeight};
  } else {
    window_ = windowBeforeFullScreen_;
  }
  queue_.push_back(
      Message{wm::WM_SIZE, 0, MakeMouseParam(window_.right - window_.left, window_.bottom - window_.top)});
  return true;
}

void HeadlessBackend::EnableGamepads(bool on) {
  gamepads_ = on;
  Note(std::string("gamepads ") + (on ? "on" : "off"));
}

void HeadlessBackend::RequestClose() { queue_.push_back(Message{wm::WM_CLOSE, 0, 0}); }

}  // namespace platform
