#pragma once
// The presenter's pixel work: copying, doubling and shrinking the 800 x 600
// back buffer into a locked display surface, the brightness mapping and the
// margins around the picture. Each pass writes only inside the display area
// it is given; the caller has checked that the surface holds it.
#include <cstddef>
#include <cstdint>

namespace present {

inline constexpr int32_t kWidth = 800;  // the back buffer, in pixels
inline constexpr int32_t kHeight = 600;
inline constexpr int32_t kOne = 8192;  // one target pixel in the shrinking pass
inline constexpr uint32_t kAllChanged = 0x010101ffu;

// A locked surface: `width` x `height` pixels in use, rows `pitch` pixels apart.
struct Surface {
  uint32_t* pixels = nullptr;
  int32_t pitch = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// A picture that tiles the margins, or none for black margins.
struct BorderTile {
  const uint32_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
};

// Maps blue, green and red through `table`; the fourth byte becomes 0.
uint32_t MapPixel(uint32_t pixel, const uint8_t* table);
void MapInPlace(uint32_t* pixels, size_t count, const uint8_t* table);

// Back-buffer rows to surface rows at (x0, y0), through `table` unless it is
// null (then a plain copy that keeps the fourth byte).
void CopyRows(const uint32_t* back, const Surface& s, int32_t x0, int32_t y0, const uint8_t* table);

// Every back-buffer pixel as a 2 x 2 block, the picture's corner at (x0, y0).
void DoubleRows(const uint32_t* back, const Surface& s, int32_t x0, int32_t y0);

// Everything outside the picture rectangle (x0, y0, width, height): black, or
// the border picture tiled from the display's corner, darkened by half.
void PaintMargins(const Surface& s, int32_t x0, int32_t y0, int32_t width, int32_t height,
                  const BorderTile* border);

// The shrinking pass's work rows and column plan (about 70 KB), allocated
// with the presenter's tables and freed with them.
struct ShrinkScratch;
ShrinkScratch* NewShrinkScratch();
void FreeShrinkScratch(ShrinkScratch* scratch);

struct ShrinkTables {
  const int16_t* coverage = nullptr;    // 16405 entries
  const int16_t* reciprocal = nullptr;  // 4105 entries
  ShrinkScratch* scratch = nullptr;
};

// Shrinks the back buffer by area averaging into the surface at (x0, y0),
// xstep / ystep target pixels (in 1/8192) per source pixel. Only stretches
// whose pixels differ from `previous` (checked eight columns ahead, which
// also updates `previous`) are recomputed; the rest of the surface keeps
// what it showed.
void ShrinkRows(const uint32_t* back, uint32_t* previous, const Surface& s, int32_t x0, int32_t y0,
                int32_t xstep, int32_t ystep, const ShrinkTables& tables);

}  // namespace present
