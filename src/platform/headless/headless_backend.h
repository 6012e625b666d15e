#pragma once
// The headless backend: no window and no devices, a virtual clock that moves
// by the timer period and jumps over waits, input from a script, and a
// record of everything the engine asked of the platform so that tests can
// check it.
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/headless/input_script.h"
#include "platform/platform.h"

namespace platform {

class HeadlessBackend : public Backend {
 public:
  static constexpr int32_t kLargestDisplaySide = 16384;

  struct Options {
    int32_t desktopWidth = 1280;
    int32_t desktopHeight = 1024;
    int32_t frameWidth = 4;      // border of a framed window
    int32_t frameHeight = 4;
    int32_t captionHeight = 17;
    bool displayFails = false;   // OpenDisplay answers displayFailStep
    int32_t displayFailStep = kDisplayNoDevice;
    bool audioFails = false;     // OpenAudio answers audioFailStep
    int32_t audioFailStep = kAudioNoDevice;
    int32_t surfacePadPixels = 24;  // the display surface is wider than it is shown
  };

  // One thing the engine asked for, stamped with the frames run so far.
  struct Call {
    int64_t frame;
    int64_t tick;
    std::string what;
  };

  // A sound buffer as the engine created it: the sample in its own format,
  // the slot it was created for, and whether it was last started or stopped.
  struct SoundBuffer {
    WaveFormat format;
    std::vector<uint8_t> data;
    int32_t slot = -1;
    bool playing = false;
    bool looping = false;
    int32_t plays = 0;
    int32_t volume = 100;  // percent
  };

  HeadlessBackend();
  explicit HeadlessBackend(const Options& options);

  void SetScript(std::vector<ScriptEvent> events);
  // Messages queued ahead of everything else (tests use it to inject).
  void Post(const Message& m) { queue_.push_back(m); }

  bool CreateMainWindow(const char* title, bool popup, int32_t x, int32_t y, int32_t width,
                        int32_t height) override;
  void ShowMainWindow() override;
  void PlaceWindow(ZOrder z, int32_t x, int32_t y, int32_t width, int32_t height,
                   bool activate) override;
  Rect WindowRect() override;
  void DestroyMainWindow() override;
  int32_t SystemMetric(Metric metric) override;
  void ShowCursor(bool show) override;
  void SetCursorPos(int32_t x, int32_t y) override;
  void ClipCursor(const Rect* rect) override;
  bool NextMessage(Message& out) override;
  void PostQuit(int32_t code) override;
  uint32_t StartTimer(uint32_t id, uint32_t periodMs) override;
  void StopTimer(uint32_t id) override;
  int32_t ClockMs() override { return clock_; }
  void WaitMs(int32_t ms) override;
  int32_t OpenDisplay(int32_t width, int32_t height) override;
  void CloseDisplay() override;
  bool LockDisplay(SurfaceLock& out) override;
  void UnlockDisplay() override;
  int32_t CopyToWindow(const uint32_t* pixels, int32_t width, int32_t height) override;
  int32_t OpenAudio() override;
  void CloseAudio() override;
  int32_t CreateSoundBuffer(const WaveFormat& format, const uint8_t* data, uint32_t bytes,
                            int32_t tag) override;
  void ReleaseSoundBuffer(int32_t handle) override;
  void PlaySoundBuffer(int32_t handle, bool looping) override;
  void StopSoundBuffer(int32_t handle) override;
  void SetSoundBufferVolume(int32_t handle, int32_t percent) override;
  bool StartProcess(const char* path, const std::vector<std::string>& args) override;
  void OfferFile(const char* path) override { Note(std::string("offer ") + path); }
  void SetScaleMode(ScaleMode mode) override;
  bool SetDesktopFullScreen(bool on) override;
  bool DesktopFullScreen() override { return desktopFullScreen_; }
  void EnableGamepads(bool on) override;

  // What tests look at.
  const std::vector<Call>& Calls() const { return calls_; }
  bool HasCall(const std::string& what) const;
  int64_t Ticks() const { return ticks_; }
  bool WindowExists() const { return windowExists_; }
  bool CursorShown() const { return cursorShown_; }
  bool CursorClipped() const { return clipped_; }
  Rect CursorClip() const { return clip_; }
  int32_t CursorX() const { return cursorX_; }
  int32_t CursorY() const { return cursorY_; }
  bool DisplayOpen() const { return displayOpen_; }
  Rect WindowPlace() const { return window_; }
  ScaleMode Scaling() const { return scaleMode_; }
  bool GamepadsEnabled() const { return gamepads_; }
  int32_t QuitCode() const { return quitCode_; }
  const std::vector<uint32_t>& Surface() const { return surface_; }
  // Tests fill the surface to see which pixels a present rewrites.
  std::vector<uint32_t>& MutableSurface() { return surface_; }
  int32_t SurfacePitch() const { return surfacePitch_; }
  const std::vector<uint32_t>& WindowPixels() const { return windowPixels_; }
  const std::map<int32_t, SoundBuffer>& SoundBuffers() const { return sounds_; }
  // The live buffer created for a sound slot, or null.
  const SoundBuffer* SoundInSlot(int32_t slot) const;
  int32_t presents = 0;  // unlocks and window copies
  void SetClock(int32_t ms) { clock_ = ms; }

 protected:
  void RequestClose() override;

 private:
  struct Timer {
    uint32_t id;
    uint32_t period;
    int64_t next;
  };
  void Note(std::string what);

  Options options_;
  std::vector<ScriptEvent> script_;
  size_t scriptPos_ = 0;
  std::deque<Message> queue_;
  std::vector<Call> calls_;
  std::vector<Timer> timers_;
  int64_t ticks_ = 0;
  int32_t clock_ = 0;
  bool quit_ = false;
  int32_t quitCode_ = 0;
  bool windowExists_ = false;
  bool popup_ = false;
  Rect window_;
  bool desktopFullScreen_ = false;
  Rect windowBeforeFullScreen_;
  ScaleMode scaleMode_ = ScaleMode::Sharp;
  bool gamepads_ = false;
  bool cursorShown_ = true;
  bool clipped_ = false;
  Rect clip_;
  int32_t cursorX_ = 0, cursorY_ = 0;
  bool displayOpen_ = false;
  bool locked_ = false;
  int32_t surfaceWidth_ = 0, surfaceHeight_ = 0, surfacePitch_ = 0;
  std::vector<uint32_t> surface_;
  std::vector<uint32_t> windowPixels_;
  bool audioOpen_ = false;
  int32_t nextSound_ = 1;
  std::map<int32_t, SoundBuffer> sounds_;
};

}  // namespace platform
