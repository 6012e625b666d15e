#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "display/present_passes.h"
#include "display/screen_handler.h"
#include "gfx/gfx_context.h"
#include "sound/sound_context.h"

namespace {

using present::kHeight;
using present::kOne;
using present::kWidth;

constexpr int32_t kCoverageEntries = 16405;
constexpr int32_t kReciprocalEntries = 4105;
constexpr int32_t kBrightnessBytes = 270;
// Back buffer: 20 rows and 500 bytes of slack, so drawing that reads a
// little past the last row stays inside the allocation.
constexpr size_t kBackBufferBytes = 4u * 800u * (600u + 20u) + 500u;
constexpr size_t kPreviousFrameBytes = 4u * 800u * (600u + 8u) + 500u;
constexpr int64_t kMostShrunkPixels = 9 * 800 * 800;

enum class Pass { None, OriginalRes, LowerOrMixedRes, HigherRes };

Pass ChoosePass(int32_t width, int32_t height, bool fullScreen) {
  if (width <= 0 || height <= 0) return Pass::None;
  if (fullScreen && width == kWidth && height == kHeight) return Pass::OriginalRes;
  if ((width < kWidth || height < kHeight) && fullScreen &&
      static_cast<int64_t>(width) * height <= kMostShrunkPixels) {
    return Pass::LowerOrMixedRes;
  }
  if ((kWidth < width || (kHeight < height && kWidth <= width)) && kHeight <= height) return Pass::HigherRes;
  return Pass::None;
}

void FillBrightness(uint8_t* table, int32_t offset, int32_t contrast) {
  for (int32_t i = 0; i <= 256; ++i) {
    // 64-bit so that no contrast or offset can overflow; the clamp gives
    // the same bytes as 32-bit arithmetic over the range the fades use.
    const int64_t v = ((static_cast<int64_t>(i - 127) * contrast) >> 8) + 127 + offset;
    table[i] = static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255));
  }
}

// The table in effect, or null while brightness is the identity.
const uint8_t* ActiveBrightness(const ScreenHandler& sh) {
  return sh.brightnessActive != 0 ? sh.brightnessTable : nullptr;
}

void ApplyBrightnessIfActive(const ScreenHandler& sh) {
  if (const uint8_t* table = ActiveBrightness(sh)) {
    present::MapInPlace(sh.gfx->backBuffer, static_cast<size_t>(kWidth) * kHeight, table);
  }
}

// The border picture, when its slot holds a loaded picture.
bool BorderTile(const ScreenHandler& sh, present::BorderTile& out) {
  const int32_t slot = sh.borderPicture;
  if (slot < 0 || slot >= kImageSlots) return false;
  const ImageSlot& s = sh.gfx->slots[slot];
  if (s.state != kLoaded || s.pixels == nullptr || s.width <= 0 || s.height <= 0) return false;
  out = present::BorderTile{s.pixels, s.width, s.height};
  return true;
}

void PaintMarginsIfDue(const ScreenHandler& sh, const present::Surface& s, int32_t x0, int32_t y0,
                       int32_t width, int32_t height) {
  if (sh.borderCountdown != 0) return;
  present::BorderTile tile;
  present::PaintMargins(s, x0, y0, width, height, BorderTile(sh, tile) ? &tile : nullptr);
}

void HigherRes(ScreenHandler& sh, const present::Surface& s) {
  const int32_t factor = (s.width < 2 * kWidth || s.height < 2 * kHeight) ? 1 : 2;
  const int32_t x0 = (s.width - factor * kWidth) / 2;
  const int32_t y0 = (s.height - factor * kHeight) / 2;
  PaintMarginsIfDue(sh, s, x0, y0, factor * kWidth, factor * kHeight);
  if (factor == 2) {
    ApplyBrightnessIfActive(sh);
    present::DoubleRows(sh.gfx->backBuffer, s, x0, y0);
  } else {
    present::CopyRows(sh.gfx->backBuffer, s, x0, y0, ActiveBrightness(sh));
  }
}

void LowerOrMixedRes(ScreenHandler& sh, const present::Surface& s) {
  ApplyBrightnessIfActive(sh);
  if (sh.repaintCounter == 0 || sh.repaintCounter == 390) {
    std::fill(sh.previousFrame, sh.previousFrame + static_cast<size_t>(kWidth) * kHeight,
              present::kAllChanged);
  }
  const int32_t x0 = s.width > kWidth ? (s.width - kWidth) / 2 : 0;
  const int32_t y0 = s.height > kHeight ? (s.height - kHeight) / 2 : 0;
  const int32_t width = s.width > kWidth ? kWidth : s.width;
  const int32_t height = s.height > kHeight ? kHeight : s.height;
  const int32_t xstep = width * kOne / kWidth;
  const int32_t ystep = height * kOne / kHeight;
  present::ShrinkRows(sh.gfx->backBuffer, sh.previousFrame, s, x0, y0, xstep, ystep,
                      present::ShrinkTables{sh.coverage, sh.reciprocal, sh.shrinkScratch});
  PaintMarginsIfDue(sh, s, x0, y0, width, height);
}

