#include "platform/win32/win32_backend.h"

#include <mmsystem.h>
#include <xinput.h>

#include <algorithm>
#include <new>

#include "platform/desktop_backend.h"
#include "platform/win32/win32_audio.h"

namespace platform {
namespace {

constexpr const char* kClassName = "vx_engine 1.13m";
constexpr int32_t kLargestDisplaySide = 16384;
constexpr int32_t kPictureWidth = 800;
constexpr int32_t kPictureHeight = 600;

using GetStateCall = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);

RECT ClientRectOf(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return r;
}

}  // namespace

Win32Backend::Win32Backend() = default;

Win32Backend::~Win32Backend() {
  audio_.reset();
  if (window_ != nullptr) DestroyWindow(window_);
  // The controller library stays loaded: it may run a thread of its own
  // (Wine's does), which would be left running code that is gone.
  timeEndPeriod(1);
}

bool Win32Backend::Start(std::string& error) {
  QueryPerformanceFrequency(&frequency_);
  QueryPerformanceCounter(&start_);
  // Waits and timers to the millisecond, not the default 15.6 ms.
  timeBeginPeriod(1);
  WNDCLASSEXA c{};
  c.cbSize = sizeof c;
  c.style = CS_HREDRAW | CS_VREDRAW;
  c.lpfnWndProc = &Win32Backend::WindowProcedure;
  c.hInstance = GetModuleHandleA(nullptr);
  c.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  c.hIcon = LoadIconA(c.hInstance, MAKEINTRESOURCEA(1));
  c.lpszClassName = kClassName;
  if (RegisterClassExA(&c) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    error = "the window class cannot be registered (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  return true;
}

LRESULT CALLBACK Win32Backend::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32Backend*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr || self->window_ != window) return DefWindowProcA(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

// The picture's place in the client area: the window copy's, or the
// full-screen display's, which is scaled to fit.
PictureLayout Win32Backend::ClientLayout() const {
  const RECT r = ClientRectOf(window_);
  if (displayOpen_)
    return LayOutPicture(r.right, r.bottom, surfaceWidth_, surfaceHeight_, ScaleMode::FitLinear);
  return LayOutPicture(r.right, r.bottom, kPictureWidth, kPictureHeight, scaleMode_);
}

LRESULT Win32Backend::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // every present paints the whole client area
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window_, &paint);
      EndPaint(window_, &paint);
      break;
    }
    case WM_SETCURSOR:
      if (!cursorShown_ && LOWORD(lParam) == HTCLIENT) {
        SetCursor(nullptr);
        return TRUE;
      }
      return DefWindowProcA(window_, message, wParam, lParam);
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      // Alt+F4 closes as the close button does; Alt alone does not open
      // the window menu, which would hold the game.
      if (wParam == VK_F4 && message == WM_SYSKEYDOWN)
        return DefWindowProcA(window_, message, wParam, lParam);
      break;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_KEYMENU) return 0;
      return DefWindowProcA(window_, message, wParam, lParam);
    case WM_DESTROY:
      return 0;
    default:
      break;
  }
  const int32_t w = displayOpen_ ? surfaceWidth_ : kPictureWidth;
  const int32_t h = displayOpen_ ? surfaceHeight_ : kPictureHeight;
  Message out;
  if (message == WM_TIMER) PollPads();
  if (TranslateMessage(message, wParam, lParam, ClientLayout(), w, h, out)) {
    pending_.push_back(out);
    return 0;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

bool Win32Backend::CreateMainWindow(const char* title, bool popup, int32_t x, int32_t y, int32_t width,
                                    int32_t height) {
  popup_ = popup;
  const DWORD style = popup ? WS_POPUP : WS_OVERLAPPEDWINDOW;
  RECT r{x, y, x + std::max(width, 1), y + std::max(height, 1)};
  AdjustWindowRect(&r, style, FALSE);
  window_ = nullptr;
  HWND made = CreateWindowExA(0, kClassName, title, style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                              nullptr, nullptr, GetModuleHandleA(nullptr), this);
  window_ = made;
  return window_ != nullptr;
}

void Win32Backend::ShowMainWindow() {
  if (window_ == nullptr) return;
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  UpdateWindow(window_);
}

void Win32Backend::PlaceWindow(ZOrder z, int32_t x, int32_t y, int32_t width, int32_t height, bool activate) {
  if (window_ == nullptr) return;
  const HWND after = z == ZOrder::Top ? HWND_TOP : HWND_BOTTOM;
  const UINT flags = activate ? 0 : SWP_NOACTIVATE;
  // While covering the screen the window only moves in the stacking order.
  if (displayOpen_ || desktopFullScreen_) {
    SetWindowPos(window_, after, 0, 0, 0, 0, flags | SWP_NOMOVE | SWP_NOSIZE);
    return;
  }
  RECT r{x, y, x + std::max(width, 1), y + std::max(height, 1)};
  AdjustWindowRect(&r, static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE)), FALSE);
  SetWindowPos(window_, after, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
}

