#pragma once
// The Windows backend, straight on the Windows API: a window with its
// message loop and timers, the window copy through GDI (sharp scaling),
// desktop full screen (Alt+Enter), keyboard, mouse and XInput gamepads,
// and the sound device through waveOut.
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/message_translation.h"

// After the game's own headers: their message and key names are macros here.
#include <windows.h>

// The interface has a DeleteFile of its own.
#undef DeleteFile

namespace platform {

class Win32Audio;

class Win32Backend : public Backend {
 public:
  Win32Backend();
  ~Win32Backend() override;
  // Registers the window class; false (with the reason) when it cannot.
  bool Start(std::string& error);

  bool CreateMainWindow(const char* title, bool popup, int32_t x, int32_t y, int32_t width,
                        int32_t height) override;
  void ShowMainWindow() override;
  void PlaceWindow(ZOrder z, int32_t x, int32_t y, int32_t width, int32_t height, bool activate) override;
  Rect WindowRect() override;
  void DestroyMainWindow() override;
  int32_t SystemMetric(Metric metric) override;
  void ShowCursor(bool show) override;
  void SetCursorPos(int32_t x, int32_t y) override;
  void ClipCursor(const Rect* rect) override;
  bool NextMessage(Message& out) override;
  // The queue without waiting: a demo watched fast runs a tick whenever
  // nothing else is there, as fast as the machine goes.
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
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  PictureLayout ClientLayout() const;
  // Covers the monitor of the window with it (true), or gives it back its
  // frame and place (false).
  void CoverScreen(bool on);
  void Present(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitchPixels,
               const PictureLayout& layout);
  void PollPads();
  POINT PictureToScreen(int32_t x, int32_t y) const;

  HWND window_ = nullptr;
  bool popup_ = false;
  bool quit_ = false;
  bool closing_ = false;
  std::deque<Message> pending_;
  LARGE_INTEGER frequency_{}, start_{};
  ScaleMode scaleMode_ = ScaleMode::Sharp;
  bool desktopFullScreen_ = false;
  bool cursorShown_ = true;
  WINDOWPLACEMENT framedPlace_{};
  LONG framedStyle_ = 0;
  // The full-screen display: a surface of the display size.
  std::unique_ptr<uint32_t[]> surface_;
  int32_t surfaceWidth_ = 0, surfaceHeight_ = 0;
  bool displayOpen_ = false;
  bool locked_ = false;
  std::vector<uint32_t> stage_;  // the whole-factor enlargement of the sharp mode
  bool padsEnabled_ = false;
  XInputPad pads_[4];
  HMODULE xinput_ = nullptr;
  void* getState_ = nullptr;
  std::unique_ptr<Win32Audio> audio_;
};

}  // namespace platform
