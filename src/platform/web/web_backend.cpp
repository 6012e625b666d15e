#include "platform/web/web_backend.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "platform/web/web_input.h"

namespace platform {
namespace {

WebBackend* gWeb = nullptr;
// lParam bit 30 of a key-down: the key was already down (an auto-repeat).
constexpr int32_t kKeyWasDown = 1 << 30;
constexpr int32_t kLargestDisplaySide = 16384;
// Web Audio asks for this many frames at a time (about 46 ms).
constexpr int32_t kAudioFrames = 2048;
int16_t gMixBuffer[kAudioFrames * kMixerChannels];

// The page's size in device pixels, and how many of them make a CSS pixel.
EM_JS(double, vx_device_ratio, (), { return window.devicePixelRatio || 1; });
EM_JS(int, vx_page_width, (), { return Math.max(1, Math.round(window.innerWidth * (window.devicePixelRatio || 1))); });
EM_JS(int, vx_page_height, (), { return Math.max(1, Math.round(window.innerHeight * (window.devicePixelRatio || 1))); });
EM_JS(void, vx_set_title, (const char* title), { document.title = UTF8ToString(title); });
EM_JS(void, vx_show_cursor, (int show), { Module.canvas.style.cursor = show ? 'default' : 'none'; });
EM_JS(int, vx_canvas_css_width, (), { return Module.canvas.clientWidth; });
EM_JS(int, vx_canvas_css_height, (), { return Module.canvas.clientHeight; });

// The picture (RGBA bytes) into a stage canvas of its own size; that drawn
// onto the page's canvas at the whole factor without smoothing; the canvas
// then placed at the layout's rectangle, the browser smoothing the rest of
// the way when the layout asks for it.
EM_JS(void, vx_canvas_show,
      (const uint8_t* rgba, int width, int height, int factor, int linear, int x, int y, int w, int h), {
  var c = Module.canvas;
  var stage = Module.vxStage;
  if (!stage || stage.width != width || stage.height != height) {
    stage = Module.vxStage = document.createElement('canvas');
    stage.width = width;
    stage.height = height;
    Module.vxStageImage = new ImageData(width, height);
  }
  var image = Module.vxStageImage;
  image.data.set(HEAPU8.subarray(rgba, rgba + width * height * 4));
  stage.getContext('2d').putImageData(image, 0, 0);
  var f = Math.max(1, factor);
  if (c.width != width * f || c.height != height * f) {
    c.width = width * f;
    c.height = height * f;
  }
  var ctx = c.getContext('2d');
  ctx.imageSmoothingEnabled = false;
  ctx.drawImage(stage, 0, 0, width * f, height * f);
  var ratio = window.devicePixelRatio || 1;
  var s = c.style;
  s.position = 'absolute';
  s.left = (x / ratio) + 'px';
  s.top = (y / ratio) + 'px';
  s.width = (w / ratio) + 'px';
  s.height = (h / ratio) + 'px';
  s.imageRendering = linear ? 'auto' : 'pixelated';
});

// Web Audio: one context at the mixer's rate and a processing node whose
// callback asks the mixer for each block. Browsers start a context only
// after the player's first key or click, so those resume it.
EM_JS(int, vx_audio_open, (int16_t* buffer, int frames), {
  var AC = window.AudioContext || window.webkitAudioContext;
  if (!AC) return 1;
  try {
    var ctx = new AC({sampleRate: 44100});
    var node = ctx.createScriptProcessor(frames, 0, 2);
    node.onaudioprocess = function(e) {
      var out = e.outputBuffer;
      var n = Math.min(out.length, frames);
      _vx_web_mix(buffer, n);
      var s = HEAP16.subarray(buffer >> 1, (buffer >> 1) + n * 2);
      var l = out.getChannelData(0), r = out.getChannelData(1);
      for (var i = 0; i < n; i++) {
        l[i] = s[2 * i] / 32768;
        r[i] = s[2 * i + 1] / 32768;
      }
    };
    node.connect(ctx.destination);
    var resume = function() { if (ctx.state !== 'running') ctx.resume(); };
    ['keydown', 'mousedown', 'touchstart', 'pointerdown'].forEach(function(ev) {
      window.addEventListener(ev, resume, true);
    });
    Module.vxAudio = {ctx: ctx, node: node};
    return 0;
  } catch (e) {
    return 2;
  }
});
EM_JS(void, vx_audio_close, (), {
  if (!Module.vxAudio) return;
  Module.vxAudio.node.disconnect();
  Module.vxAudio.ctx.close();
  Module.vxAudio = null;
});

// Full screen needs the player's recent key or click, which the key that
// asks for it is; the page's container holds the canvas and its bars.
EM_JS(int, vx_fullscreen, (int on), {
  var el = document.getElementById('stage') || Module.canvas;
  try {
    if (on) {
      if (!document.fullscreenElement) el.requestFullscreen().catch(function() {});
    } else if (document.fullscreenElement) {
      document.exitFullscreen().catch(function() {});
    }
    return 1;
  } catch (e) {
    return 0;
  }
});
EM_JS(int, vx_is_fullscreen, (), { return document.fullscreenElement ? 1 : 0; });

// A file of the page's folder as a download: a link to its bytes, clicked.
EM_JS(void, vx_offer_file, (const char* path), {
  try {
    var name = UTF8ToString(path);
    var bytes = FS.readFile(name);
    var type = name.toLowerCase().endsWith('.png') ? 'image/png' : 'application/octet-stream';
    var url = URL.createObjectURL(new Blob([bytes], {type: type}));
    var a = document.createElement('a');
    a.href = url;
    a.download = name.split('/').pop();
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(function() { URL.revokeObjectURL(url); }, 10000);
  } catch (e) {
    console.error('vxgame: cannot offer ' + UTF8ToString(path) + ': ' + e);
  }
});

bool PassToBrowser(const EmscriptenKeyboardEvent& e) {
  // Reloading, the browser's own full screen and its shortcuts stay the
  // browser's.
  if (std::strcmp(e.code, "F5") == 0 || std::strcmp(e.code, "F11") == 0) return true;
  return (e.ctrlKey || e.metaKey) && std::strncmp(e.code, "Key", 3) == 0;
}

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* e, void* self) {
  const uint32_t code = VirtualKeyFromDomCode(e->code);
  if (code == 0) return EM_FALSE;
  const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
  static_cast<WebBackend*>(self)->Queue(
      Message{down ? wm::WM_KEYDOWN : wm::WM_KEYUP, code, down && e->repeat ? kKeyWasDown : 0});
  return PassToBrowser(*e) ? EM_FALSE : EM_TRUE;
}

EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* e, void* self) {
  auto* web = static_cast<WebBackend*>(self);
  const int32_t where = web->PointerParam(e->targetX, e->targetY);
  if (type == EMSCRIPTEN_EVENT_MOUSEMOVE) {
    web->Queue(Message{wm::WM_MOUSEMOVE, 0, where});
    return EM_FALSE;
  }
  const bool down = type == EMSCRIPTEN_EVENT_MOUSEDOWN;
  if (e->button == 0) web->Queue(Message{down ? wm::WM_LBUTTONDOWN : wm::WM_LBUTTONUP, 0, where});
  if (e->button == 2) web->Queue(Message{down ? wm::WM_RBUTTONDOWN : wm::WM_RBUTTONUP, 0, where});
  return EM_TRUE;
}

