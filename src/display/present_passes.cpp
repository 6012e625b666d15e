#include "display/present_passes.h"

#include <algorithm>
#include <cstring>

namespace present {
namespace {

inline uint32_t* Row(const Surface& s, int32_t y) {
  return s.pixels + static_cast<ptrdiff_t>(y) * static_cast<ptrdiff_t>(s.pitch);
}

}  // namespace

uint32_t MapPixel(uint32_t pixel, const uint8_t* table) {
  return static_cast<uint32_t>(table[pixel & 255u]) | static_cast<uint32_t>(table[(pixel >> 8) & 255u]) << 8 |
         static_cast<uint32_t>(table[(pixel >> 16) & 255u]) << 16;
}

void MapInPlace(uint32_t* pixels, size_t count, const uint8_t* table) {
  for (size_t i = 0; i < count; ++i) pixels[i] = MapPixel(pixels[i], table);
}

void CopyRows(const uint32_t* back, const Surface& s, int32_t x0, int32_t y0, const uint8_t* table) {
  for (int32_t y = 0; y < kHeight; ++y) {
    const uint32_t* src = back + static_cast<ptrdiff_t>(y) * kWidth;
    uint32_t* dst = Row(s, y0 + y) + x0;
    if (table == nullptr) {
      std::memcpy(dst, src, kWidth * sizeof(uint32_t));
    } else {
      for (int32_t x = 0; x < kWidth; ++x) dst[x] = MapPixel(src[x], table);
    }
  }
}

void DoubleRows(const uint32_t* back, const Surface& s, int32_t x0, int32_t y0) {
  for (int32_t y = 0; y < kHeight; ++y) {
    const uint32_t* __restrict src = back + static_cast<ptrdiff_t>(y) * kWidth;
    uint32_t* __restrict upper = Row(s, y0 + 2 * y) + x0;
    uint32_t* lower = upper + s.pitch;
    for (int32_t x = 0; x < kWidth; ++x) {
      upper[2 * x] = src[x];
      upper[2 * x + 1] = src[x];
    }
    std::memcpy(lower, upper, 2 * kWidth * sizeof(uint32_t));
  }
}

void PaintMargins(const Surface& s, int32_t x0, int32_t y0, int32_t width, int32_t height,
                  const BorderTile* border) {
  const int32_t right = x0 + width;
  const int32_t bottom = y0 + height;
  if (border == nullptr) {
    for (int32_t y = 0; y < s.height; ++y) {
      uint32_t* row = Row(s, y);
      if (y < y0 || y >= bottom) {
        std::fill(row, row + s.width, 0u);
      } else {
        std::fill(row, row + std::min(x0, s.width), 0u);
        if (right < s.width) std::fill(row + std::max(right, 0), row + s.width, 0u);
      }
    }
    return;
  }
  // Double size unless the picture covers the whole display; a tile repeats
  // every (side - 1) x scale + 1 pixels.
  const int32_t scale = (border->width <= s.width - 1 || border->height <= s.height - 1) ? 2 : 1;
  const int32_t periodX = (border->width - 1) * scale + 1;
  const int32_t periodY = (border->height - 1) * scale + 1;
  auto paint = [&](uint32_t* row, const uint32_t* tile, int32_t from, int32_t to) {
    int32_t tx = from % periodX;
    for (int32_t x = from; x < to; ++x) {
      row[x] = (tile[(tx * 2) >> scale] >> 1) & 0x007F7F7Fu;
      if (++tx == periodX) tx = 0;
    }
  };
  for (int32_t y = 0; y < s.height; ++y) {
    const int32_t ty = y % periodY;
    const uint32_t* tile = border->pixels + static_cast<ptrdiff_t>((ty * 2) >> scale) * border->width;
    uint32_t* row = Row(s, y);
    if (y < y0 || y >= bottom) {
      paint(row, tile, 0, s.width);
    } else {
      paint(row, tile, 0, std::min(x0, s.width));
      paint(row, tile, std::max(right, 0), s.width);
    }
  }
}

}  // namespace present
