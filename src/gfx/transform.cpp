// The transformed blit: DrawRotated, DrawRotatedFrame and DrawToCorners, with
// the direct stretch of upright rectangles, and ScalePicture built on them.
//
// The general path maps the frame onto a quadrilateral by walking lines from
// the left edge (corner 1 to 3) to the right edge (corner 2 to 4), one source
// row per line. With supersampling the walks draw into the work buffer at
// twice the resolution and the result is averaged back onto the screen. A
// marker bit (the lowest alpha bit) on every destination pixel of the area
// lets each one be blended only once, however many walks cross it.
//
// A supersampled blit copies into the work buffer only the blocks its walks
// reach, each walk's before it starts, in bands of block rows; a block never
// written averages back to its screen pixel with the marker bit set, which
// the other pixels of the area get directly.
#include <algorithm>
#include <cstdlib>

#include "gfx/draw_internal.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "platform/cpu_features.h"

using draw_detail::FrameRule;
using draw_detail::FrameView;
using draw_detail::kMarkerBit;

namespace {

enum class Ink { kCopy, kMix, kAdd };

// Corners 1 to 4: top-left, top-right, bottom-left, bottom-right of the source.
struct Quad {
  int64_t x[4];
  int64_t y[4];
};

// How far a band's copies grow past the block a walk reaches: a copy costs
// a few instructions a block, a growth a few dozen a row.
constexpr int32_t kBlockGrowth = 16;

// Block rows share their copies in bands of this many: a walk looks at
// each band it crosses once, and a band copies what any of its rows needs.
constexpr int32_t kBandRows = 8;

// The work buffer's 2 x 2 blocks as the walks reach them: block row j (the
// work rows 2j and 2j + 1, screen row `screen` + j · pitch) holds copies
// of its screen pixels in block columns lo[b] .. hi[b] of its band
// b = j / kBandRows (none while lo[b] > hi[b]).
struct Blocks {
  int32_t* lo;
  int32_t* hi;
  const uint32_t* screen;
  int64_t pitch;
  uint32_t* work;
  int64_t stride;  // of the work rows
  int32_t columns;
  int32_t rows;  // block rows of the area

  // A band grows by kBlockGrowth blocks at least, so a walk crossing it
  // does not come back for each block.
  __attribute__((noinline)) void Extend(int32_t bx, int32_t band) {
    int32_t& l = lo[band];
    int32_t& h = hi[band];
    int32_t from = 0;
    int32_t to = 0;
    if (l > h) {
      from = std::max(bx - kBlockGrowth / 2, 0);
      to = std::min(bx + kBlockGrowth / 2, columns - 1);
      l = from;
      h = to;
    } else if (bx < l) {
      from = std::max(bx - kBlockGrowth, 0);
      to = l - 1;
      l = from;
    } else {
      from = h + 1;
      to = std::min(bx + kBlockGrowth, columns - 1);
      h = to;
    }
    for (int32_t by = band * kBandRows; by < std::min(rows, (band + 1) * kBandRows); ++by) {
      uint32_t* top = work + 2 * by * stride + 2 * from;
      draw_detail::SpreadToBlocks(screen + by * pitch + from, top, top + stride, to - from + 1);
    }
  }