bool BuffersReady(const ScreenHandler& sh) {
  return sh.gfx->backBuffer != nullptr && sh.previousFrame != nullptr && sh.coverage != nullptr &&
         sh.reciprocal != nullptr && sh.shrinkScratch != nullptr;
}

void PresentFullScreen(ScreenHandler& sh, bool verbose) {
  EngineLog& log = *sh.log;
  platform::Backend& p = platform::Current();
  platform::SurfaceLock lock;
  if (sh.displayCreated == 0 || !p.LockDisplay(lock)) return;  // nothing is shown this frame
  sh.pitch = lock.pitchBytes / 4;
  if (verbose) LogLine(log, "vxscrHtoSCREEN mem locked. real x:", sh.pitch);
  const present::Surface s{lock.pixels, sh.pitch, sh.display.width, sh.display.height};
  // A surface that does not hold the display size (it changed since the
  // display was opened) is left alone rather than written past its end.
  const bool fits =
      lock.pixels != nullptr && s.width <= lock.width && s.height <= lock.height && lock.width <= s.pitch;
  const Pass pass = ChoosePass(sh.display.width, sh.display.height, true);
  if (fits && BuffersReady(sh)) {
    switch (pass) {
      case Pass::OriginalRes:
        present::CopyRows(sh.gfx->backBuffer, s, 0, 0, ActiveBrightness(sh));
        if (verbose) LogLine(log, "vxscrHtoSCREEN original_res pass");
        break;
      case Pass::LowerOrMixedRes:
        LowerOrMixedRes(sh, s);
        if (verbose) LogLine(log, "vxscrHtoSCREEN lower_or_mixed_res pass");
        break;
      case Pass::HigherRes:
        HigherRes(sh, s);
        if (verbose) LogLine(log, "vxscrHtoSCREEN higher_res pass");
        break;
      case Pass::None:
        break;
    }
  }
  p.UnlockDisplay();
}

// A window always receives the whole back buffer, wherever the window is
// and whatever the desktop size; the platform clips what is not visible.
void PresentWindowed(ScreenHandler& sh, bool verbose) {
  if (sh.gfx->backBuffer == nullptr) return;
  EngineLog& log = *sh.log;
  ApplyBrightnessIfActive(sh);
  if (verbose) LogLine(log, "Start copying mem thru DC of GDI");
  const int32_t lines = platform::Current().CopyToWindow(sh.gfx->backBuffer, kWidth, kHeight);
  if (verbose) LogLine(log, "StretchDIBits num of copyed lines: ", lines);
  if (verbose && ChoosePass(sh.display.width, sh.display.height, false) == Pass::HigherRes) {
    LogLine(log, "vxscrHtoSCREEN higher_res pass");
  }
}

}  // namespace

void ReleaseScreenBuffers(ScreenHandler& sh) {
  if (sh.gfx != nullptr && sh.gfx->backBuffer == sh.backBufferMemory) sh.gfx->backBuffer = nullptr;
  std::free(sh.backBufferMemory);
  std::free(sh.previousFrame);
  std::free(sh.coverage);
  std::free(sh.reciprocal);
  std::free(sh.brightnessTable);
  present::FreeShrinkScratch(sh.shrinkScratch);
  sh.backBufferMemory = sh.previousFrame = nullptr;
  sh.coverage = sh.reciprocal = nullptr;
  sh.brightnessTable = nullptr;
  sh.shrinkScratch = nullptr;
}

