#pragma once
// The hot loops of the effects. Each kernel has a plain version, written
// for reading, and the version the effects call, which may take a vector
// path as far as the kernel level (platform/cpu_features.h) allows; the two
// give bit-identical results (the tests compare them).
#include <cstdint>

#include "effects/effects_system.h"

namespace fx_kernels {

// Disc tints: every pixel of the run gains the packed value (carries run into
// the next byte), or each colour byte its amount clamped to 0 .. 255.
void AddPacked(uint32_t* line, int32_t count, uint32_t packed);
void AddPackedPlain(uint32_t* line, int32_t count, uint32_t packed);
void AddClamped(uint32_t* line, int32_t count, int32_t blue, int32_t green, int32_t red);
void AddClampedPlain(uint32_t* line, int32_t count, int32_t blue, int32_t green, int32_t red);
// A whole disc's rows at once: each run of pixels gets the packed value
// (fast) or the clamped amounts, as AddPacked or AddClamped would.
// (No member initialisers: the lights fill a stack array of these per disc.)
struct PixelRun {
  uint32_t* start;
  int32_t count;
};
struct Tint {
  bool fast = false;
  uint32_t packed = 0;
  int32_t blue = 0;
  int32_t green = 0;
  int32_t red = 0;
};
void TintRuns(const PixelRun* runs, int32_t n, const Tint& tint);
void TintRunsPlain(const PixelRun* runs, int32_t n, const Tint& tint);

// One row of a radial light of radius r centred at column x, dy rows from
// its centre: each pixel of columns left .. right gains, per colour byte,
// amount · (r - d) >> 5 with d = sqrt-table[dx² + dy²], clamped to
// 0 .. 255. Amounts are at most ±65536.
struct RadialRow {
  const uint8_t* sqrtTable = nullptr;
  int32_t x = 0;
  int32_t dy = 0;
  int32_t radius = 0;
  int32_t amount[3] = {};  // blue, green, red
};
void RadialLightRow(const RadialRow& light, uint32_t* line, int32_t left, int32_t right);
void RadialLightRowPlain(const RadialRow& light, uint32_t* line, int32_t left, int32_t right);

// One row of a textured light of radius r centred dx = left - x, ..., with
// the light map's row for this dy (or none): each pixel gains, per colour
// byte, amount · s >> 5 with s = falloff[r - d] raised by s · m / 128,
// clamped to 0 .. 255. `sqrtTable` and `falloff` are the effects' tables;
// amounts are at most ±65536.
struct TexturedRow {
  const uint8_t* sqrtTable = nullptr;
  const int32_t* falloff = nullptr;
  const uint8_t* map = nullptr;  // the map byte for dx is map[dx]
  int32_t x = 0;
  int32_t dy = 0;
  int32_t radius = 0;
  int32_t amount[3] = {};  // blue, green, red
};
void TexturedLightRow(const TexturedRow& light, uint32_t* line, int32_t left, int32_t right);
void TexturedLightRowPlain(const TexturedRow& light, uint32_t* line, int32_t left, int32_t right);

// An elliptical light: red reaches the full radius, green 7/8 and blue 3/4
// of it; vertical distances count 3/2. MakeEllipse prepares one for amounts
// of at most ±32767; EllipseRow lights columns left .. right of the row dy
// rows from its centre.
struct EllipseLight {
  int32_t x = 0;
  int32_t mode = 0;
  int32_t radius[3] = {};  // blue, green, red
  int32_t limit[3] = {};   // 4 · radius²: the channel's rim
  int32_t scale[3] = {};   // 2^24 / limit
  int32_t amount[3] = {};
};
EllipseLight MakeEllipse(int32_t x, int32_t radius, int32_t red, int32_t green, int32_t blue, int32_t mode);
void EllipseRow(const EllipseLight& light, uint32_t* line, int32_t dy, int32_t left, int32_t right);
void EllipseRowPlain(const EllipseLight& light, uint32_t* line, int32_t dy, int32_t left, int32_t right);
// Rows dy and -dy of a light get the same amounts, as do the columns on
// either side of its centre: lights columns left .. right of the row
// `above` (dy rows above the centre) and of the row `below` (dy rows below
// it); either may be null, and with dy = 0 only `below` is given.
void EllipseRowPair(const EllipseLight& light, uint32_t* above, uint32_t* below, int32_t dy, int32_t left,
                    int32_t right);
void EllipseRowPairPlain(const EllipseLight& light, uint32_t* above, uint32_t* below, int32_t dy,
                         int32_t left, int32_t right);

// Fog composition. Mode 1 adds, for every covering layer, the blue, green
// and red sums as blue + (green << 8) + (red << 16) with carries and no
// clamping; since that is linear modulo 2^32, each layer's colour bytes
// are added to the screen pixel as one 32-bit number, layer by layer.
void AddLayerRow32(uint32_t* line, const uint32_t* layer, int32_t count);
void AddLayerRow32Plain(uint32_t* line, const uint32_t* layer, int32_t count);
// Mode 2 first gathers the covering layers' map bytes of one screen row
// into a 16-bit sum per pixel.
void SumLayerRow8(uint16_t* sums, const uint8_t* layer, int32_t count);
void SumLayerRow8Plain(uint16_t* sums, const uint8_t* layer, int32_t count);
// Mode 2: each colour byte gains half the sum, clamped to 255.
void ApplyLayerSums8(uint32_t* line, const uint16_t* sums, int32_t count);
void ApplyLayerSums8Plain(uint32_t* line, const uint16_t* sums, int32_t count);

// One row of a shimmer area: for each column x = left .. right a column
// oscillator (restarted at value 0, speed -100 on every row) steps once,
// the shift is u = (column value · factor) >> 22 with factor =
// amplitude · (row value + 1800), and where |u| > 1 and the brightness of
// the pixel or of the pixels 6 columns either side lies within
// [min, max], the mean of the pixel and its left neighbour is written
// u / 2 columns away (clamped to the row). Reads see the row as it was
// before the pass; `copy` is scratch of the row's width. The caller keeps
// left >= 7 and right <= width - 8.
struct RippleRow {
  int32_t left = 0;
  int32_t right = 0;
  int32_t width = 0;
  int64_t factor = 0;
  int32_t min = 0;
  int32_t max = 0;
};
void Ripple(const RippleRow& row, uint32_t* line, uint32_t* copy);
void RipplePlain(const RippleRow& row, uint32_t* line, uint32_t* copy);

}  // namespace fx_kernels
