#pragma once
// The browser backend (WebAssembly builds only): the page's canvas as the
// window, its keyboard, mouse and focus events, the Gamepad API, Web Audio
// for the mixer's output, and a timer read from the page's clock. The page
// calls the frame loop back once per display frame (RunLoopStep); nothing
// here ever waits.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gamepad.h"
#include "platform/platform.h"
#include "platform/sound_mixer.h"

namespace platform {

class WebBackend : public Backend {
 public:
  WebBackend();
  ~WebBackend() override;
  // Registers the page's event handlers (the canvas is "#canvas").
  void Start();
  // Before each loop step: the gamepads' buttons and sticks as messages.
  void SampleGamepads();
  // Web Audio's callback: `frames` stereo frames of the mixer's output.
  void Mix(int16_t* out, int32_t frames);

  bool CreateMainWindow(const char* title, bool popup, int32_t x, int32_t y, int32_t width,
                        int32_t height) override;
  void ShowMainWindow() override {}
  void PlaceWindow(ZOrder, int32_t, int32_t, int32_t, int32_t, bool) override {}
  Rect WindowRect() override;
  void DestroyMainWindow() override;
  int32_t SystemMetric(Metric metric) override;
  void ShowCursor(bool show) override;
  // A page can neither move nor hold the pointer: both do nothing.
  void SetCursorPos(int32_t, int32_t) override {}
  void ClipCursor(const Rect*) override {}
  bool NextMessage(Message& out) override;
  Poll PollMessage(Message& out) override;
  void PostQuit(int32_t code) override;
  uint32_t StartTimer(uint32_t id, uint32_t periodMs) override;
  void StopTimer(uint32_t id) override;
  int32_t ClockMs() override;
  // The loop step returns instead of waiting; a wait does nothing.
  void WaitMs(int32_t) override {}
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
  void SetScaleMode(ScaleMode mode) override { scaleMode_ = mode; }
  bool SetDesktopFullScreen(bool on) override;
  bool DesktopFullScreen() override;
  void EnableGamepads(bool on) override;
  // A page has no processes: a program it is asked to start goes to the
  // runner that the program set (the music decoder runs in the page);
  // without one, or when the runner declines, it does not start.
  using ProgramRunner = std::function<bool(const char* path, const std::vector<std::string>& args)>;
  void SetProgramRunner(ProgramRunner runner) { runner_ = std::move(runner); }
  bool StartProcess(const char* path, const std::vector<std::string>& args) override {
    return runner_ && runner_(path, args);
  }
  // The browser downloads the file under its own name.
  void OfferFile(const char* path) override;

  // Event handlers' entries (called from the page's callbacks).
  void Queue(const Message& m) { queue_.push_back(m); }
  int32_t PointerParam(double cssX, double cssY);

 protected:
  void RequestClose() override { queue_.push_back(Message{wm::WM_CLOSE, 0, 0}); }

 private:
  struct Timer {
    uint32_t id = 0;
    uint32_t period = 0;
    double next = 0;
  };
  struct Pad {
    bool connected = false;
    PadTracker state;
  };
  // Shows 32-bit pixels on the canvas at the layout of the scaling mode.
  void Show(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitchPixels);

  double start_ = 0;
  bool quit_ = false;
  bool window_ = false;
  std::deque<Message> queue_;
  std::vector<Timer> timers_;
  ScaleMode scaleMode_ = ScaleMode::Sharp;
  bool padsEnabled_ = false;
  std::vector<Pad> pads_;
  std::vector<Message> padMessages_;
  std::unique_ptr<uint32_t[]> surface_;
  int32_t surfaceWidth_ = 0, surfaceHeight_ = 0;
  bool displayOpen_ = false, locked_ = false;
  std::vector<uint8_t> rgba_;
  bool audioOpen_ = false;
  int32_t nextSound_ = 1;
  SoundMixer mixer_;
  ProgramRunner runner_;
};

}  // namespace platform