// A page that loses the focus or is hidden is inactive, as a window that
// loses the focus: the game pauses.
EM_BOOL OnFocus(int type, const EmscriptenFocusEvent*, void* self) {
  static_cast<WebBackend*>(self)->Queue(Message{wm::WM_ACTIVATEAPP, type == EMSCRIPTEN_EVENT_FOCUS ? 1u : 0u, 0});
  return EM_FALSE;
}

EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* e, void* self) {
  static_cast<WebBackend*>(self)->Queue(Message{wm::WM_ACTIVATEAPP, e->hidden ? 0u : 1u, 0});
  return EM_FALSE;
}

EM_BOOL OnResize(int, const EmscriptenUiEvent* e, void* self) {
  static_cast<WebBackend*>(self)->Queue(Message{wm::WM_SIZE, 0, MakeMouseParam(e->windowInnerWidth, e->windowInnerHeight)});
  return EM_FALSE;
}

EM_BOOL OnContextMenu(int, const EmscriptenMouseEvent*, void*) { return EM_TRUE; }

}  // namespace

WebBackend::WebBackend() : start_(emscripten_get_now()) { gWeb = this; }

WebBackend::~WebBackend() {
  CloseAudio();
  if (gWeb == this) gWeb = nullptr;
}

void WebBackend::Start() {
  const char* const window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback(window, this, EM_TRUE, &OnKey);
  emscripten_set_keyup_callback(window, this, EM_TRUE, &OnKey);
  emscripten_set_mousemove_callback("#canvas", this, EM_TRUE, &OnMouse);
  emscripten_set_mousedown_callback("#canvas", this, EM_TRUE, &OnMouse);
  emscripten_set_mouseup_callback("#canvas", this, EM_TRUE, &OnMouse);
  emscripten_set_click_callback("#canvas", this, EM_TRUE, &OnContextMenu);
  emscripten_set_focus_callback(window, this, EM_TRUE, &OnFocus);
  emscripten_set_blur_callback(window, this, EM_TRUE, &OnFocus);
  emscripten_set_visibilitychange_callback(this, EM_TRUE, &OnVisibility);
  emscripten_set_resize_callback(window, this, EM_TRUE, &OnResize);
}

