#include "shell/window.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "config/configuration.h"
#include "effects/effects.h"
#include "gfx/gfx_context.h"
#include "shell/comforts.h"
#include "shell/exit.h"
#include "shell/globals.h"
#include "shell/mode_dispatcher.h"

namespace {

FrameObserver gFrameObserver = nullptr;

constexpr const char* kWindowTitle = "vx_engine 1.13m";

platform::Backend& P() { return platform::Current(); }

int32_t FrameWidth() { return P().SystemMetric(platform::Metric::FrameWidth); }
int32_t FrameHeight() {
  return P().SystemMetric(platform::Metric::FrameHeight) + P().SystemMetric(platform::Metric::SmallCaption);
}

// The centred position and framed size of a window on the desktop; the
// picture area is 800 x 600 unless the player chose another size.
void PlaceFramedWindow() {
  const int32_t w = comforts.clientWidth, h = comforts.clientHeight;
  P().PlaceWindow(platform::ZOrder::Top, (engine.screen.display.width - w) / 2,
                  (engine.screen.display.height - h) / 2, w + FrameWidth(), h + FrameHeight(), true);
}

// The full-screen window covers the display and one pixel more each way. A
// display size read as the largest 32-bit value stays the largest instead
// of wrapping to a negative size.
void PlaceFullScreenWindow() {
  const auto plusOne = [](int32_t side) {
    return static_cast<int32_t>(std::min<int64_t>(int64_t{side} + 1, INT32_MAX));
  };
  P().PlaceWindow(platform::ZOrder::Top, 0, 0, plusOne(engine.screen.display.width),
                  plusOne(engine.screen.display.height), true);
}

// The display settings of the configuration, with their log line.
void ReadDisplaySettings() { vxGetRes(engine.screen.display, engine.records, engine.log); }

void ClipToGameArea() {
  engine.gameClipRect =
      platform::Rect{5, 26, engine.screen.display.width - 5, engine.screen.display.height - 5};
  P().ClipCursor(&engine.gameClipRect);
}

// Graphics tables, the random seed and the effects, once per run.
void FirstStartSetup() {
  InitGraphics(engine.gfx, engine.gfx.backBuffer, engine.gfx.screenWidth, engine.gfx.screenHeight);
  SeedRandom(engine.random, static_cast<Extended>(P().StateClockMs()) + 1318);
  InitEffects(engine.effects, engine.gfx);
}

void RunOneFrame() {
  // Pictures asked for during the frame are made once it is shown.
  engine.picturePrefetch.Hold(true);
  RunFrame(dispatcher, input);
  P().NoteFrame();
  if (gFrameObserver != nullptr) gFrameObserver(P().FramesRun());
}

void Present() { vxscrHtoSCREEN(engine.screen); }

// One pass of a tick: the start-up steps, the frame when active, and the
// present.
void TickPass() {
  FrameClock& fc = frameClock;
  if (fc.startState == kStartFirstTick) {
    fc.startState = -1;
    fc.tickPhase = kPhaseRestarting;
  }
  if (fc.startState == kStartNoTick) {
    fc.startState = kStartFirstTick;
    fc.secondPass = 0;
    PlaceCursor(400, 300);
    fc.rawMouseX = fc.prevMouseX = 400;
    fc.rawMouseY = fc.prevMouseY = 300;
    fc.tickPhase = kPhaseWaiting;
    fc.displayReady = 0;
  }
  if (fc.tickPhase == 0) {
    if (fc.appActive == -1) RunOneFrame();
  } else if (fc.tickPhase == kPhaseRestarting) {
    if (fc.displayReady == 0 && fc.appActive == -1) {
      fc.displayReady = -1;
      if (fc.firstStart != 0) {
        if (engine.screen.display.windowed == 0) ClipToGameArea();
        FirstStartSetup();
      }
    } else if (fc.displayReady != 0) {
      if (fc.firstStart != 0) ResetInput(input, dispatcher);
      fc.firstStart = 0;
      fc.tickPhase = 0;
    }
  }
  // No frame runs while the application is inactive; the frame limit
  // counts the ones that would have run, so an inactive run ends too.
  if (fc.appActive == 0) P().NoteInactivePass();
  if (fc.displayReady != 0 && fc.appActive != 0) Present();
  engine.picturePrefetch.Hold(false);
}

// The blocking tick of the message loop: the first pass, a sleep until the
// second is due, the second.
void Tick() {
  if (!BeginTick()) return;
  for (int32_t wait = SecondPassWait(); wait > 0; wait = SecondPassWait()) P().WaitMs(wait);
  EndTick();
}

void Activate(uint32_t wParam) {
  FrameClock& fc = frameClock;
  if (wParam == 0) {
    if (fc.appActive != -1) return;
    if (engine.screen.display.windowed == 0) {
      ScreenHandler& sh = engine.screen;
      sh.fullClipRect = platform::Rect{0, 0, sh.desktopWidth - 1, sh.desktopHeight - 1};
      P().ClipCursor(&sh.fullClipRect);
    }
    fc.appActive = 0;
    engine.screen.repaintCounter = 0;
    fc.displayReady = 0;
    fc.tickPhase = kPhaseRestarting;
    vxreleaseDDonly(engine.screen);
    P().ShowCursor(true);
    if (!KeepWindowOnFocusLoss()) {
      RememberWindowSize();
      P().PlaceWindow(platform::ZOrder::Bottom, 0, 0, 50, 50, false);
    }
    return;
  }
  if (fc.appActive != 0) return;
  ReadDisplaySettings();
  UseDesktopSizeIfWindowed();
  P().ShowCursor(false);
  vxDDrawINI(engine.screen);
  fc.resizePending = -1;
  if (engine.screen.display.windowed != 0) {
    if (!KeepWindowOnFocusLoss()) PlaceFramedWindow();
    UpdateWindowOrigin();
  } else {
    PlaceFullScreenWindow();
  }
  fc.appActive = -1;
  engine.screen.repaintCounter = 0;
  if (engine.screen.display.windowed == 0) ClipToGameArea();
}

void Resize() {
  FrameClock& fc = frameClock;
  if (fc.resizePending == 0) return;
  ReadDisplaySettings();
  UseDesktopSizeIfWindowed();
  if (engine.screen.display.windowed != 0) {
    UpdateWindowOrigin();
  } else {
    PlaceFullScreenWindow();
  }
  fc.resizePending = 0;
  engine.screen.repaintCounter = 0;
}

}  // namespace

