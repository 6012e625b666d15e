#pragma once
// The back buffer and the presenter that copies it to the screen.
#include <cstdint>

struct ScreenHandler {
  uint32_t* previousFrame = nullptr;
  int16_t* coverage = nullptr;
  int16_t* reciprocal = nullptr;
  int32_t pitch = 0;
  uint8_t* brightnessTable = nullptr;
};

// Allocates the back buffer and the presenter's tables.
void vxscrHini(ScreenHandler& sh);
// Full screen: opens the display; 0 = ready, 1..4 = the step that failed.
int32_t vxDDrawINI(ScreenHandler& sh);
// Presents the back buffer.
void vxscrHtoSCREEN(ScreenHandler& sh);
void vxreleaseDDonly(ScreenHandler& sh);
void vxreleaseDDDS(ScreenHandler& sh);
void vxEngExit();
void SetBrightness(int32_t offset, int32_t contrast);
void SetBorderPicture(int32_t slot);
