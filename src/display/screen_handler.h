#pragma once
// The back buffer and the presenter that copies it to the screen: a plain
// copy, a 2x enlargement or an area-averaging shrink into the full-screen
// surface, or the window copy, with the fades' brightness table on the way.
#include <cstdint>

struct ScreenHandler {
  uint32_t* previousFrame = nullptr;   // the back buffer as the shrinking pass last saw it
  int16_t* coverage = nullptr;         // 16405 entries
  int16_t* reciprocal = nullptr;       // 4105 entries
  int32_t pitch = 0;                   // pixels per row of the locked surface
  uint8_t* brightnessTable = nullptr;  // 257 used, 270 allocated
};

// Allocates the back buffer and the presenter's tables; identity brightness,
// black margins, margins and picture repainted at the first present.
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
void vxEngExit();
// Brightness table for i = 0..256: ((i - 127) x contrast >> 8) + 127 + offset,
// clamped to 0..255.
void SetBrightness(int32_t offset, int32_t contrast);
// Maps every back-buffer pixel through the brightness table.
void ApplyBrightnessInPlace();
// Picture slot shown in the margins (-1 = black); repainted at the next present.
void SetBorderPicture(int32_t slot);