// The client area on the desktop: the frame adds nothing the engine sees,
// as its frame metrics say.
Rect Win32Backend::WindowRect() {
  if (window_ == nullptr) return Rect{};
  RECT r = ClientRectOf(window_);
  POINT origin{0, 0};
  ClientToScreen(window_, &origin);
  return Rect{origin.x, origin.y, origin.x + r.right, origin.y + r.bottom};
}

void Win32Backend::DestroyMainWindow() {
  if (window_ == nullptr) return;
  HWND gone = window_;
  window_ = nullptr;
  DestroyWindow(gone);
  displayOpen_ = false;
  desktopFullScreen_ = false;
}

int32_t Win32Backend::SystemMetric(Metric metric) {
  switch (metric) {
    case Metric::ScreenWidth:
      return GetSystemMetrics(SM_CXSCREEN);
    case Metric::ScreenHeight:
      return GetSystemMetrics(SM_CYSCREEN);
    case Metric::FrameWidth:
    case Metric::FrameHeight:
    case Metric::SmallCaption:
      return 0;
  }
  return 0;
}

// The system keeps a count of shows and hides; this sets the cursor to
// one state whatever the count.
void Win32Backend::ShowCursor(bool show) {
  cursorShown_ = show;
  if (show) {
    while (::ShowCursor(TRUE) < 0) {
    }
  } else {
    while (::ShowCursor(FALSE) >= 0) {
    }
  }
}

// A picture position (the window's origin plus a picture pixel, or a
// display pixel) to the desktop point where it is shown.
POINT Win32Backend::PictureToScreen(int32_t x, int32_t y) const {
  const Rect client = const_cast<Win32Backend*>(this)->WindowRect();
  const PictureLayout layout = ClientLayout();
  int32_t cx = 0, cy = 0;
  if (displayOpen_) {
    PictureToDrawable(layout, surfaceWidth_, surfaceHeight_, x, y, cx, cy);
  } else {
    PictureToDrawable(layout, kPictureWidth, kPictureHeight, x - client.left, y - client.top, cx, cy);
  }
  return POINT{client.left + cx, client.top + cy};
}

void Win32Backend::SetCursorPos(int32_t x, int32_t y) {
  if (window_ == nullptr) return;
  const POINT p = PictureToScreen(x, y);
  ::SetCursorPos(p.x, p.y);
}

// A clip to the whole desktop (or beyond) is no clip at all and releases it.
void Win32Backend::ClipCursor(const Rect* rect) {
  if (window_ == nullptr) return;
  if (rect == nullptr ||
      (rect->left <= 0 && rect->top <= 0 && rect->right >= SystemMetric(Metric::ScreenWidth) - 1 &&
       rect->bottom >= SystemMetric(Metric::ScreenHeight) - 1)) {
    ::ClipCursor(nullptr);
    return;
  }
  const POINT a = PictureToScreen(rect->left, rect->top);
  const POINT b = PictureToScreen(rect->right, rect->bottom);
  if (b.x <= a.x || b.y <= a.y) return;
  const RECT r{a.x, a.y, b.x, b.y};
  ::ClipCursor(&r);
}

bool Win32Backend::NextMessage(Message& out) {
  for (;;) {
    if (!pending_.empty()) {
      out = pending_.front();
      pending_.pop_front();
      return true;
    }
    if (quit_) return false;
    MSG m;
    const BOOL got = GetMessageA(&m, nullptr, 0, 0);
    if (got <= 0) return false;
    DispatchMessageA(&m);
  }
}

Poll Win32Backend::PollMessage(Message& out) {
  for (;;) {
    if (!pending_.empty()) {
      out = pending_.front();
      pending_.pop_front();
      return Poll::Message;
    }
    if (quit_) return Poll::Quit;
    MSG m;
    if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) return Poll::Empty;
    if (m.message == WM_QUIT) {
      quit_ = true;
      return Poll::Quit;
    }
    DispatchMessageA(&m);
  }
}

