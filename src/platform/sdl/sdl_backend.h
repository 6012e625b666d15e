#pragma once
// The SDL backend: a real window, keyboard, mouse and gamepads, the
// repeating timer, the full-screen display (desktop full screen, the
// display-size surface scaled to the real screen), the resizable window with
// its scaled copy of the picture, and the sound device.
#include <SDL.h>

#include <atomic>
#include <memory>
#include <vector>

#include "platform/gamepad.h"
#include "platform/platform.h"

namespace platform {

class SdlAudio;

class SdlBackend : public Backend {
 public:
  SdlBackend();
  ~SdlBackend() override;
  // SDL's video start-up; false (with SDL's reason in `error`) when no
  // display can be reached.
  bool Start(std::string& error);

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
  Poll PollMessage(Message& out) override;
  void PostQuit(int32_t code) override;
  uint32_t StartTimer(uint32_t id, uint32_t periodMs) override;
  void StopTimer(uint32_t id) override;
  int32_t ClockMs() override;
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
  void SetScaleMode(ScaleMode mode) override { scaleMode_ = mode; }
  bool SetDesktopFullScreen(bool on) override;
  bool DesktopFullScreen() override { return desktopFullScreen_; }
  void EnableGamepads(bool on) override;

 protected:
  void RequestClose() override;

 private:
  struct TimerSlot {
    SDL_TimerID sdlId = 0;
    uint32_t id = 0;
    std::atomic<bool> pending{false};
    SdlBackend* owner = nullptr;
  };
  static Uint32 TimerCallback(Uint32 interval, void* param);
  // One open gamepad: its held buttons and the state of its stick and
  // triggers.
  struct Pad {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = -1;
    PadTracker state;
  };
  bool Translate(const SDL_Event& e, Message& out);
  bool TranslatePad(const SDL_Event& e);
  bool TakePending(Message& out);
  void ClosePads();
  bool EnsureRenderer();
  void PresentTexture(SDL_Texture* texture);
  void DisplayToWindow(int32_t x, int32_t y, int& wx, int& wy);
  // The window copy's layout for the window's present size, and the
  // mapping of a pointer in window points onto the picture.
  PictureLayout WindowLayout(float& pixelsPerPoint);
  int32_t MouseParam(int32_t x, int32_t y);

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* displayTexture_ = nullptr;
  SDL_Texture* windowTexture_ = nullptr;
  SDL_Texture* stageTexture_ = nullptr;  // the whole-factor enlargement of the sharp mode
  ScaleMode scaleMode_ = ScaleMode::Sharp;
  bool desktopFullScreen_ = false;
  bool padsEnabled_ = false;
  std::vector<Pad> pads_;
  std::unique_ptr<uint32_t[]> surface_;  // the display-size surface, kept between presents
  int32_t surfaceWidth_ = 0, surfaceHeight_ = 0, surfacePitch_ = 0;
  bool displayOpen_ = false;
  bool locked_ = false;
  bool quit_ = false;
  uint64_t startTicks_ = 0;
  uint32_t timerEvent_ = 0;
  TimerSlot timers_[2];
  std::vector<Message> pending_;
  std::unique_ptr<SdlAudio> audio_;
};

}  // namespace platform
