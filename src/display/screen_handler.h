#pragma once
// The back buffer and the presenter that copies it to the screen: a plain
// copy, a 2x enlargement or an area-averaging shrink into the full-screen
// surface, or the window copy, with the fades' brightness table on the way.
#include <cstdint>

#include "config/configuration.h"
#include "platform/platform.h"

struct GfxContext;
struct SoundContext;
struct EngineLog;
namespace present {
struct ShrinkScratch;
}

struct ScreenHandler {
  // What the presenter works with, wired by the engine: the graphics context
  // holds the back buffer, its size and the border picture's slot; the
  // sound device is released with the display.
  GfxContext* gfx = nullptr;
  SoundContext* sound = nullptr;
  EngineLog* log = nullptr;

  DisplaySettings display;     // the display size and the windowed flag
  int32_t displayCreated = 0;  // the full-screen display and its surface exist
  int32_t desktopWidth = 0;
  int32_t desktopHeight = 0;
  platform::Rect fullClipRect;  // the cursor's rectangle once the display is released
  // Presenter flags.
  int32_t verboseFirstPresent = 0;
  int32_t brightnessActive = 0;
  int32_t borderPicture = -1;
  int32_t borderCountdown = 0;
  int32_t repaintCounter = 0;

  uint32_t* backBufferMemory = nullptr;             // the block behind gfx->backBuffer, owned here
  uint32_t* previousFrame = nullptr;                // the back buffer as the shrinking pass last saw it
  int16_t* coverage = nullptr;                      // 16405 entries
  int16_t* reciprocal = nullptr;                    // 4105 entries
  int32_t pitch = 0;                                // pixels per row of the locked surface
  uint8_t* brightnessTable = nullptr;               // 257 used, 270 allocated
  present::ShrinkScratch* shrinkScratch = nullptr;  // the shrinking pass's work rows
};

// Allocates the back buffer (into gfx->backBuffer, for the logical screen
// size set there) and the presenter's tables; identity brightness, black
// margins, margins and picture repainted at the first present.
void vxscrHini(ScreenHandler& sh);
// Full screen: opens the display; 0 = ready, 1..4 = the step that failed.
// Returns 0 at once in a window.
int32_t vxDDrawINI(ScreenHandler& sh);
// Presents the back buffer.
void vxscrHtoSCREEN(ScreenHandler& sh);
// Full screen: drops the display (on deactivation).
void vxreleaseDDonly(ScreenHandler& sh);
// Drops the display and the sound device and frees the cursor.
void vxreleaseDDDS(ScreenHandler& sh);
void vxEngExit(ScreenHandler& sh);
// Frees what vxscrHini allocated (the end of the run, and the reset of tests).
void ReleaseScreenBuffers(ScreenHandler& sh);
// Brightness table for i = 0..256: ((i - 127) x contrast >> 8) + 127 + offset,
// clamped to 0..255.
void SetBrightness(ScreenHandler& sh, int32_t offset, int32_t contrast);
// Maps every back-buffer pixel through the brightness table.
void ApplyBrightnessInPlace(ScreenHandler& sh);
// Picture slot shown in the margins (-1 = black); repainted at the next present.
void SetBorderPicture(ScreenHandler& sh, int32_t slot);