void Win32Backend::PostQuit(int32_t) { quit_ = true; }

void Win32Backend::RequestClose() { pending_.push_back(CloseRequest()); }

// A window timer: at most one tick waits in the queue at a time, as the
// frame loop expects. Its identifier is the timer's number plus one.
uint32_t Win32Backend::StartTimer(uint32_t id, uint32_t periodMs) {
  if (id > 1 || window_ == nullptr) return 0;
  return SetTimer(window_, id + 1, periodMs, nullptr) != 0 ? id + 1 : 0;
}

void Win32Backend::StopTimer(uint32_t id) {
  if (id == 0 || id > 2 || window_ == nullptr) return;
  KillTimer(window_, id);
}

int32_t Win32Backend::ClockMs() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<int32_t>((now.QuadPart - start_.QuadPart) * 1000 / frequency_.QuadPart);
}

void Win32Backend::WaitMs(int32_t ms) {
  if (ms > 0) Sleep(static_cast<DWORD>(ms));
}

void Win32Backend::CoverScreen(bool on) {
  if (window_ == nullptr) return;
  if (on) {
    framedStyle_ = GetWindowLongA(window_, GWL_STYLE);
    framedPlace_.length = sizeof framedPlace_;
    GetWindowPlacement(window_, &framedPlace_);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    SetWindowLongA(window_, GWL_STYLE,
                   (framedStyle_ & ~static_cast<LONG>(WS_OVERLAPPEDWINDOW)) | static_cast<LONG>(WS_POPUP));
    const RECT& m = monitor.rcMonitor;
    SetWindowPos(window_, HWND_TOP, m.left, m.top, m.right - m.left, m.bottom - m.top,
                 SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
  } else {
    SetWindowLongA(window_, GWL_STYLE, framedStyle_);
    SetWindowPlacement(window_, &framedPlace_);
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
  }
}

bool Win32Backend::SetDesktopFullScreen(bool on) {
  // The full-screen display of the configuration owns the window while open.
  if (window_ == nullptr || displayOpen_) return false;
  if (on == desktopFullScreen_) return true;
  CoverScreen(on);
  desktopFullScreen_ = on;
  return true;
}

// Paints the picture where the layout puts it and the bars around it black.
// The sharp mode enlarges by the whole factor first, each pixel kept
// square, and smooths only the rest of the way.
void Win32Backend::Present(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitchPixels,
                           const PictureLayout& l) {
  HDC dc = GetDC(window_);
  if (dc == nullptr) return;
  const RECT client = ClientRectOf(window_);
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  const RECT bars[4] = {{0, 0, client.right, l.y},
                        {0, l.y + l.height, client.right, client.bottom},
                        {0, l.y, l.x, l.y + l.height},
                        {l.x + l.width, l.y, client.right, l.y + l.height}};
  for (const RECT& b : bars)
    if (b.right > b.left && b.bottom > b.top) FillRect(dc, &b, black);
  const uint32_t* source = pixels;
  int32_t sw = width, sh = height, sp = pitchPixels;
  if (l.factor >= 2 && l.linear) {
    sw = width * l.factor;
    sh = height * l.factor;
    sp = sw;
    stage_.resize(static_cast<size_t>(sw) * static_cast<size_t>(sh));
    for (int32_t y = 0; y < height; ++y) {
      uint32_t* row = stage_.data() + static_cast<size_t>(y) * l.factor * sw;
      const uint32_t* in = pixels + static_cast<size_t>(y) * pitchPixels;
      for (int32_t x = 0; x < width; ++x) std::fill_n(row + x * l.factor, l.factor, in[x]);
      for (int32_t k = 1; k < l.factor; ++k) std::copy_n(row, sw, row + static_cast<size_t>(k) * sw);
    }
    source = stage_.data();
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = sp;
  info.bmiHeader.biHeight = -sh;  // rows top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(dc, l.linear ? HALFTONE : COLORONCOLOR);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchDIBits(dc, l.x, l.y, l.width, l.height, 0, 0, sw, sh, source, &info, DIB_RGB_COLORS, SRCCOPY);
  ReleaseDC(window_, dc);
}

// Desktop full screen, never a mode switch: the window covers its monitor
// and the display-size surface is scaled onto it.
int32_t Win32Backend::OpenDisplay(int32_t width, int32_t height) {
  CloseDisplay();
  if (window_ == nullptr) return kDisplayNoDevice;
  if (width <= 0 || height <= 0 || width > kLargestDisplaySide || height > kLargestDisplaySide)
    return kDisplayNoMode;
  surface_.reset(new (std::nothrow) uint32_t[static_cast<size_t>(width) * static_cast<size_t>(height)]());
  if (!surface_) return kDisplayNoSurface;
  if (desktopFullScreen_) {
    CoverScreen(false);
    desktopFullScreen_ = false;
  }
  CoverScreen(true);
  surfaceWidth_ = width;
  surfaceHeight_ = height;
  displayOpen_ = true;
  return kDisplayReady;
}

void Win32Backend::CloseDisplay() {
  locked_ = false;
  surface_.reset();
  if (!displayOpen_) return;
  displayOpen_ = false;
  CoverScreen(false);
}

bool Win32Backend::LockDisplay(SurfaceLock& out) {
  if (!displayOpen_ || locked_) return false;
  locked_ = true;
  out.pixels = surface_.get();
  out.pitchBytes = surfaceWidth_ * 4;
  out.width = surfaceWidth_;
  out.height = surfaceHeight_;
  return true;
}

void Win32Backend::UnlockDisplay() {
  if (!locked_) return;
  locked_ = false;
  Present(surface_.get(), surfaceWidth_, surfaceHeight_, surfaceWidth_, ClientLayout());
}

int32_t Win32Backend::CopyToWindow(const uint32_t* pixels, int32_t width, int32_t height) {
  if (pixels == nullptr || width <= 0 || height <= 0 || window_ == nullptr) return 0;
  const RECT r = ClientRectOf(window_);
  Present(pixels, width, height, width, LayOutPicture(r.right, r.bottom, width, height, scaleMode_));
  return height;
}

void Win32Backend::EnableGamepads(bool on) {
  if (on && xinput_ == nullptr) {
    xinput_ = LoadLibraryA("xinput1_4.dll");
    if (xinput_ == nullptr) xinput_ = LoadLibraryA("xinput9_1_0.dll");
    if (xinput_ != nullptr) getState_ = reinterpret_cast<void*>(GetProcAddress(xinput_, "XInputGetState"));
  }
  if (!on) {
    std::vector<Message> released;
    for (XInputPad& pad : pads_) UpdateXInputPad(pad, false, 0, 0, 0, 0, 0, released);
    pending_.insert(pending_.end(), released.begin(), released.end());
  }
  padsEnabled_ = on && getState_ != nullptr;
}

// Controllers are read at every timer tick, before it: their presses reach
// the frame that the tick runs.
void Win32Backend::PollPads() {
  if (!padsEnabled_) return;
  const auto getState = reinterpret_cast<GetStateCall>(getState_);
  std::vector<Message> changes;
  for (DWORD i = 0; i < 4; ++i) {
    XINPUT_STATE state{};
    const bool connected = getState(i, &state) == ERROR_SUCCESS;
    if (!connected && !pads_[i].connected) continue;
    const XINPUT_GAMEPAD& g = state.Gamepad;
    UpdateXInputPad(pads_[i], connected, g.wButtons, g.bLeftTrigger, g.bRightTrigger, g.sThumbLX, g.sThumbLY,
                    changes);
  }
  pending_.insert(pending_.end(), changes.begin(), changes.end());
}

int32_t Win32Backend::OpenAudio() {
  if (!audio_) audio_ = std::make_unique<Win32Audio>();
  return audio_->Open();
}

void Win32Backend::CloseAudio() {
  if (audio_) audio_->Close();
}

int32_t Win32Backend::CreateSoundBuffer(const WaveFormat& format, const uint8_t* data, uint32_t bytes,
                                        int32_t) {
  return audio_ ? audio_->CreateBuffer(format, data, bytes) : 0;
}

void Win32Backend::ReleaseSoundBuffer(int32_t handle) {
  if (audio_) audio_->ReleaseBuffer(handle);
}

void Win32Backend::PlaySoundBuffer(int32_t handle, bool looping) {
  if (audio_) audio_->Play(handle, looping);
}

void Win32Backend::StopSoundBuffer(int32_t handle) {
  if (audio_) audio_->Stop(handle);
}

void Win32Backend::SetSoundBufferVolume(int32_t handle, int32_t percent) {
  if (audio_) audio_->SetVolume(handle, percent);
}

std::unique_ptr<Backend> StartDesktopBackend(std::string& error) {
  auto backend = std::make_unique<Win32Backend>();
  if (!backend->Start(error)) return nullptr;
  return backend;
}

}  // namespace platform