void vxscrHini(ScreenHandler& sh) {
  LogLine(*sh.log, "vxscrHini start");
  ReleaseScreenBuffers(sh);
  sh.backBufferMemory = static_cast<uint32_t*>(std::calloc(1, kBackBufferBytes));
  sh.gfx->backBuffer = sh.backBufferMemory;
  sh.shrinkScratch = present::NewShrinkScratch();
  sh.previousFrame = static_cast<uint32_t*>(std::calloc(1, kPreviousFrameBytes));
  sh.coverage = static_cast<int16_t*>(std::calloc(kCoverageEntries, sizeof(int16_t)));
  sh.reciprocal = static_cast<int16_t*>(std::calloc(kReciprocalEntries, sizeof(int16_t)));
  sh.brightnessTable = static_cast<uint8_t*>(std::calloc(kBrightnessBytes, 1));
  // coverage[8192 + i]: the part of a source pixel reaching i / 8192 of a
  // target pixel past a target column's edge. Built for the display width
  // of the start; a later display size keeps this table.
  const int32_t xstep = std::min(sh.display.width, kWidth) * kOne / kWidth;
  if (sh.coverage != nullptr && xstep > 0) {
    for (int32_t i = 0; i <= kOne; ++i) sh.coverage[kOne + i] = static_cast<int16_t>(i * kOne / xstep);
  }
  if (sh.reciprocal != nullptr) {
    for (int32_t i = 1; i <= 4100; ++i) sh.reciprocal[i] = static_cast<int16_t>(32650 / i);
  }
  if (sh.brightnessTable != nullptr) FillBrightness(sh.brightnessTable, 0, 256);
  sh.brightnessActive = 0;
  sh.borderPicture = -1;
  sh.borderCountdown = 0;
  sh.repaintCounter = 0;
  LogLine(*sh.log, "vxscrHini fin");
}

int32_t vxDDrawINI(ScreenHandler& sh) {
  if (sh.display.windowed != 0) return 0;
  EngineLog& log = *sh.log;
  LogLine(log, "vxDDrawINI start");
  const int32_t status = platform::Current().OpenDisplay(sh.display.width, sh.display.height);
  // The platform reports the step that failed; the steps before it passed.
  const auto passed = [&](int32_t step) { return status == platform::kDisplayReady || status > step; };
  if (passed(1)) LogLine(log, "DirectDrawCreate pass ok");
  if (passed(2)) LogLine(log, "SetCooperativeLevel pass ok");
  if (passed(3)) LogLine(log, "SetDisplayMode pass ok:", sh.display.width, sh.display.height, 32);
  if (passed(4)) LogLine(log, "CreateSurface pass ok:");
  sh.displayCreated = status == platform::kDisplayReady ? -1 : 0;
  LogLine(log, "vxDDrawINI fin. error status:", status);
  return status;
}

void vxscrHtoSCREEN(ScreenHandler& sh) {
  EngineLog& log = *sh.log;
  const bool verbose = sh.verboseFirstPresent != 0 && log.enabled != 0;
  if (verbose) LogLine(log, "vxscrHtoSCREEN start");
  if (sh.display.windowed == 0) {
    PresentFullScreen(sh, verbose);
  } else {
    PresentWindowed(sh, verbose);
  }
  sh.borderCountdown = sh.borderCountdown < 1 ? 300 : sh.borderCountdown - 1;
  sh.repaintCounter = sh.repaintCounter < 1 ? 400 : sh.repaintCounter - 1;
  if (verbose) {
    LogLine(log, "vxscrHtoSCREEN fin");
    sh.verboseFirstPresent = 0;
  }
}

void vxreleaseDDonly(ScreenHandler& sh) {
  if (sh.display.windowed != 0) return;
  LogLine(*sh.log, "vxreleaseDDonly start");
  platform::Current().CloseDisplay();
  sh.displayCreated = 0;
  LogLine(*sh.log, "vxreleaseDDonly fin");
}

void vxreleaseDDDS(ScreenHandler& sh) {
  LogLine(*sh.log, "vxreleaseDDDS start");
  platform::Backend& p = platform::Current();
  if (sh.display.windowed == 0) {
    p.CloseDisplay();
    sh.displayCreated = 0;
  }
  if (sh.sound->available != 0) ReleaseSound(*sh.sound);
  if (sh.display.windowed == 0) {
    sh.fullClipRect = platform::Rect{0, 0, sh.desktopWidth - 1, sh.desktopHeight - 1};
    p.ClipCursor(&sh.fullClipRect);
  }
  LogLine(*sh.log, "vxreleaseDDDS fin");
}

void vxEngExit(ScreenHandler& sh) {
  LogLine(*sh.log, "vxEngExit");
  vxreleaseDDDS(sh);
}

void SetBrightness(ScreenHandler& sh, int32_t offset, int32_t contrast) {
  uint8_t* table = sh.brightnessTable;
  if (table == nullptr) return;
  FillBrightness(table, offset, contrast);
  sh.brightnessActive = (offset == 0 && contrast == 256) ? 0 : -1;
}

void ApplyBrightnessInPlace(ScreenHandler& sh) {
  if (sh.gfx->backBuffer == nullptr || sh.brightnessTable == nullptr) return;
  present::MapInPlace(sh.gfx->backBuffer, static_cast<size_t>(kWidth) * kHeight, sh.brightnessTable);
}

void SetBorderPicture(ScreenHandler& sh, int32_t slot) {
  sh.borderPicture = slot;
  sh.borderCountdown = 0;
}