void SetFrameObserver(FrameObserver observer) { gFrameObserver = observer; }

bool BeginTick() {
  FrameClock& fc = frameClock;
  if (fc.rawMouseX != fc.prevMouseX || fc.rawMouseY != fc.prevMouseY) {
    input.mouseX = (fc.rawMouseX + fc.prevMouseX) / 2;
    input.mouseY = (fc.rawMouseY + fc.prevMouseY) / 2;
    fc.prevMouseX = fc.rawMouseX;
    fc.prevMouseY = fc.rawMouseY;
  } else {
    input.mouseX = fc.rawMouseX;
    input.mouseY = fc.rawMouseY;
  }
  fc.tickStart = EngineClock();
  TickPass();
  if (fc.tickStart == -1) {
    fc.secondPass = 0;
    return false;
  }
  input.mouseX = fc.rawMouseX;
  input.mouseY = fc.rawMouseY;
  return true;
}

// The second frame starts as soon as more than 1000 / fps ms have passed
// since the tick began (at once when the clock went back).
int32_t SecondPassWait() {
  FrameClock& fc = frameClock;
  const int32_t period = 1000 / fc.fps;
  fc.elapsed = EngineClock() - fc.tickStart;
  if (fc.elapsed < 0 || fc.elapsed > period) return 0;
  return period + 1 - fc.elapsed;
}

void EndTick() {
  FrameClock& fc = frameClock;
  fc.secondPass = -1;
  TickPass();
  fc.secondPass = 0;
}

int32_t RunLoopStep() {
  platform::Backend& p = P();
  FrameClock& fc = frameClock;
  if (fc.secondPassPending) {
    if (const int32_t wait = SecondPassWait(); wait > 0) return wait;
    fc.secondPassPending = false;
    EndTick();
  }
  // Messages are taken one at a time, as the blocking loop takes them: a
  // tick that must wait for its second pass leaves the rest queued, so
  // input reaches the game between ticks only.
  platform::Message m;
  for (;;) {
    switch (p.PollMessage(m)) {
      case platform::Poll::Quit:
        return -1;
      case platform::Poll::Empty:
        return 0;
      case platform::Poll::Message:
        break;
    }
    if (m.message != wm::WM_TIMER) {
      WindowProc(m.message, m.wParam, m.lParam);
      continue;
    }
    if (!BeginTick()) continue;
    if (const int32_t wait = SecondPassWait(); wait > 0) {
      fc.secondPassPending = true;
      return wait;
    }
    EndTick();
  }
}