int32_t WebBackend::PointerParam(double cssX, double cssY) {
  const int32_t width = displayOpen_ ? surfaceWidth_ : 800;
  const int32_t height = displayOpen_ ? surfaceHeight_ : 600;
  const int32_t cw = std::max(1, vx_canvas_css_width());
  const int32_t ch = std::max(1, vx_canvas_css_height());
  const auto onto = [](double v, int32_t css, int32_t side) {
    const double p = v * side / css;
    return p < 0 ? 0 : p >= side ? side - 1 : static_cast<int32_t>(p);
  };
  return MakeMouseParam(onto(cssX, cw, width), onto(cssY, ch, height));
}

void WebBackend::SampleGamepads() {
  if (!padsEnabled_ || emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return;
  const int32_t count = std::max(0, emscripten_get_num_gamepads());
  if (static_cast<int32_t>(pads_.size()) < count) pads_.resize(static_cast<size_t>(count));
  padMessages_.clear();
  for (int32_t i = 0; i < static_cast<int32_t>(pads_.size()); ++i) {
    Pad& pad = pads_[static_cast<size_t>(i)];
    EmscriptenGamepadEvent g;
    const bool connected = i < count && emscripten_get_gamepad_status(i, &g) == EMSCRIPTEN_RESULT_SUCCESS &&
                           g.connected;
    if (!connected) {
      if (pad.connected) pad.state.ReleaseAll(padMessages_);
      pad.connected = false;
      continue;
    }
    pad.connected = true;
    const int32_t buttons = std::min(g.numButtons, 64);
    for (int32_t b = 0; b < buttons; ++b) {
      PadStick trigger;
      if (StandardTrigger(b, trigger)) {
        pad.state.Move(trigger, StandardAxisValue(g.analogButton[b]), padMessages_);
      } else if (const PadButton button = StandardPadButton(b); button != kPadButtonCount) {
        pad.state.Button(button, g.digitalButton[b] != 0, padMessages_);
      }
    }
    if (g.numAxes > 0) pad.state.Move(PadStick::LeftX, StandardAxisValue(g.axis[0]), padMessages_);
    if (g.numAxes > 1) pad.state.Move(PadStick::LeftY, StandardAxisValue(g.axis[1]), padMessages_);
  }
  for (const Message& m : padMessages_) queue_.push_back(m);
}

void WebBackend::EnableGamepads(bool on) {
  if (!on && padsEnabled_) {
    padMessages_.clear();
    for (Pad& p : pads_) p.state.ReleaseAll(padMessages_);
    for (const Message& m : padMessages_) queue_.push_back(m);
    pads_.clear();
  }
  padsEnabled_ = on;
}

bool WebBackend::CreateMainWindow(const char* title, bool, int32_t, int32_t, int32_t, int32_t) {
  vx_set_title(title);
  window_ = true;
  return true;
}

Rect WebBackend::WindowRect() { return Rect{0, 0, SystemMetric(Metric::ScreenWidth), SystemMetric(Metric::ScreenHeight)}; }

void WebBackend::DestroyMainWindow() { window_ = false; }

// The page is the desktop: its size in CSS pixels, without a frame.
int32_t WebBackend::SystemMetric(Metric metric) {
  const double ratio = vx_device_ratio();
  switch (metric) {
    case Metric::ScreenWidth: return static_cast<int32_t>(vx_page_width() / ratio);
    case Metric::ScreenHeight: return static_cast<int32_t>(vx_page_height() / ratio);
    default: return 0;
  }
}

void WebBackend::ShowCursor(bool show) { vx_show_cursor(show ? 1 : 0); }

bool WebBackend::NextMessage(Message& out) { return PollMessage(out) == Poll::Message; }

Poll WebBackend::PollMessage(Message& out) {
  if (quit_) return Poll::Quit;
  if (!queue_.empty()) {
    out = queue_.front();
    queue_.pop_front();
    return Poll::Message;
  }
  const double now = emscripten_get_now();
  for (Timer& t : timers_) {
    if (t.next > now) continue;
    // Like a window timer, at most one tick is ever owed: a page that was
    // held up skips the ticks it missed.
    while (t.next <= now) t.next += t.period;
    out = Message{wm::WM_TIMER, t.id, 0};
    return Poll::Message;
  }
  return Poll::Empty;
}

void WebBackend::PostQuit(int32_t) { quit_ = true; }

uint32_t WebBackend::StartTimer(uint32_t id, uint32_t periodMs) {
  StopTimer(id + 1);
  if (periodMs == 0) return 0;
  timers_.push_back(Timer{id, periodMs, emscripten_get_now() + periodMs});
  return id + 1;
}

void WebBackend::StopTimer(uint32_t id) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.id + 1 == id; }),
                timers_.end());
}