  // Makes a band hold copies of block columns a .. b (in either order).
  void Cover(int64_t a, int64_t b, int32_t band) {
    const int32_t low = static_cast<int32_t>(std::min(a, b));
    const int32_t high = static_cast<int32_t>(std::max(a, b));
    if (low >= lo[band] && high <= hi[band]) return;
    if (low < lo[band] || low > hi[band]) Extend(low, band);
    if (high > hi[band]) Extend(high, band);
  }
};

// Block rows the fast blit keeps extents for on its stack; taller areas
// (screens above this height) copy the whole area first.
constexpr int64_t kBlockRows = 1024;

// A rectangle of destination pixels addressed in the walk's coordinates:
// pixels[0] is the point (left, top). With blocks, the rectangle is the
// work buffer filled as the walks reach it.
struct Canvas {
  uint32_t* pixels;
  int64_t left;
  int64_t top;
  int64_t width;
  int64_t height;
  int64_t stride;
  Blocks* blocks;
};

// No real picture needs more walking inside the screen than this; only a
// twisted or degenerate quadrilateral (edges folded over each other) does.
constexpr int64_t kMaxWalkSteps = int64_t{1} << 25;

constexpr int64_t kUnit18 = int64_t{1} << 18;
constexpr int64_t kUnit20 = int64_t{1} << 20;

int64_t SignOf(int64_t v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

int64_t CeilDiv(int64_t a, int64_t b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

Ink InkOf(const GfxContext& gfx) {
  if (gfx.opacity == kPlainCopy) return Ink::kCopy;
  return gfx.additive != 0 ? Ink::kAdd : Ink::kMix;
}

// One step of a walk onto a pixel still carrying the marker bit.
template <Ink ink>
inline void Put(uint32_t& d, uint32_t s, uint32_t opacity) {
  if constexpr (ink == Ink::kCopy) {
    d = s;
  } else {
    if ((d & kMarkerBit) == 0) return;
    if constexpr (ink == Ink::kMix) {
      const uint32_t a = std::min(opacity, s >> 24);
      if (a == 0) return;
      d = a == 255 ? s : (draw_detail::MixColour(s, d, a) | (a & 0xfeu) << 24);
    } else {
      d = draw_detail::AddBytes(s, d) & ~kMarkerBit;
    }
  }
}

// The step counts of one line's walk: after t steps it has made
// k(t) = ceil((t · v - v - e0) / (h + v)) horizontal moves, because the error
// stays within [-v, h).
struct Walk {
  int64_t sx, sy;  // start point
  int64_t hx, vy;  // horizontal and vertical direction
  int64_t h, v, e0;

  int64_t Horizontal(int64_t t) const { return CeilDiv(t * v - v - e0, h + v); }
  int64_t XAt(int64_t t) const { return sx + hx * Horizontal(t); }
  int64_t YAt(int64_t t) const { return sy + vy * (t - Horizontal(t)); }
};

// The first t in [lo, hi + 1] with g(t) >= bound, g non-decreasing.
template <typename G>
int64_t FirstAtLeast(int64_t lo, int64_t hi, int64_t bound, G g) {
  int64_t a = lo;
  int64_t b = hi + 1;
  while (a < b) {
    const int64_t mid = a + (b - a) / 2;
    if (g(mid) >= bound) {
      b = mid;
    } else {
      a = mid + 1;
    }
  }
  return a;
}

// Narrows [t0, t1] to the steps whose coordinate lies in [low, high]; the
// coordinate moves monotonically in direction dir (or not at all).
template <typename F>
void ClipSteps(int64_t& t0, int64_t& t1, int64_t dir, int64_t low, int64_t high, F coordinate) {
  if (t0 > t1) return;
  const int64_t d = dir < 0 ? -1 : 1;
  auto g = [&](int64_t t) { return d * coordinate(t); };
  const int64_t gLow = d > 0 ? low : -high;
  const int64_t gHigh = d > 0 ? high : -low;
  const int64_t first = FirstAtLeast(t0, t1, gLow, g);
  const int64_t last = FirstAtLeast(t0, t1, gHigh + 1, g) - 1;
  t0 = std::max(t0, first);
  t1 = std::min(t1, last);
}

// Copies in every block that the steps t0 .. t1 of a walk reach, before the
// walk, so that the walk itself checks nothing. Counted from step t0 (its
// error e, column and row), a step that has made j sideways and m row moves
// has the error e + j·h - m·v, always within [-v, h); the step that leaves
// row m does so from an error of 0 or more, so it has j = f(m) =
// ceil((m·v - e) / h), and rows m0 .. m1 hold exactly the steps with j
// from f(m0 - 1) to f(m1). Each band is looked at once, for the first and
// last column the run has in it. Blocks of transparent source pixels are
// copied too: a copied block that nothing writes averages back to its own
// pixel, marked, as untouched blocks are left.
void CopyRunBlocks(Blocks& blocks, const Walk& w, int64_t t0, int64_t t1, int64_t k0, int64_t e,
                   int64_t column, int64_t row) {
  constexpr int64_t kBandHeight = 2 * kBandRows;  // in work rows
  const int64_t sideways = w.Horizontal(t1) - k0;
  const int64_t moves = t1 - t0 - sideways;  // row moves
  const int64_t lastColumn = column + w.hx * sideways;
  int32_t band = static_cast<int32_t>(row / kBandHeight);
  // A line without rise "moves" a row without changing it: all one row.
  if (w.vy == 0) {
    blocks.Cover(column >> 1, lastColumn >> 1, band);
    return;
  }
  // m: the last row of the current band, in row moves from t0 (the first
  // band may hold only the run's first rows). The column of f(m) is kept
  // with the remainder r = f(m)·h - (m·v - e), in [0, h), and stepped a
  // band at a time without dividing.
  int64_t m = w.vy > 0 ? kBandHeight - 1 - row % kBandHeight : row % kBandHeight;
  const int64_t f = CeilDiv(m * w.v - e, w.h);
  int64_t r = f * w.h - (m * w.v - e);
  int64_t to = column + w.hx * f;
  const int64_t stepColumns = w.hx * (kBandHeight * w.v / w.h);
  const int64_t stepR = kBandHeight * w.v % w.h;
  int64_t from = column;
  for (; m < moves; m += kBandHeight) {
    blocks.Cover(from >> 1, to >> 1, band);
    from = to;
    band += static_cast<int32_t>(w.vy);
    to += stepColumns;
    r -= stepR;
    const int64_t carry = r >> 63;  // -1 where r went below 0
    r += w.h & carry;
    to += w.hx & carry;
  }
  blocks.Cover(from >> 1, lastColumn >> 1, band);
}

// Walks one line from (sx, sy) to (ex, ey) in X + Y - 1 steps, the source
// column advancing by fw · 2^20 / (X + Y) per step; the first and last steps
// that the row's transparent margins cover are not drawn. fullWalk visits
// every step and tests each against the canvas; otherwise only the run of
// steps inside the canvas is walked (the path is monotone, so it is one run).
template <Ink ink>
void WalkLine(const Canvas& cv, const FrameView& f, const uint32_t* srcRow, int64_t sx, int64_t sy,
              int64_t ex, int64_t ey, int64_t leftMargin, int64_t rightMargin, uint32_t opacity,
              bool fullWalk) {
  const int64_t bigX = std::abs(ex - sx);
  const int64_t bigY = std::abs(ey - sy);
  const int64_t steps = bigX + bigY - 1;
  if (steps < 1) return;
  Walk w{sx, sy, SignOf(ex - sx), SignOf(ey - sy), 0, 0, 0};
  if (bigY < bigX) {
    w.h = kUnit18;
    w.v = bigY != 0 ? bigX * kUnit18 / bigY : int64_t{1} << 30;
  } else {
    w.v = kUnit18;
    w.h = bigX != 0 ? bigY * kUnit18 / bigX : int64_t{1} << 30;
  }
  w.e0 = (w.h - w.v) / 2;
  const int64_t c = int64_t{f.width} * kUnit20 / (bigX + bigY);
  int64_t t0 = leftMargin * kUnit20 / (c + 1);
  int64_t t1 = steps - 1 - rightMargin * kUnit20 / (c + 1);
  // Columns past the picture's last one (a frame one column short) are not
  // part of the source; a frame with none (the second of a one-pixel strip)
  // gives nothing to draw.
  if (f.columnLimit <= 0) return;
  if (c > 0) t1 = std::min(t1, ((int64_t{f.columnLimit} << 20) - 1) / c);
  if (t0 > t1) return;

  if (fullWalk) {
    int64_t x = sx;
    int64_t y = sy;
    int64_t e = w.e0;
    int64_t u = 0;
    for (int64_t t = 0; t <= t1; ++t) {
      if (t >= t0 && x >= cv.left && y >= cv.top && x < cv.left + cv.width && y < cv.top + cv.height) {
        Put<ink>(cv.pixels[(y - cv.top) * cv.stride + (x - cv.left)], srcRow[u >> 20], opacity);
      }
      if (e < 0) {
        x += w.hx;
        e += w.h;
      } else {
        y += w.vy;
        e -= w.v;
      }
      u += c;
    }
    return;
  }

  // The path stays within the box of its end points; only a line leaving the
  // canvas needs its steps narrowed (by binary searches, which divide).
  const bool inside = std::min(sx, ex) >= cv.left && std::max(sx, ex) < cv.left + cv.width &&
                      std::min(sy, ey) >= cv.top && std::max(sy, ey) < cv.top + cv.height;
  if (!inside) {
    ClipSteps(t0, t1, w.hx, cv.left, cv.left + cv.width - 1, [&](int64_t t) { return w.XAt(t); });
    ClipSteps(t0, t1, w.vy, cv.top, cv.top + cv.height - 1, [&](int64_t t) { return w.YAt(t); });
    if (t0 > t1) return;
  }
  // Start at the run's first step, its state worked out in closed form.
  const int64_t k = w.Horizontal(t0);
  int64_t e = w.e0 + k * (w.h + w.v) - t0 * w.v;
  const int64_t column = w.sx + w.hx * k - cv.left;
  const int64_t row = w.sy + w.vy * (t0 - k) - cv.top;
  int64_t index = row * cv.stride + column;
  int64_t u = t0 * c;
  const int64_t verticalStep = w.vy * cv.stride;
  if (cv.blocks != nullptr) CopyRunBlocks(*cv.blocks, w, t0, t1, k, e, column, row);
  if (e + (t1 - t0 - 1) * w.h < 0) {
    // Every move of the run is sideways (the rows of an upright area, as
    // the weapon poses are halved).
    uint32_t* d = cv.pixels + index;
    for (int64_t t = t0; t <= t1; ++t, d += w.hx, u += c) Put<ink>(*d, srcRow[u >> 20], opacity);
    return;
  }
  // A plain branch: the move pattern repeats along a line, which the
  // processor predicts better than any branch-free form computes it.
  for (int64_t t = t0; t <= t1; ++t) {
    Put<ink>(cv.pixels[index], srcRow[u >> 20], opacity);
    if (e < 0) {
      index += w.hx;
      e += w.h;
    } else {
      index += verticalStep;
      e -= w.v;
    }
    u += c;
  }
}

template <Ink ink>
void WalkLines(const GfxContext& gfx, const Canvas& cv, const FrameView& f, const Quad& q, int64_t n,
               bool fullWalk) {
  const ImageSlot& s = *f.slot;
  const int32_t* leftSpan = ink == Ink::kAdd ? s.opaqueLeft : s.visibleLeft;
  const int32_t* rightSpan = ink == Ink::kAdd ? s.opaqueRight : s.visibleRight;
  const uint32_t opacity = draw_detail::BlendOpacity(gfx);
  const int64_t one19 = int64_t{1} << 19;
  const int64_t stepLeftX = (q.x[2] - q.x[0]) * one19 / n;
  const int64_t stepLeftY = (q.y[2] - q.y[0]) * one19 / n;
  const int64_t stepRightX = (q.x[3] - q.x[1]) * one19 / n;
  const int64_t stepRightY = (q.y[3] - q.y[1]) * one19 / n;
  const int64_t stepRow = int64_t{f.height} * 65536 / n;
  for (int64_t l = 0; l <= n - 2; ++l) {
    const int64_t sx = q.x[0] + ((stepLeftX * l) >> 19);
    const int64_t sy = q.y[0] + ((stepLeftY * l) >> 19);
    const int64_t ex = q.x[1] + ((stepRightX * l) >> 19);
    const int64_t ey = q.y[1] + ((stepRightY * l) >> 19);
    const int32_t row = static_cast<int32_t>((stepRow * l) >> 16);
    const int64_t left = ink == Ink::kCopy ? 0 : draw_detail::SpanAt(leftSpan, row);
    const int64_t right = ink == Ink::kCopy ? 0 : draw_detail::SpanAt(rightSpan, row);
    const uint32_t* srcRow = s.pixels + int64_t{row} * s.width + f.offset;
    WalkLine<ink>(cv, f, srcRow, sx, sy, ex, ey, left, right, opacity, fullWalk);
  }
}

// Sets the marker bit of count pixels.
void MarkPixels(uint32_t* pixels, int64_t count) {
  for (int64_t i = 0; i < count; ++i) pixels[i] |= kMarkerBit;
}

// The general path. q is in double-resolution coordinates when supersampling
// (a point q of them lies on the screen at (q + m) / 2), else in screen
// coordinates.
void MapOntoQuad(GfxContext& gfx, const FrameView& f, const Quad& q, int64_t mx, int64_t my, bool supersample,
                 bool fullWalk) {
  if (gfx.backBuffer == nullptr) return;
  const int64_t bx1 = std::min({q.x[0], q.x[1], q.x[2], q.x[3]});
  const int64_t bx2 = std::max({q.x[0], q.x[1], q.x[2], q.x[3]});
  const int64_t by1 = std::min({q.y[0], q.y[1], q.y[2], q.y[3]});
  const int64_t by2 = std::max({q.y[0], q.y[1], q.y[2], q.y[3]});
  const int64_t boxW = bx2 - bx1 + 1;
  const int64_t boxH = by2 - by1 + 1;
  if (boxW >= kWorkAreaLimit || boxH >= kWorkAreaLimit || boxW * boxH >= kWorkAreaLimit) return;

  int64_t ax1 = bx1, ax2 = bx2, ay1 = by1, ay2 = by2;
  if (supersample) {
    ax1 = (bx1 + mx) >> 1;
    ax2 = (bx2 + mx) >> 1;
    ay1 = (by1 + my) >> 1;
    ay2 = (by2 + my) >> 1;
  }
  // Only the part of the area on the screen can show a change, so only that
  // part is prepared and walked.
  const int64_t sw = gfx.screenWidth;
  const int64_t cx1 = std::max<int64_t>(ax1, 0);
  const int64_t cx2 = std::min<int64_t>(ax2, sw - 1);
  const int64_t cy1 = std::max<int64_t>(ay1, 0);
  const int64_t cy2 = std::min<int64_t>(ay2, int64_t{gfx.screenHeight} - 1);
  if (cx1 > cx2 || cy1 > cy2) return;

  Canvas cv{};
  if (supersample) {
    cv = Canvas{gfx.workBuffer.get(),
                2 * cx1 - mx,
                2 * cy1 - my,
                2 * (cx2 - cx1 + 1),
                2 * (cy2 - cy1 + 1),
                0,
                nullptr};
    cv.stride = cv.width;
    if (cv.pixels == nullptr || cv.width * cv.height > kWorkBufferPixels) return;
  } else {
    cv = Canvas{gfx.backBuffer + cy1 * sw + cx1, cx1, cy1, cx2 - cx1 + 1, cy2 - cy1 + 1, sw, nullptr};
  }

  const auto extent = [](int64_t dx, int64_t dy) { return std::max(std::abs(dx), std::abs(dy)); };
  const int64_t n = std::max<int64_t>(
      {extent(q.x[2] - q.x[0], q.y[2] - q.y[0]), extent(q.x[3] - q.x[1], q.y[3] - q.y[1]), 1});
  // A bound on the steps each line takes inside the canvas: its own length
  // (the lines lie between the top and bottom edges, give or take the
  // rounding of their end points) or the canvas's width plus height.
  const int64_t longest = std::max(std::abs(q.x[1] - q.x[0]) + std::abs(q.y[1] - q.y[0]),
                                   std::abs(q.x[3] - q.x[2]) + std::abs(q.y[3] - q.y[2])) +
                          40;
  if ((n - 1) * std::min(longest, cv.width + cv.height) > kMaxWalkSteps) return;

  // The full walk copies the whole area into the work buffer first; the
  // others spread a band of rows only when the walk first reaches it.
  const int64_t blockRows = cy2 - cy1 + 1;
  const int32_t blockColumns = static_cast<int32_t>(cx2 - cx1 + 1);
  const int64_t bands = (blockRows + kBandRows - 1) / kBandRows;
  int32_t reachedLo[kBlockRows / kBandRows];
  int32_t reachedHi[kBlockRows / kBandRows];
  Blocks blocks{reachedLo, reachedHi,    gfx.backBuffer + cy1 * sw + cx1, sw, cv.pixels,
                cv.stride, blockColumns, static_cast<int32_t>(blockRows)};
  if (supersample && !fullWalk && blockRows <= kBlockRows) {
    std::fill_n(reachedLo, bands, 0);
    std::fill_n(reachedHi, bands, -1);
    cv.blocks = &blocks;
  } else if (supersample) {
    for (int64_t y = cy1; y <= cy2; ++y) {
      uint32_t* top = cv.pixels + 2 * (y - cy1) * cv.stride;
      draw_detail::SpreadToBlocks(gfx.backBuffer + y * sw + cx1, top, top + cv.stride, blockColumns);
    }
  } else {
    for (int64_t y = 0; y < cv.height; ++y) MarkPixels(cv.pixels + y * cv.stride, cv.width);
  }

  switch (InkOf(gfx)) {
    case Ink::kCopy:
      WalkLines<Ink::kCopy>(gfx, cv, f, q, n, fullWalk);
      break;
    case Ink::kMix:
      WalkLines<Ink::kMix>(gfx, cv, f, q, n, fullWalk);
      break;
    case Ink::kAdd:
      WalkLines<Ink::kAdd>(gfx, cv, f, q, n, fullWalk);
      break;
  }

  if (cv.blocks != nullptr) {
    for (int64_t j = 0; j < blockRows; ++j) {
      uint32_t* line = gfx.backBuffer + (cy1 + j) * sw + cx1;
      const int32_t lo = reachedLo[j / kBandRows];
      const int32_t hi = reachedHi[j / kBandRows];
      if (lo > hi) {
        MarkPixels(line, blockColumns);
        continue;
      }
      MarkPixels(line, lo);
      const uint32_t* top = cv.pixels + 2 * j * cv.stride + 2 * lo;
      draw_detail::AverageBlocks(line + lo, top, top + cv.stride, hi - lo + 1);
      MarkPixels(line + hi + 1, blockColumns - hi - 1);
    }
  } else if (supersample) {
    for (int64_t y = cy1; y <= cy2; ++y) {
      const uint32_t* top = cv.pixels + 2 * (y - cy1) * cv.stride;
      draw_detail::AverageBlocks(gfx.backBuffer + y * sw + cx1, top, top + cv.stride, blockColumns);
    }
  }
}

template <Ink ink>
inline void PutStretched(uint32_t& d, uint32_t s, uint32_t opacity) {
  if constexpr (ink == Ink::kCopy) {
    d = s;
  } else if constexpr (ink == Ink::kMix) {
    const uint32_t a = std::min(opacity, s >> 24);
    if (a != 0) d = draw_detail::MixColour(s, d, a);
  } else {
    d = draw_detail::AddBytes(s, d) & draw_detail::kColourMask;
  }
}

// The direct stretch of the frame over the upright rectangle x1..x4 × y1..y4.
template <Ink ink>
void StretchUpright(GfxContext& gfx, const FrameView& f) {
  const int64_t x1 = gfx.x1, y1 = gfx.y1, x4 = gfx.x4, y4 = gfx.y4;
  const int64_t sw = gfx.screenWidth;
  const int64_t firstX = std::max<int64_t>(x1, 0);
  const int64_t lastX = std::min<int64_t>(x4, sw - 1);
  const int64_t firstY = std::max<int64_t>(y1, 0);
  const int64_t lastY = std::min<int64_t>(y4, int64_t{gfx.screenHeight} - 1);
  if (firstX > lastX || firstY > lastY) return;
  const int64_t rows = std::abs(y4 - y1) + 1;
  const int64_t step = int64_t{f.width} * 8192 / (std::abs(x4 - x1) + 1);
  const bool shorten = ink != Ink::kCopy && y1 >= 0 && x4 <= sw - 1;
  const ImageSlot& s = *f.slot;
  const int32_t* rightSpan = ink == Ink::kAdd ? s.opaqueRight : s.visibleRight;
  const uint32_t opacity = draw_detail::BlendOpacity(gfx);
  for (int64_t y = firstY; y <= lastY; ++y) {
    const int32_t row = static_cast<int32_t>(int64_t{f.height} * (y - y1) / rows);
    int64_t endX = lastX;
    if (shorten) endX -= draw_detail::SpanAt(rightSpan, row) * (x4 - x1) / (int64_t{f.width} + 1);
    const uint32_t* srcRow = s.pixels + int64_t{row} * s.width + f.offset;
    uint32_t* dst = gfx.backBuffer + y * sw;
    int64_t u = (firstX - x1) * step;
    for (int64_t x = firstX; x <= endX; ++x, u += step) {
      const int64_t column = u >> 13;
      if (column < f.columnLimit) PutStretched<ink>(dst[x], srcRow[column], opacity);
    }
  }
}

bool StoredCornersUpright(const GfxContext& g) {
  return g.y1 == g.y2 && g.y3 == g.y4 && g.x1 == g.x3 && g.x2 == g.x4 && g.x2 >= g.x1 && g.x4 >= g.x1 &&
         g.y3 >= g.y1 && g.y4 >= g.y1;
}

void CornersBlit(GfxContext& gfx, int32_t slot, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3,
                 int32_t y3, int32_t x4, int32_t y4, int32_t frame, bool fullWalk) {
  gfx.x1 = x1;
  gfx.y1 = y1;
  gfx.x2 = x2;
  gfx.y2 = y2;
  gfx.x3 = x3;
  gfx.y3 = y3;
  gfx.x4 = x4;
  gfx.y4 = y4;
  FrameView f;
  if (gfx.backBuffer == nullptr || !draw_detail::SelectFrame(gfx, slot, frame, FrameRule::kTransformed, f))
    return;
  Quad q{{x1, x2, x3, x4}, {y1, y2, y3, y4}};
  if (gfx.supersampling == 0) {
    if (StoredCornersUpright(gfx)) {
      switch (InkOf(gfx)) {
        case Ink::kCopy:
          StretchUpright<Ink::kCopy>(gfx, f);
          break;
        case Ink::kMix:
          StretchUpright<Ink::kMix>(gfx, f);
          break;
        case Ink::kAdd:
          StretchUpright<Ink::kAdd>(gfx, f);
          break;
      }
      return;
    }
    MapOntoQuad(gfx, f, q, 0, 0, false, fullWalk);
    return;
  }
  const int64_t mx = (q.x[0] + q.x[1] + q.x[2] + q.x[3]) / 4;
  const int64_t my = (q.y[0] + q.y[1] + q.y[2] + q.y[3]) / 4;
  for (int i = 0; i < 4; ++i) {
    q.x[i] = 2 * q.x[i] - mx;
    q.y[i] = 2 * q.y[i] - my;
  }
  MapOntoQuad(gfx, f, q, mx, my, true, fullWalk);
}

// A rotation always works at double resolution: its corners are the frame's
// doubled about its centre c (2p - c for each corner p), turned about c.
void RotatedBlit(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, int32_t angle, int32_t frame,
                 bool fullWalk) {
  FrameView f;
  if (gfx.backBuffer == nullptr || !draw_detail::SelectFrame(gfx, slot, frame, FrameRule::kTransformed, f))
    return;
  const int64_t cx = int64_t{x} + f.width / 2;
  const int64_t cy = int64_t{y} + f.height / 2;
  const int64_t left = 2 * int64_t{x} - cx;
  const int64_t top = 2 * int64_t{y} - cy;
  const int64_t right = 2 * (int64_t{x} + f.width) - cx;
  const int64_t bottom = 2 * (int64_t{y} + f.height) - cy;
  Quad q{{left, right, left, right}, {top, top, bottom, bottom}};
  for (int i = 0; i < 4; ++i) draw_detail::RotateWide(gfx, q.x[i], q.y[i], angle, cx, cy);
  MapOntoQuad(gfx, f, q, cx, cy, true, fullWalk);
}

}  // namespace

void DrawToCorners(GfxContext& gfx, int32_t slot, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3,
                   int32_t y3, int32_t x4, int32_t y4, int32_t frame) {
  CornersBlit(gfx, slot, x1, y1, x2, y2, x3, y3, x4, y4, frame, false);
}

void DrawRotatedFrame(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, int32_t angle, int32_t frame) {
  RotatedBlit(gfx, slot, x, y, angle, frame, false);
}

void DrawRotated(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, int32_t angle) {
  RotatedBlit(gfx, slot, x, y, angle, -1, false);
}

void draw_detail::DrawToCornersFullWalk(GfxContext& gfx, int32_t slot, int32_t x1, int32_t y1, int32_t x2,
                                        int32_t y2, int32_t x3, int32_t y3, int32_t x4, int32_t y4,
                                        int32_t frame) {
  CornersBlit(gfx, slot, x1, y1, x2, y2, x3, y3, x4, y4, frame, true);
}

void draw_detail::DrawRotatedFrameFullWalk(GfxContext& gfx, int32_t slot, int32_t x, int32_t y, int32_t angle,
                                           int32_t frame) {
  RotatedBlit(gfx, slot, x, y, angle, frame, true);
}

void ScalePicture(GfxContext& gfx, int32_t destination, int32_t source, int32_t create, int32_t uniform,
                  int32_t sx, int32_t sy) {
  FrameView f;
  if (destination < 0 || destination > gfx.highestSlot || destination >= kImageSlots) return;
  if (gfx.backBuffer == nullptr || !draw_detail::SelectFrame(gfx, source, -1, FrameRule::kBlit, f)) return;
  int64_t fx = sx;
  int64_t fy = sy;
  if (uniform != 0) fx = fy = sx <= sy ? sy : sx;
  const int64_t w = int64_t{f.width} * fx / 1024;
  const int64_t h = int64_t{f.height} * fy / 1024;
  // The back buffer is the scratch area: a result that is empty or does not
  // fit on the screen cannot be made, and is not attempted.
  if (w < 1 || h < 1 || w > gfx.screenWidth || h > gfx.screenHeight) return;
  const int32_t tw = static_cast<int32_t>(w);
  const int32_t th = static_cast<int32_t>(h);
  if (create != 0) CreatePicture(gfx, destination, tw, th);
  FillRect(gfx, 0, 0, PictureWidth(gfx, destination), PictureHeight(gfx, destination), 0);
  SetDrawMode(gfx, -2);
  SetSupersampling(gfx, 1);
  if (sx == 1024 && sy == 1024) {
    DrawPicture(gfx, source, 0, 0);
  } else {
    DrawToCorners(gfx, source, 0, 0, tw, 0, 0, th, tw, th, -1);
  }
  CopyFromScreen(gfx, destination, 0, 0);
  FillRect(gfx, 0, 0, tw, th, 0);
  ResetDrawMode(gfx);
}