void SetScreenSize() {
  engine.gfx.screenWidth = 800;
  engine.gfx.screenHeight = 600;
}

void UseDesktopSizeIfWindowed() {
  if (engine.screen.display.windowed == 0) return;
  engine.screen.display.width = P().SystemMetric(platform::Metric::ScreenWidth);
  engine.screen.display.height = P().SystemMetric(platform::Metric::ScreenHeight);
}

void UpdateWindowOrigin() {
  engine.windowRect = P().WindowRect();
  engine.windowOriginX = engine.windowRect.left;
  engine.windowOriginY = engine.windowRect.top;
  if (engine.screen.display.windowed != 0) {
    engine.windowOriginX += FrameWidth();
    engine.windowOriginY += FrameHeight();
  }
}

void PlaceCursor(int32_t x, int32_t y) {
  int32_t sx = x;
  int32_t sy = y;
  if (engine.screen.display.windowed == 0) {
    sx = static_cast<int32_t>(static_cast<int64_t>(x) * engine.screen.display.width / 800);
    sy = static_cast<int32_t>(static_cast<int64_t>(y) * engine.screen.display.height / 600);
  }
  sx += engine.windowOriginX;
  sy += engine.windowOriginY;
  if (sx < 1) sx = 1;
  if (sx > engine.screen.display.width - 2) sx = engine.screen.display.width - 2;
  if (sy < 1) sy = 1;
  if (sy > engine.screen.display.height - 2) sy = engine.screen.display.height - 2;
  P().SetCursorPos(sx, sy);
}

void ResetInput(InputState& in, DispatcherState& d) {
  in.lastKey = 0;
  in.keyEvent = 0;
  in.left = in.up = in.right = in.down = 0;
  in.space = in.enter = in.del = in.escape = 0;
  in.control = in.shift = in.capsLock = 0;
  in.keyW = in.keyA = in.keyS = in.keyD = 0;
  in.mouseX = in.mouseY = 0;
  in.leftReleased = in.rightReleased = 0;
  in.leftHeld = in.rightHeld = 0;
  SetMode(d, in, 0);
}

int32_t DefWindowProc(uint32_t message, uint32_t, int32_t) {
  if (message == wm::WM_CLOSE) {
    P().DestroyMainWindow();
    WindowProc(wm::WM_DESTROY, 0, 0);
  }
  return 0;
}

int32_t WindowProc(uint32_t message, uint32_t wParam, int32_t lParam) {
  FrameClock& fc = frameClock;
  switch (message) {
    case wm::WM_KEYDOWN: {
      if (!TakeKeyForGame(message, wParam, lParam)) return 0;
      input.lastKey = input.keyEvent = static_cast<int32_t>(wParam);
      if (uint8_t* b = KeyByte(input, wParam)) *b = 1;
      return 0;
    }
    case wm::WM_KEYUP: {
      if (!TakeKeyForGame(message, wParam, lParam)) return 0;
      if (input.lastKey == static_cast<int32_t>(wParam)) input.lastKey = 0;
      if (uint8_t* b = KeyByte(input, wParam); b != nullptr && !HeldByPad(wParam)) *b = 0;
      return 0;
    }
    case wm::WM_PADBUTTONDOWN:
    case wm::WM_PADBUTTONUP:
      PadButtonMessage(message, wParam, dispatcher.gameMode, WindowProc);
      return 0;
    case wm::WM_CHAR:
      return 0;
    case wm::WM_MOUSEMOVE:
      fc.rawMouseX = static_cast<int32_t>(static_cast<uint32_t>(lParam) & 0xFFFFu);
      fc.rawMouseY = lParam >> 16;
      if (engine.screen.display.windowed == 0) {
        if (engine.screen.display.width > 0) fc.rawMouseX = fc.rawMouseX * 800 / engine.screen.display.width;
        if (engine.screen.display.height > 0)
          fc.rawMouseY = fc.rawMouseY * 600 / engine.screen.display.height;
      }
      return 0;
    case wm::WM_LBUTTONDOWN:
      input.leftReleased = 0;
      input.leftHeld = -1;
      return 0;
    case wm::WM_LBUTTONUP:
      input.leftReleased = -1;
      input.leftHeld = 0;
      return 0;
    case wm::WM_RBUTTONDOWN:
      input.rightReleased = 0;
      input.rightHeld = -1;
      return 0;
    case wm::WM_RBUTTONUP:
      input.rightReleased = -1;
      input.rightHeld = 0;
      return 0;
    case wm::WM_TIMER:
      Tick();
      return 0;
    case wm::WM_ACTIVATEAPP:
      Activate(wParam);
      return 0;
    case wm::WM_SIZE:
      Resize();
      return 0;
    case wm::WM_MOVE:
      UpdateWindowOrigin();
      return 0;
    case wm::WM_PAINT:
      return 0;
    case wm::WM_DESTROY:
      CloseLog(engine.log);
      vxEngExit(engine.screen);
      P().StopTimer(fc.timerId);
      P().PostQuit(0);
      return 0;
    default:
      return DefWindowProc(message, wParam, lParam);
  }
}