int32_t WebBackend::ClockMs() { return static_cast<int32_t>(emscripten_get_now() - start_); }

int32_t WebBackend::OpenDisplay(int32_t width, int32_t height) {
  CloseDisplay();
  if (width <= 0 || height <= 0 || width > kLargestDisplaySide || height > kLargestDisplaySide) return kDisplayNoMode;
  surface_.reset(new (std::nothrow) uint32_t[static_cast<size_t>(width) * static_cast<size_t>(height)]());
  if (!surface_) return kDisplayNoSurface;
  surfaceWidth_ = width;
  surfaceHeight_ = height;
  displayOpen_ = true;
  return kDisplayReady;
}

void WebBackend::CloseDisplay() {
  surface_.reset();
  displayOpen_ = locked_ = false;
}

bool WebBackend::LockDisplay(SurfaceLock& out) {
  if (!displayOpen_ || locked_) return false;
  locked_ = true;
  out.pixels = surface_.get();
  out.pitchBytes = surfaceWidth_ * 4;
  out.width = surfaceWidth_;
  out.height = surfaceHeight_;
  return true;
}

void WebBackend::UnlockDisplay() {
  if (!locked_) return;
  locked_ = false;
  Show(surface_.get(), surfaceWidth_, surfaceHeight_, surfaceWidth_);
}

int32_t WebBackend::CopyToWindow(const uint32_t* pixels, int32_t width, int32_t height) {
  if (!window_ || pixels == nullptr || width <= 0 || height <= 0) return 0;
  Show(pixels, width, height, width);
  return height;
}

// The pixels' fourth byte is not shown: the canvas gets them opaque.
void WebBackend::Show(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitchPixels) {
  rgba_.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  uint8_t* out = rgba_.data();
  for (int32_t y = 0; y < height; ++y) {
    const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(pitchPixels);
    for (int32_t x = 0; x < width; ++x, out += 4) {
      out[0] = static_cast<uint8_t>(row[x] >> 16);
      out[1] = static_cast<uint8_t>(row[x] >> 8);
      out[2] = static_cast<uint8_t>(row[x]);
      out[3] = 255;
    }
  }
  // The full-screen display fills the page as it comes; the window copy
  // takes the layout of the scaling mode, as the desktop window does.
  const PictureLayout l =
      LayOutPicture(vx_page_width(), vx_page_height(), width, height, displayOpen_ ? ScaleMode::FitLinear : scaleMode_);
  vx_canvas_show(rgba_.data(), width, height, l.factor, l.linear ? 1 : 0, l.x, l.y, l.width, l.height);
}

int32_t WebBackend::OpenAudio() {
  if (audioOpen_) return kAudioReady;
  const int32_t status = vx_audio_open(gMixBuffer, kAudioFrames);
  if (status != 0) return status == 1 ? kAudioNoDevice : kAudioRefused;
  audioOpen_ = true;
  return kAudioReady;
}

void WebBackend::CloseAudio() {
  if (!audioOpen_) return;
  vx_audio_close();
  audioOpen_ = false;
  mixer_.Clear();
}

// Web Audio calls back on the page's one thread, between loop steps, so the
// mixer needs no lock here.
void WebBackend::Mix(int16_t* out, int32_t frames) { mixer_.Mix(out, static_cast<size_t>(std::max(frames, 0))); }

int32_t WebBackend::CreateSoundBuffer(const WaveFormat& format, const uint8_t* data, uint32_t bytes, int32_t) {
  if (!audioOpen_) return 0;
  MixerSamples samples;
  if (!ConvertToDevice(format, data, bytes, kMixerRate, samples)) return 0;
  const int32_t handle = nextSound_++;
  mixer_.Add(handle, std::move(samples));
  return handle;
}

void WebBackend::ReleaseSoundBuffer(int32_t handle) { mixer_.Remove(handle); }
void WebBackend::PlaySoundBuffer(int32_t handle, bool looping) { mixer_.Play(handle, looping); }
void WebBackend::StopSoundBuffer(int32_t handle) { mixer_.Stop(handle); }
void WebBackend::SetSoundBufferVolume(int32_t handle, int32_t percent) { mixer_.SetVolume(handle, percent); }

void WebBackend::OfferFile(const char* path) { vx_offer_file(path); }

bool WebBackend::SetDesktopFullScreen(bool on) {
  if (!window_ || displayOpen_) return false;
  return vx_fullscreen(on ? 1 : 0) != 0;
}

bool WebBackend::DesktopFullScreen() { return vx_is_fullscreen() != 0; }

}  // namespace platform

// Web Audio's block callback.
extern "C" EMSCRIPTEN_KEEPALIVE void vx_web_mix(int16_t* out, int frames) {
  if (platform::gWeb != nullptr) platform::gWeb->Mix(out, frames);
}
