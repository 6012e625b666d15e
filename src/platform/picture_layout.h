#pragma once
// Where the 800 x 600 picture lands in a window of any size: the scaling
// modes of the window copy and the mapping of pointer positions back onto
// the picture. Sizes are in drawable pixels (on a high-density screen the
// window's points times its pixel ratio).
#include <cstdint>

namespace platform {

enum class ScaleMode : int32_t {
  Sharp = 0,      // the largest whole factor that fits, then linear to fill, letterboxed
  FitLinear = 1,  // linear to the largest size that fits, letterboxed
  Stretch = 2,    // linear to the whole window, the shape not kept
  Whole = 3,      // the largest whole factor that fits, nothing more
};

struct PictureLayout {
  // The whole factor of the nearest-neighbour stage; 0 when the window is
  // smaller than the picture (then only the linear stage scales).
  int32_t factor = 0;
  bool linear = false;  // a linear stage brings the picture to its final size
  // The picture's rectangle in the drawable; the rest is black bars.
  int32_t x = 0, y = 0, width = 0, height = 0;
};

// The layout of a picture of picWidth x picHeight in a drawable of
// outWidth x outHeight. An empty drawable gives an empty rectangle.
PictureLayout LayOutPicture(int32_t outWidth, int32_t outHeight, int32_t picWidth, int32_t picHeight,
                            ScaleMode mode);

// A drawable pixel to the picture pixel under it, clamped into the picture
// (a pointer over the bars is at the nearest edge).
void DrawableToPicture(const PictureLayout& layout, int32_t picWidth, int32_t picHeight, int32_t x, int32_t y,
                       int32_t& px, int32_t& py);
// A picture pixel to the drawable pixel at its centre.
void PictureToDrawable(const PictureLayout& layout, int32_t picWidth, int32_t picHeight, int32_t px,
                       int32_t py, int32_t& x, int32_t& y);

// A record value (0..3) as a mode; anything else is the default, Sharp.
ScaleMode ScaleModeFromValue(int32_t value);

}  // namespace platform