int32_t StartUp() {
  FrameClock& fc = frameClock;
  platform::Backend& p = P();
  fc.appActive = kAppNoDisplay;
  fc.resizePending = 0;
  fc.firstStart = -1;
  fc.fps = 35;
  engine.log.enabled = 0;
  engine.screen.verboseFirstPresent = 1;
  engine.screen.displayCreated = 0;

  engine.log.enabled = ReadConfigValue(engine.records, kRecordLog);
  engine.log.separator = ",";
  engine.log.newline = "\n";
  if (engine.log.enabled != 0) OpenLog(engine.log);
  LoadComforts();

  engine.screen.display.width = engine.screen.display.height = -1313;
  ReadDisplaySettings();
  SetScreenSize();
  UseDesktopSizeIfWindowed();

  bool created = false;
  if (engine.screen.display.windowed == 0) {
    created = p.CreateMainWindow(kWindowTitle, true, 0, 0, engine.screen.display.width,
                                 engine.screen.display.height);
  } else {
    const int32_t w = comforts.clientWidth, h = comforts.clientHeight;
    created = p.CreateMainWindow(kWindowTitle, false, (engine.screen.display.width - w) / 2,
                                 (engine.screen.display.height - h) / 2, w + FrameWidth(), h + FrameHeight());
  }
  if (!created) {
    if (engine.screen.display.windowed == 0) {
      std::fprintf(stderr, "vxgame: cannot create a full-screen window of %d x %d\n",
                   engine.screen.display.width, engine.screen.display.height);
    } else {
      std::fprintf(stderr, "vxgame: cannot create the game window\n");
    }
    return 1;
  }
  p.ShowMainWindow();
  StartComforts();
  engine.screen.desktopWidth = p.SystemMetric(platform::Metric::ScreenWidth);
  engine.screen.desktopHeight = p.SystemMetric(platform::Metric::ScreenHeight);
  p.ShowCursor(false);
  fc.startState = kStartNoTick;
  vxscrHini(engine.screen);
  if (const int32_t status = vxDDrawINI(engine.screen); status != 0) {
    std::fprintf(stderr,
                 "vxgame: cannot show the game full screen at %d x %d (display set-up step %d failed); "
                 "set another size in record 0 of ini/main.ini, or 0 for the desktop's\n",
                 engine.screen.display.width, engine.screen.display.height, status);
    ExitProgram(1);
  }
  fc.appActive = -1;
  if (engine.screen.display.windowed != 0) {
    PlaceFramedWindow();
  } else {
    PlaceFullScreenWindow();
  }
  UpdateWindowOrigin();
  vxInitDirectSound(engine.sound);
  fc.timerId = p.StartTimer(0, 50);
  if (fc.fps > 59) p.StartTimer(1, 40);
  return 0;
}

int32_t WinMain() {
  const int32_t status = StartUp();
  if (status != 0) return status;
  platform::Backend& p = P();
  platform::Message m;
  while (p.NextMessage(m)) WindowProc(m.message, m.wParam, m.lParam);
  return 0;
}
