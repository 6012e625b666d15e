#include "platform/picture_layout.h"

#include <algorithm>

namespace platform {
namespace {

// The largest rectangle of the picture's shape inside the drawable,
// centred. Products in 64 bits: window sizes are the platform's to give.
void Fit(int32_t outWidth, int32_t outHeight, int32_t picWidth, int32_t picHeight, PictureLayout& l) {
  if (int64_t{outWidth} * picHeight <= int64_t{outHeight} * picWidth) {
    l.width = outWidth;
    l.height = static_cast<int32_t>(int64_t{outWidth} * picHeight / picWidth);
  } else {
    l.height = outHeight;
    l.width = static_cast<int32_t>(int64_t{outHeight} * picWidth / picHeight);
  }
}

void Centre(int32_t outWidth, int32_t outHeight, PictureLayout& l) {
  l.x = (outWidth - l.width) / 2;
  l.y = (outHeight - l.height) / 2;
}

}  // namespace

ScaleMode ScaleModeFromValue(int32_t value) {
  switch (value) {
    case 1:
      return ScaleMode::FitLinear;
    case 2:
      return ScaleMode::Stretch;
    case 3:
      return ScaleMode::Whole;
    default:
      return ScaleMode::Sharp;
  }
}

PictureLayout LayOutPicture(int32_t outWidth, int32_t outHeight, int32_t picWidth, int32_t picHeight,
                            ScaleMode mode) {
  PictureLayout l;
  if (outWidth <= 0 || outHeight <= 0 || picWidth <= 0 || picHeight <= 0) return l;
  const int32_t whole = std::min(outWidth / picWidth, outHeight / picHeight);
  switch (mode) {
    case ScaleMode::Stretch:
      l.factor = 1;
      l.width = outWidth;
      l.height = outHeight;
      break;
    case ScaleMode::Whole:
      if (whole >= 1) {
        l.factor = whole;
        l.width = whole * picWidth;
        l.height = whole * picHeight;
        break;
      }
      [[fallthrough]];  // smaller than the picture: no whole factor fits
    case ScaleMode::FitLinear:
      l.factor = 1;
      Fit(outWidth, outHeight, picWidth, picHeight, l);
      break;
    case ScaleMode::Sharp:
      l.factor = whole;
      Fit(outWidth, outHeight, picWidth, picHeight, l);
      break;
  }
  Centre(outWidth, outHeight, l);
  const int32_t stageWidth = std::max(l.factor, 1) * picWidth;
  const int32_t stageHeight = std::max(l.factor, 1) * picHeight;
  l.linear = l.width != stageWidth || l.height != stageHeight;
  return l;
}

void DrawableToPicture(const PictureLayout& l, int32_t picWidth, int32_t picHeight, int32_t x, int32_t y,
                       int32_t& px, int32_t& py) {
  px = py = 0;
  if (l.width <= 0 || l.height <= 0) return;
  // The picture pixel under the centre of the drawable pixel.
  const int64_t fx = (2 * (int64_t{x} - l.x) + 1) * picWidth / (2 * int64_t{l.width});
  const int64_t fy = (2 * (int64_t{y} - l.y) + 1) * picHeight / (2 * int64_t{l.height});
  px = static_cast<int32_t>(std::clamp<int64_t>(fx, 0, picWidth - 1));
  py = static_cast<int32_t>(std::clamp<int64_t>(fy, 0, picHeight - 1));
}

void PictureToDrawable(const PictureLayout& l, int32_t picWidth, int32_t picHeight, int32_t px, int32_t py,
                       int32_t& x, int32_t& y) {
  x = l.x;
  y = l.y;
  if (picWidth <= 0 || picHeight <= 0) return;
  x = static_cast<int32_t>(l.x + (2 * int64_t{px} + 1) * l.width / (2 * int64_t{picWidth}));
  y = static_cast<int32_t>(l.y + (2 * int64_t{py} + 1) * l.height / (2 * int64_t{picHeight}));
}

}  // namespace platform
