#include <cstdlib>
#include <cstring>

#include "display/screen_handler.h"
#include "shell/engine.h"

// Back buffer: 800 x (600 + 20) pixels plus 500 bytes of slack, so drawing
// that reads a little past the last row stays inside the allocation.
void vxscrHini(ScreenHandler& sh) {
  LogLine(engine.log, "vxscrHini start");
  const size_t backBytes = 4u * 800u * (600u + 20u) + 500u;
  engine.backBuffer = static_cast<uint32_t*>(std::calloc(1, backBytes));
  sh.previousFrame = static_cast<uint32_t*>(std::calloc(1, 4u * 800u * (600u + 8u) + 500u));
  sh.coverage = static_cast<int16_t*>(std::calloc(16405, sizeof(int16_t)));
  sh.reciprocal = static_cast<int16_t*>(std::calloc(4105, sizeof(int16_t)));
  sh.brightnessTable = static_cast<uint8_t*>(std::calloc(270, 1));
  for (int i = 0; i <= 256; ++i) sh.brightnessTable[i] = static_cast<uint8_t>(i > 255 ? 255 : i);
  engine.brightnessActive = 0;
  engine.borderPicture = -1;
  engine.borderCountdown = 0;
  engine.repaintCounter = 0;
  LogLine(engine.log, "vxscrHini fin");
}

int32_t vxDDrawINI(ScreenHandler&) {
  if (engine.windowed != 0) return 0;
  EngineLog& log = engine.log;
  LogLine(log, "vxDDrawINI start");
  const int32_t status = platform::Current().OpenDisplay(engine.displayWidth, engine.displayHeight);
  if (status == 0) {
    LogLine(log, "DirectDrawCreate pass ok");
    LogLine(log, "SetCooperativeLevel pass ok");
    LogLine(log, "SetDisplayMode pass ok:", engine.displayWidth, engine.displayHeight, 32);
    LogLine(log, "CreateSurface pass ok:");
    engine.displayCreated = -1;
  } else {
    if (status > 1) LogLine(log, "DirectDrawCreate pass ok");
    if (status > 2) LogLine(log, "SetCooperativeLevel pass ok");
    if (status > 3) LogLine(log, "SetDisplayMode pass ok:", engine.displayWidth, engine.displayHeight, 32);
    engine.displayCreated = 0;
  }
  LogLine(log, "vxDDrawINI fin. error status:", status);
  return status;
}

void vxscrHtoSCREEN(ScreenHandler& sh) {
  const bool verbose = engine.verboseFirstPresent != 0 && engine.log.enabled != 0;
  EngineLog& log = engine.log;
  if (verbose) LogLine(log, "vxscrHtoSCREEN start");
  platform::Backend& p = platform::Current();
  if (engine.windowed == 0) {
    platform::SurfaceLock lock;
    if (engine.displayCreated != 0 && p.LockDisplay(lock)) {
      sh.pitch = lock.pitchBytes / 4;
      if (verbose) LogLine(log, "vxscrHtoSCREEN mem locked. real x:", sh.pitch);
      if (lock.width == 800 && lock.height == 600) {
        for (int y = 0; y < 600; ++y)
          std::memcpy(lock.pixels + static_cast<size_t>(y) * static_cast<size_t>(sh.pitch),
                      engine.backBuffer + y * 800, 800 * 4);
        if (verbose) LogLine(log, "vxscrHtoSCREEN original_res pass");
      }
      p.UnlockDisplay();
    }
  } else {
    if (verbose) LogLine(log, "Start copying mem thru DC of GDI");
    const int32_t lines = p.CopyToWindow(engine.backBuffer, 800, 600);
    if (verbose) LogLine(log, "StretchDIBits num of copyed lines: ", lines);
    if (verbose) LogLine(log, "vxscrHtoSCREEN higher_res pass");
  }
  engine.borderCountdown = engine.borderCountdown < 1 ? 300 : engine.borderCountdown - 1;
  engine.repaintCounter = engine.repaintCounter < 1 ? 400 : engine.repaintCounter - 1;
  if (verbose) {
    LogLine(log, "vxscrHtoSCREEN fin");
    engine.verboseFirstPresent = 0;
  }
}

void vxreleaseDDonly(ScreenHandler&) {
  if (engine.windowed != 0) return;
  LogLine(engine.log, "vxreleaseDDonly start");
  platform::Current().CloseDisplay();
  engine.displayCreated = 0;
  LogLine(engine.log, "vxreleaseDDonly fin");
}

void vxreleaseDDDS(ScreenHandler&) {
  LogLine(engine.log, "vxreleaseDDDS start");
  platform::Backend& p = platform::Current();
  if (engine.windowed == 0) {
    p.CloseDisplay();
    engine.displayCreated = 0;
  }
  if (engine.sound.available != 0) ReleaseSound(engine.sound);
  if (engine.windowed == 0) {
    const platform::Rect all{0, 0, engine.desktopWidth - 1, engine.desktopHeight - 1};
    p.ClipCursor(&all);
  }
  LogLine(engine.log, "vxreleaseDDDS fin");
}

void vxEngExit() {
  LogLine(engine.log, "vxEngExit");
  vxreleaseDDDS(engine.screen);
}

void SetBrightness(int32_t offset, int32_t contrast) {
  uint8_t* table = engine.screen.brightnessTable;
  if (table == nullptr) return;
  for (int32_t i = 0; i <= 256; ++i) {
    int32_t v = (((i - 127) * contrast) >> 8) + 127 + offset;
    if (v < 0) v = 0;
    if (v > 255) v = 255;
    table[i] = static_cast<uint8_t>(v);
  }
  engine.brightnessActive = (offset == 0 && contrast == 256) ? 0 : -1;
}

void SetBorderPicture(int32_t slot) {
  engine.borderPicture = slot;
  engine.borderCountdown = 0;
}
