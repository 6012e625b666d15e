#include "platform/sdl/sdl_backend.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/desktop_backend.h"
#include "platform/sdl/sdl_audio.h"

namespace platform {
namespace {

constexpr int32_t kLargestDisplaySide = 16384;
// lParam bit 30 of a key-down: the key was already down (an auto-repeat).
constexpr int32_t kKeyWasDown = 1 << 30;

uint32_t VirtualKey(const SDL_Keysym& key) {
  const SDL_Keycode k = key.sym;
  if (k >= 'a' && k <= 'z') return static_cast<uint32_t>(k - 'a' + 'A');
  if (k >= '0' && k <= '9') return static_cast<uint32_t>(k);
  if (k >= SDLK_F1 && k <= SDLK_F12) return vk::VK_F1 + static_cast<uint32_t>(k - SDLK_F1);
  if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return vk::VK_NUMPAD0 + 1 + static_cast<uint32_t>(k - SDLK_KP_1);
  switch (k) {
    case SDLK_BACKSPACE: return vk::VK_BACK;
    case SDLK_TAB: return vk::VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return vk::VK_RETURN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return vk::VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return vk::VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return vk::VK_MENU;
    case SDLK_PAUSE: return vk::VK_PAUSE;
    case SDLK_CAPSLOCK: return vk::VK_CAPITAL;
    case SDLK_ESCAPE: return vk::VK_ESCAPE;
    case SDLK_SPACE: return vk::VK_SPACE;
    case SDLK_PAGEUP: return vk::VK_PRIOR;
    case SDLK_PAGEDOWN: return vk::VK_NEXT;
    case SDLK_END: return vk::VK_END;
    case SDLK_HOME: return vk::VK_HOME;
    case SDLK_LEFT: return vk::VK_LEFT;
    case SDLK_UP: return vk::VK_UP;
    case SDLK_RIGHT: return vk::VK_RIGHT;
    case SDLK_DOWN: return vk::VK_DOWN;
    case SDLK_INSERT: return vk::VK_INSERT;
    case SDLK_DELETE: return vk::VK_DELETE;
    case SDLK_KP_0: return vk::VK_NUMPAD0;
    case SDLK_KP_MULTIPLY: return vk::VK_MULTIPLY;
    case SDLK_KP_PLUS: return vk::VK_ADD;
    case SDLK_KP_MINUS: return vk::VK_SUBTRACT;
    case SDLK_KP_PERIOD: return vk::VK_DECIMAL;
    case SDLK_KP_DIVIDE: return vk::VK_DIVIDE;
    case SDLK_SEMICOLON: return vk::VK_OEM_1;
    case SDLK_EQUALS: return vk::VK_OEM_PLUS;
    case SDLK_COMMA: return vk::VK_OEM_COMMA;
    case SDLK_MINUS: return vk::VK_OEM_MINUS;
    case SDLK_PERIOD: return vk::VK_OEM_PERIOD;
    case SDLK_SLASH: return vk::VK_OEM_2;
    case SDLK_BACKQUOTE: return vk::VK_OEM_3;
    case SDLK_LEFTBRACKET: return vk::VK_OEM_4;
    case SDLK_BACKSLASH: return vk::VK_OEM_5;
    case SDLK_RIGHTBRACKET: return vk::VK_OEM_6;
    case SDLK_QUOTE: return vk::VK_OEM_7;
    case SDLK_PRINTSCREEN:
      return vk::VK_SNAPSHOT;
    default: return 0;
  }
}

}  // namespace

SdlBackend::SdlBackend() = default;

SdlBackend::~SdlBackend() {
  for (TimerSlot& t : timers_)
    if (t.sdlId != 0) SDL_RemoveTimer(t.sdlId);
  audio_.reset();
  ClosePads();
  if (displayTexture_ != nullptr) SDL_DestroyTexture(displayTexture_);
  if (windowTexture_ != nullptr) SDL_DestroyTexture(windowTexture_);
  if (stageTexture_ != nullptr) SDL_DestroyTexture(stageTexture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  SDL_Quit();
}

bool SdlBackend::Start(std::string& error) {
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
    error = SDL_GetError();
    return false;
  }
  timerEvent_ = SDL_RegisterEvents(1);
  startTicks_ = SDL_GetTicks64();
  return true;
}

bool SdlBackend::CreateMainWindow(const char* title, bool popup, int32_t x, int32_t y, int32_t width,
                                  int32_t height) {
  // A framed window can be resized by the player; the window copy scales
  // the picture to it. High-density screens give the drawable its real
  // pixels.
  Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
  flags |= popup ? SDL_WINDOW_BORDERLESS : SDL_WINDOW_RESIZABLE;
  window_ = SDL_CreateWindow(title, x, y, std::max(width, 1), std::max(height, 1), flags);
  return window_ != nullptr;
}

void SdlBackend::ShowMainWindow() {
  if (window_ == nullptr) return;
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
}

void SdlBackend::PlaceWindow(ZOrder z, int32_t x, int32_t y, int32_t width, int32_t height, bool activate) {
  if (window_ == nullptr) return;
  // In desktop full screen the window keeps covering its screen; it only
  // moves in the stacking order.
  if (!displayOpen_ && !desktopFullScreen_) {
    SDL_SetWindowSize(window_, std::max(width, 1), std::max(height, 1));
    SDL_SetWindowPosition(window_, x, y);
  }
  if (z == ZOrder::Top && activate) SDL_RaiseWindow(window_);
}

Rect SdlBackend::WindowRect() {
  Rect r;
  if (window_ == nullptr) return r;
  int x = 0, y = 0, w = 0, h = 0;
  SDL_GetWindowPosition(window_, &x, &y);
  SDL_GetWindowSize(window_, &w, &h);
  r = Rect{x, y, x + w, y + h};
  return r;
}

void SdlBackend::DestroyMainWindow() {
  if (window_ == nullptr) return;
  if (displayTexture_ != nullptr) SDL_DestroyTexture(displayTexture_);
  if (windowTexture_ != nullptr) SDL_DestroyTexture(windowTexture_);
  if (stageTexture_ != nullptr) SDL_DestroyTexture(stageTexture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  displayTexture_ = windowTexture_ = stageTexture_ = nullptr;
  renderer_ = nullptr;
  SDL_DestroyWindow(window_);
  window_ = nullptr;
  displayOpen_ = false;
  desktopFullScreen_ = false;
}

// SDL places and sizes the client area itself, so a framed window adds no
// border of its own here.
int32_t SdlBackend::SystemMetric(Metric metric) {
  SDL_DisplayMode mode;
  switch (metric) {
    case Metric::ScreenWidth:
      return SDL_GetDesktopDisplayMode(0, &mode) == 0 ? mode.w : 800;
    case Metric::ScreenHeight:
      return SDL_GetDesktopDisplayMode(0, &mode) == 0 ? mode.h : 600;
    case Metric::FrameWidth:
    case Metric::FrameHeight:
    case Metric::SmallCaption:
      return 0;
  }
  return 0;
}

void SdlBackend::ShowCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

// While the full-screen display is shown, positions are in display pixels
// and the display is scaled onto the real screen; this maps them there.
void SdlBackend::DisplayToWindow(int32_t x, int32_t y, int& wx, int& wy) {
  wx = x;
  wy = y;
  if (!displayOpen_ || renderer_ == nullptr) return;
  SDL_RenderLogicalToWindow(renderer_, static_cast<float>(x), static_cast<float>(y), &wx, &wy);
}

void SdlBackend::SetCursorPos(int32_t x, int32_t y) {
  if (window_ == nullptr) return;
  if (displayOpen_) {
    int wx = 0, wy = 0;
    DisplayToWindow(x, y, wx, wy);
    SDL_WarpMouseInWindow(window_, wx, wy);
    return;
  }
  // A framed window: the position is the window's origin plus a picture
  // pixel, which the window copy shows scaled somewhere inside the window.
  int left = 0, top = 0;
  SDL_GetWindowPosition(window_, &left, &top);
  float ratio = 1;
  const PictureLayout layout = WindowLayout(ratio);
  int32_t dx = 0, dy = 0;
  PictureToDrawable(layout, 800, 600, x - left, y - top, dx, dy);
  SDL_WarpMouseInWindow(window_, static_cast<int>(dx / ratio), static_cast<int>(dy / ratio));
}

PictureLayout SdlBackend::WindowLayout(float& pixelsPerPoint) {
  pixelsPerPoint = 1;
  if (window_ == nullptr) return PictureLayout{};
  int pw = 0, ph = 0, ww = 0, wh = 0;
  SDL_GetWindowSize(window_, &ww, &wh);
  if (renderer_ == nullptr || SDL_GetRendererOutputSize(renderer_, &pw, &ph) != 0) {
    pw = ww;
    ph = wh;
  }
  if (ww > 0) pixelsPerPoint = static_cast<float>(pw) / static_cast<float>(ww);
  if (pixelsPerPoint <= 0) pixelsPerPoint = 1;
  return LayOutPicture(pw, ph, 800, 600, scaleMode_);
}

// Pointer positions reach the window procedure in picture pixels, as the
// client area of an unscaled window would give them. While the full-screen
// display is open SDL maps them onto the display size itself.
int32_t SdlBackend::MouseParam(int32_t x, int32_t y) {
  if (displayOpen_) return MakeMouseParam(x, y);
  float ratio = 1;
  const PictureLayout layout = WindowLayout(ratio);
  int32_t px = 0, py = 0;
  DrawableToPicture(layout, 800, 600, static_cast<int32_t>(static_cast<float>(x) * ratio),
                    static_cast<int32_t>(static_cast<float>(y) * ratio), px, py);
  return MakeMouseParam(px, py);
}

// A clip to the whole desktop (or beyond) is no clip at all and releases it.
void SdlBackend::ClipCursor(const Rect* rect) {
  if (window_ == nullptr) return;
  const int32_t desktopWidth = SystemMetric(Metric::ScreenWidth);
  const int32_t desktopHeight = SystemMetric(Metric::ScreenHeight);
  if (rect == nullptr || (rect->left <= 0 && rect->top <= 0 && rect->right >= desktopWidth - 1 &&
                          rect->bottom >= desktopHeight - 1)) {
    SDL_SetWindowMouseRect(window_, nullptr);
    return;
  }
  int left = 0, top = 0, right = 0, bottom = 0;
  if (displayOpen_) {
    DisplayToWindow(rect->left, rect->top, left, top);
    DisplayToWindow(rect->right, rect->bottom, right, bottom);
  } else {
    int wx = 0, wy = 0;
    SDL_GetWindowPosition(window_, &wx, &wy);
    left = rect->left - wx;
    top = rect->top - wy;
    right = rect->right - wx;
    bottom = rect->bottom - wy;
  }
  const SDL_Rect r{left, top, right - left, bottom - top};
  if (r.w <= 0 || r.h <= 0) return;
  SDL_SetWindowMouseRect(window_, &r);
}

Uint32 SdlBackend::TimerCallback(Uint32 interval, void* param) {
  auto* slot = static_cast<TimerSlot*>(param);
  // Like a window timer, at most one tick waits in the queue at a time.
  bool expected = false;
  if (slot->pending.compare_exchange_strong(expected, true)) {
    SDL_Event e;
    SDL_zero(e);
    e.type = slot->owner->timerEvent_;
    e.user.code = static_cast<Sint32>(slot->id);
    e.user.data1 = slot;
    SDL_PushEvent(&e);
  }
  return interval;
}

uint32_t SdlBackend::StartTimer(uint32_t id, uint32_t periodMs) {
  if (id > 1) return 0;
  TimerSlot& t = timers_[id];
  if (t.sdlId != 0) SDL_RemoveTimer(t.sdlId);
  t.id = id;
  t.owner = this;
  t.pending = false;
  t.sdlId = SDL_AddTimer(periodMs, &SdlBackend::TimerCallback, &t);
  return t.sdlId != 0 ? id + 1 : 0;
}

void SdlBackend::StopTimer(uint32_t id) {
  if (id == 0 || id > 2) return;
  TimerSlot& t = timers_[id - 1];
  if (t.sdlId != 0) SDL_RemoveTimer(t.sdlId);
  t.sdlId = 0;
}

int32_t SdlBackend::ClockMs() { return static_cast<int32_t>(SDL_GetTicks64() - startTicks_); }

void SdlBackend::WaitMs(int32_t ms) {
  if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

bool SdlBackend::Translate(const SDL_Event& e, Message& out) {
  if (e.type == timerEvent_) {
    auto* slot = static_cast<TimerSlot*>(e.user.data1);
    slot->pending = false;
    out = Message{wm::WM_TIMER, static_cast<uint32_t>(e.user.code), 0};
    return true;
  }
  switch (e.type) {
    case SDL_QUIT:
      out = Message{wm::WM_CLOSE, 0, 0};
      return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const uint32_t code = VirtualKey(e.key.keysym);
      if (code == 0) return false;
      out = Message{e.type == SDL_KEYDOWN ? wm::WM_KEYDOWN : wm::WM_KEYUP, code,
                    e.key.repeat != 0 ? kKeyWasDown : 0};
      return true;
    }
    case SDL_MOUSEMOTION:
      out = Message{wm::WM_MOUSEMOVE, 0, MouseParam(e.motion.x, e.motion.y)};
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const bool down = e.type == SDL_MOUSEBUTTONDOWN;
      if (e.button.button == SDL_BUTTON_LEFT) {
        out = Message{down ? wm::WM_LBUTTONDOWN : wm::WM_LBUTTONUP, 0, MouseParam(e.button.x, e.button.y)};
        return true;
      }
      if (e.button.button == SDL_BUTTON_RIGHT) {
        out = Message{down ? wm::WM_RBUTTONDOWN : wm::WM_RBUTTONUP, 0, MouseParam(e.button.x, e.button.y)};
        return true;
      }
      return false;
    }
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          out = Message{wm::WM_CLOSE, 0, 0};
          return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          out = Message{wm::WM_ACTIVATEAPP, 1, 0};
          return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          out = Message{wm::WM_ACTIVATEAPP, 0, 0};
          return true;
        case SDL_WINDOWEVENT_MOVED:
          out = Message{wm::WM_MOVE, 0, MakeMouseParam(e.window.data1, e.window.data2)};
          return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          out = Message{wm::WM_SIZE, 0, MakeMouseParam(e.window.data1, e.window.data2)};
          return true;
        case SDL_WINDOWEVENT_EXPOSED:
          out = Message{wm::WM_PAINT, 0, 0};
          return true;
        default:
          return false;
      }
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION:
      // A pad event gives none, one or two messages (a stick swung from one
      // side to the other); they wait in the queue.
      return TranslatePad(e) && TakePending(out);
    default:
      return false;
  }
}

bool SdlBackend::TakePending(Message& out) {
  if (pending_.empty()) return false;
  out = pending_.front();
  pending_.erase(pending_.begin());
  return true;
}

bool SdlBackend::TranslatePad(const SDL_Event& e) {
  if (!padsEnabled_) return false;
  if (e.type == SDL_CONTROLLERDEVICEADDED) {
    SDL_GameController* c = SDL_GameControllerOpen(e.cdevice.which);
    if (c == nullptr) return false;
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c));
    for (const Pad& p : pads_) {
      if (p.id == id) {  // announced twice (present at start and added): keep one
        SDL_GameControllerClose(c);
        return false;
      }
    }
    Pad pad;
    pad.controller = c;
    pad.id = id;
    pads_.push_back(pad);
    return false;
  }
  const SDL_JoystickID which = e.type == SDL_CONTROLLERDEVICEREMOVED ? e.cdevice.which
                               : e.type == SDL_CONTROLLERAXISMOTION  ? e.caxis.which
                                                                     : e.cbutton.which;
  auto it = std::find_if(pads_.begin(), pads_.end(), [&](const Pad& p) { return p.id == which; });
  if (it == pads_.end()) return false;
  Pad& pad = *it;
  switch (e.type) {
    case SDL_CONTROLLERDEVICEREMOVED: {
      pad.state.ReleaseAll(pending_);
      SDL_GameControllerClose(pad.controller);
      pads_.erase(it);
      break;
    }
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      pad.state.Button(static_cast<PadButton>(e.cbutton.button), e.type == SDL_CONTROLLERBUTTONDOWN, pending_);
      break;
    case SDL_CONTROLLERAXISMOTION:
      switch (e.caxis.axis) {
        case SDL_CONTROLLER_AXIS_LEFTX:
          pad.state.Move(PadStick::LeftX, e.caxis.value, pending_);
          break;
        case SDL_CONTROLLER_AXIS_LEFTY:
          pad.state.Move(PadStick::LeftY, e.caxis.value, pending_);
          break;
        case SDL_CONTROLLER_AXIS_TRIGGERLEFT:
          pad.state.Move(PadStick::LeftTrigger, e.caxis.value, pending_);
          break;
        case SDL_CONTROLLER_AXIS_TRIGGERRIGHT:
          pad.state.Move(PadStick::RightTrigger, e.caxis.value, pending_);
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return !pending_.empty();
}

void SdlBackend::EnableGamepads(bool on) {
  if (on && !padsEnabled_) {
    // Pads already plugged in are announced as added once the subsystem
    // starts; later ones as they come.
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0 && SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;
    padsEnabled_ = true;
  } else if (!on && padsEnabled_) {
    ClosePads();
    padsEnabled_ = false;
  }
}

void SdlBackend::ClosePads() {
  for (Pad& p : pads_) SDL_GameControllerClose(p.controller);
  pads_.clear();
}

bool SdlBackend::SetDesktopFullScreen(bool on) {
  // The full-screen display of the configuration owns the window while open.
  if (window_ == nullptr || displayOpen_) return false;
  if (on == desktopFullScreen_) return true;
  if (SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
  desktopFullScreen_ = on;
  return true;
}

bool SdlBackend::NextMessage(Message& out) {
  while (!quit_) {
    if (TakePending(out)) return true;
    SDL_Event e;
    if (SDL_WaitEvent(&e) == 0) return false;
    if (Translate(e, out)) return true;
  }
  return false;
}

Poll SdlBackend::PollMessage(Message& out) {
  while (!quit_) {
    if (TakePending(out)) return Poll::Message;
    SDL_Event e;
    if (SDL_PollEvent(&e) == 0) return Poll::Empty;
    if (Translate(e, out)) return Poll::Message;
  }
  return Poll::Quit;
}

void SdlBackend::PostQuit(int32_t) { quit_ = true; }

void SdlBackend::RequestClose() { pending_.push_back(Message{wm::WM_CLOSE, 0, 0}); }

bool SdlBackend::EnsureRenderer() {
  if (renderer_ != nullptr) return true;
  if (window_ == nullptr) return false;
  renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  return renderer_ != nullptr;
}

// Desktop full screen, never a mode switch: the window covers the real
// screen and the display-size surface is scaled onto it (letterboxed when
// the shapes differ). The steps fail as the device, the exclusive window,
// the mode and the surface would, and a failure leaves nothing behind.
int32_t SdlBackend::OpenDisplay(int32_t width, int32_t height) {
  CloseDisplay();
  if (!EnsureRenderer()) return kDisplayNoDevice;
  desktopFullScreen_ = false;  // the display takes the window over
  if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return kDisplayNoExclusive;
  // A mode no screen offers is refused before anything is allocated for it.
  SDL_RendererInfo info;
  SDL_zero(info);
  SDL_GetRendererInfo(renderer_, &info);
  const int32_t widest = info.max_texture_width > 0 ? info.max_texture_width : kLargestDisplaySide;
  const int32_t tallest = info.max_texture_height > 0 ? info.max_texture_height : kLargestDisplaySide;
  if (width > 0 && height > 0 && width <= std::min(widest, kLargestDisplaySide) &&
      height <= std::min(tallest, kLargestDisplaySide)) {
    displayTexture_ =
        SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
  }
  if (displayTexture_ == nullptr) {
    SDL_SetWindowFullscreen(window_, 0);
    return kDisplayNoMode;
  }
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  surface_.reset(new (std::nothrow) uint32_t[pixels]());
  if (!surface_) {
    SDL_DestroyTexture(displayTexture_);
    displayTexture_ = nullptr;
    SDL_SetWindowFullscreen(window_, 0);
    return kDisplayNoSurface;
  }
  SDL_SetTextureBlendMode(displayTexture_, SDL_BLENDMODE_NONE);
  SDL_RenderSetLogicalSize(renderer_, width, height);
  surfaceWidth_ = width;
  surfaceHeight_ = height;
  surfacePitch_ = width;
  displayOpen_ = true;
  return kDisplayReady;
}

void SdlBackend::CloseDisplay() {
  locked_ = false;
  if (displayTexture_ != nullptr) SDL_DestroyTexture(displayTexture_);
  displayTexture_ = nullptr;
  surface_.reset();
  if (!displayOpen_) return;
  displayOpen_ = false;
  if (window_ != nullptr) SDL_SetWindowFullscreen(window_, 0);
}

bool SdlBackend::LockDisplay(SurfaceLock& out) {
  if (!displayOpen_ || locked_) return false;
  locked_ = true;
  out.pixels = surface_.get();
  out.pitchBytes = surfacePitch_ * 4;
  out.width = surfaceWidth_;
  out.height = surfaceHeight_;
  return true;
}

void SdlBackend::PresentTexture(SDL_Texture* texture) {
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
}

// A render target of the whole-factor enlargement, made anew when the
// factor changes; null where the renderer has no render targets.
static SDL_Texture* StageTexture(SDL_Renderer* r, SDL_Texture*& stage, int32_t width, int32_t height) {
  int tw = 0, th = 0;
  if (stage != nullptr) SDL_QueryTexture(stage, nullptr, nullptr, &tw, &th);
  if (stage != nullptr && tw == width && th == height) return stage;
  if (stage != nullptr) SDL_DestroyTexture(stage);
  stage = SDL_CreateTexture(r, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, width, height);
  if (stage != nullptr) {
    SDL_SetTextureBlendMode(stage, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(stage, SDL_ScaleModeLinear);
  }
  return stage;
}

// The surface keeps its pixels between presents (the presenter rewrites
// only what changed), so it lives in memory and is uploaded whole.
void SdlBackend::UnlockDisplay() {
  if (!locked_) return;
  locked_ = false;
  SDL_UpdateTexture(displayTexture_, nullptr, surface_.get(), surfacePitch_ * 4);
  PresentTexture(displayTexture_);
}

// The fourth byte of a pixel is not shown (RGB888 ignores it).
int32_t SdlBackend::CopyToWindow(const uint32_t* pixels, int32_t width, int32_t height) {
  if (pixels == nullptr || width <= 0 || height <= 0 || !EnsureRenderer()) return 0;
  int tw = 0, th = 0;
  if (windowTexture_ != nullptr) SDL_QueryTexture(windowTexture_, nullptr, nullptr, &tw, &th);
  if (windowTexture_ == nullptr || tw != width || th != height) {
    if (windowTexture_ != nullptr) SDL_DestroyTexture(windowTexture_);
    windowTexture_ =
        SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (windowTexture_ == nullptr) return 0;
    SDL_SetTextureBlendMode(windowTexture_, SDL_BLENDMODE_NONE);
  }
  SDL_UpdateTexture(windowTexture_, nullptr, pixels, width * 4);
  // The picture goes where the scaling mode puts it in the window's pixels:
  // first enlarged by the whole factor with each pixel kept square, then,
  // where that does not fill the window, smoothed the rest of the way.
  SDL_RenderSetLogicalSize(renderer_, 0, 0);
  int outWidth = 0, outHeight = 0;
  if (SDL_GetRendererOutputSize(renderer_, &outWidth, &outHeight) != 0) return 0;
  const PictureLayout l = LayOutPicture(outWidth, outHeight, width, height, scaleMode_);
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  const SDL_Rect dst{l.x, l.y, l.width, l.height};
  SDL_Texture* stage = nullptr;
  if (l.factor >= 2 && l.linear)
    stage = StageTexture(renderer_, stageTexture_, l.factor * width, l.factor * height);
  if (stage != nullptr && SDL_SetRenderTarget(renderer_, stage) == 0) {
    SDL_SetTextureScaleMode(windowTexture_, SDL_ScaleModeNearest);
    SDL_RenderCopy(renderer_, windowTexture_, nullptr, nullptr);
    SDL_SetRenderTarget(renderer_, nullptr);
    SDL_RenderCopy(renderer_, stage, nullptr, &dst);
  } else {
    SDL_SetTextureScaleMode(windowTexture_, l.linear ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    SDL_RenderCopy(renderer_, windowTexture_, nullptr, &dst);
  }
  SDL_RenderPresent(renderer_);
  return height;
}

int32_t SdlBackend::OpenAudio() {
  if (!audio_) audio_ = std::make_unique<SdlAudio>();
  return audio_->Open();
}

void SdlBackend::CloseAudio() {
  if (audio_) audio_->Close();
}

int32_t SdlBackend::CreateSoundBuffer(const WaveFormat& format, const uint8_t* data, uint32_t bytes,
                                      int32_t) {
  return audio_ ? audio_->CreateBuffer(format, data, bytes) : 0;
}

void SdlBackend::ReleaseSoundBuffer(int32_t handle) {
  if (audio_) audio_->ReleaseBuffer(handle);
}

void SdlBackend::PlaySoundBuffer(int32_t handle, bool looping) {
  if (audio_) audio_->Play(handle, looping);
}

void SdlBackend::StopSoundBuffer(int32_t handle) {
  if (audio_) audio_->Stop(handle);
}

void SdlBackend::SetSoundBufferVolume(int32_t handle, int32_t percent) {
  if (audio_) audio_->SetVolume(handle, percent);
}

std::unique_ptr<Backend> StartDesktopBackend(std::string& error) {
  auto backend = std::make_unique<SdlBackend>();
  if (!backend->Start(error)) return nullptr;
  return backend;
}

}  // namespace platform
