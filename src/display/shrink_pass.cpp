// The shrinking pass: the back buffer is reduced by area averaging, one
// target row per group of source rows, recomputing only the stretches where
// the frame changed. Every pixel written is the exact result of the step by
// step rules of ShrinkGroupStepwise. The usual cases take faster routes to
// the same numbers: a group where every column changed is worked out for
// the whole row at once (ShrinkGroupWhole), one where nothing changed only
// at its always recomputed ends (ShrinkGroupEnds), and anything between by
// a walk over packed lanes (ShrinkGroupPacked).
#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

#include "display/present_passes.h"

namespace present {
namespace {

constexpr int32_t kLookAhead = 8;              // the change filter looks this many columns ahead
constexpr int32_t kLastCompared = kWidth - 9;  // columns from here on are always recomputed
constexpr int32_t kQuietRun = 17;              // a run of unchanged columns longer than this is left alone
constexpr int32_t kMostFollowing = 14;         // rows of a group after its first, at most
constexpr int32_t kNoColumn = 1313;            // the last target column before the first

// The target pixel from the sums of one stretch: each sum is normalised by
// the reciprocal of its weight. The arithmetic wraps as 32-bit registers do.
inline uint32_t ComposePixel(int32_t blue, int32_t green, int32_t red, int32_t weight,
                             const int16_t* reciprocal) {
  const uint32_t r = static_cast<uint32_t>(static_cast<int32_t>(reciprocal[weight & 4095]));
  const int32_t b = static_cast<int32_t>(static_cast<uint32_t>(blue) * r) >> 8;
  const uint32_t g = (static_cast<uint32_t>(green) * r) & 0xFFFFFF00u;
  const int32_t rr = static_cast<int32_t>(static_cast<uint32_t>(red) * r) >> 8;
  return static_cast<uint32_t>(b) + g + (static_cast<uint32_t>(rr) << 16);
}

// After a quiet stretch of `skipped` columns starting where fx is now: each
// column only marks the stretch unwritten and resets the sums where its
// target column begins. Returns the new write counter; updates lastT and
// says whether the sums were reset.
struct QuietStretch {
  int32_t write;
  int32_t lastT;
  bool resetSums;
};
inline QuietStretch SkipQuiet(int32_t fx, int32_t xstep, int32_t skipped, int32_t lastT) {
  const int32_t lastFx = fx + (skipped - 1) * xstep;
  const int32_t tLast = lastFx >> 13;
  const int32_t tBefore = skipped >= 2 ? (lastFx - xstep) >> 13 : lastT;
  return QuietStretch{tLast != tBefore ? 1 : 0, tLast, tLast != lastT};
}

// First index in [from, to) where a and b differ, or `to`.
int32_t FirstDifference(const uint32_t* a, const uint32_t* b, int32_t from, int32_t to) {
  int32_t i = from;
  for (; i + 32 <= to; i += 32) {
    if (std::memcmp(a + i, b + i, 32 * sizeof(uint32_t)) != 0) break;
  }
  for (; i < to; ++i) {
    if (a[i] != b[i]) return i;
  }
  return to;
}

// One target row from the group of source rows rows[0..count), item by
// item: for every source column, the change filter and then each row.
void ShrinkGroupStepwise(const uint32_t* const* rows, uint32_t* const* previous, int32_t count, uint32_t* out,
                         int32_t xstep, const ShrinkTables& tables) {
  const int16_t* coverage = tables.coverage;
  int32_t sumB = 0, sumG = 0, sumR = 0, sumW = 0;
  int32_t carryB = 0, carryG = 0, carryR = 0, carryW = 0;
  int32_t run = 0;
  int32_t write = 2;
  int32_t lastT = kNoColumn;
  int32_t fx = 0;
  int32_t x = 0;
  while (x < kWidth) {
    const int32_t w = coverage[(fx & (kOne - 1)) + xstep];
    const int32_t m = kOne - w;
    for (int32_t r = 0; r < count; ++r) {
      if (x < kLastCompared) {
        const uint32_t now = rows[r][x + kLookAhead];
        if (now != previous[r][x + kLookAhead]) {
          previous[r][x + kLookAhead] = now;
          run = 0;
        }
      } else {
        run = 0;
      }
      if (run <= kQuietRun) {
        const uint32_t p = rows[r][x];
        const int32_t b = static_cast<int32_t>(p & 255u);
        const int32_t g = static_cast<int32_t>((p >> 8) & 255u);
        const int32_t c = static_cast<int32_t>((p >> 16) & 255u);
        sumB += ((b * m) >> 13) + carryB;
        sumG += ((g * m) >> 13) + carryG;
        sumR += ((c * m) >> 13) + carryR;
        sumW += (m >> 6) + carryW;
        carryB = (b * w) >> 13;
        carryG = (g * w) >> 13;
        carryR = (c * w) >> 13;
        carryW = w >> 6;
      } else {
        write = 0;
      }
    }
    const int32_t t = fx >> 13;
    if (t != lastT) {
      // The first two target columns after a quiet stretch hold incomplete
      // sums and are not written.
      if (write <= 1) {
        ++write;
      } else {
        out[t] = ComposePixel(sumB, sumG, sumR, sumW, tables.reciprocal);
      }
      lastT = t;
      sumB = sumG = sumR = sumW = 0;
    }
    ++run;
    fx += xstep;
    ++x;
    if (run <= kQuietRun || x >= kLastCompared) continue;
    int32_t next = kLastCompared;
    for (int32_t r = 0; r < count && next > x; ++r) {
      next = FirstDifference(rows[r] + kLookAhead, previous[r] + kLookAhead, x, next);
    }
    if (next == x) continue;
    const QuietStretch q = SkipQuiet(fx, xstep, next - x, lastT);
    write = q.write;
    lastT = q.lastT;
    if (q.resetSums) sumB = sumG = sumR = sumW = 0;
    run += next - x;
    fx += (next - x) * xstep;
    x = next;
  }
}

// The packed walk. A source pixel becomes four 16-bit lanes q = (blue,
// green, red, 128) x 8; (q x m) >> 16 is then (c x m) >> 13 for each colour
// and m >> 6 in the fourth lane, so one lane-wise multiply gives all four
// terms of an item. With coverage in 0..8192 and at least 512/8192 of a
// target pixel per source column, no lane of a target pixel's sums can
// pass 65535, and the lanes add without touching each other.
constexpr int32_t kChunk = 64;  // columns whose terms are worked out together
constexpr uint8_t kUnchanged = 0xFF;
constexpr int32_t kSmallestPackedStep = 512;

struct ColumnPlan {
  alignas(16) uint16_t m[4 * kWidth];  // 8192 - coverage, in all four lanes
  alignas(16) uint16_t w[4 * kWidth];  // coverage, in all four lanes
  int32_t target[kWidth];              // fx / 8192
  // Where every item is taken, target column t gets the columns after the
  // first of t - 1 up to the first of t, `last`.
  int32_t last[kWidth];
  uint16_t mPlane[kWidth];        // 8192 - coverage, one lane per column
  uint16_t wPlane[kWidth];        // coverage
  uint16_t wBeforePlane[kWidth];  // coverage of the column before (0 for the first)
  uint16_t pairMask[kWidth];      // 0xFFFF where a target column of two columns ends
  int32_t targets = 0;
  int32_t headTargets = 0;      // target columns that end before the run of an unchanged row grows quiet
  int32_t tailTarget = 0;       // the first target column that ends in the always recomputed columns
  int32_t writeAfterSkip = 0;   // the write counter after skipping the quiet columns of an unchanged row
  bool shortStretches = false;  // no target column gets more than two
  uint16_t wholeReciprocals[kMostFollowing + 1][kWidth];  // per column, see WholeReciprocals
  bool wholeReciprocalsReady[kMostFollowing + 1] = {};
  int32_t xstep = -1;
  bool packed = false;
};

struct GroupWork {
  alignas(16) uint16_t sum[4 * kWidth];    // per column, every row taken: what it adds
  alignas(16) uint16_t carry[4 * kWidth];  // and what it hands on
  uint8_t firstChanged[kWidth + 8];        // first row whose look-ahead pixel changed
  // A whole row, in planes with a zero column in front.
  alignas(16) uint16_t laneBlue[kWidth + 1];
  alignas(16) uint16_t laneGreen[kWidth + 1];
  alignas(16) uint16_t laneRed[kWidth + 1];
  alignas(16) uint16_t wholeBlue[kWidth + 1];
  alignas(16) uint16_t wholeGreen[kWidth + 1];
  alignas(16) uint16_t wholeRed[kWidth + 1];
  alignas(16) uint32_t pixels[kWidth];
};

// Colour lanes take the byte x 8, the fourth lane 128 x 8.
struct LanePattern {
  uint16_t keep[4 * kWidth];
  uint16_t fill[4 * kWidth];
  LanePattern() {
    for (int32_t j = 0; j < 4 * kWidth; ++j) {
      keep[j] = (j & 3) == 3 ? 0 : 0xFFFF;
      fill[j] = (j & 3) == 3 ? 1024 : 0;
    }
  }
};

// The scratch of the pass in progress: ShrinkRows points these at the
// presenter's own before it plans the columns.
ColumnPlan* gPlan = nullptr;
GroupWork* gWork = nullptr;
const LanePattern gLanes;

void PlanColumns(int32_t xstep, const int16_t* coverage) {
  bool packed = xstep >= kSmallestPackedStep;
  int32_t begin = 0;
  gPlan->shortStretches = true;
  for (int32_t x = 0; x < kWidth; ++x) {
    const int32_t fx = x * xstep;
    const int32_t w = coverage[(fx & (kOne - 1)) + xstep];
    if (w < 0 || w > kOne) packed = false;
    const uint16_t m16 = static_cast<uint16_t>(kOne - w);
    const uint16_t w16 = static_cast<uint16_t>(w);
    for (int32_t k = 0; k < 4; ++k) {
      gPlan->m[4 * x + k] = m16;
      gPlan->w[4 * x + k] = w16;
    }
    gPlan->mPlane[x] = m16;
    gPlan->wPlane[x] = w16;
    gPlan->wBeforePlane[x] = x == 0 ? 0 : gPlan->wPlane[x - 1];
    gPlan->pairMask[x] = 0;
    const int32_t t = fx >> 13;
    gPlan->target[x] = t;
    if (x == 0 || t != gPlan->target[x - 1]) {
      const int32_t from = x == 0 ? 0 : begin + 1;
      gPlan->last[t] = x;
      if (x - from == 1) gPlan->pairMask[x] = 0xFFFF;
      if (x - from > 1) gPlan->shortStretches = false;
      begin = x;
    }
  }
  gPlan->targets = gPlan->target[kWidth - 1] + 1;
  gPlan->headTargets = 0;
  while (gPlan->headTargets < gPlan->targets && gPlan->last[gPlan->headTargets] <= kQuietRun)
    ++gPlan->headTargets;
  gPlan->tailTarget = gPlan->targets;
  while (gPlan->tailTarget > 0 && gPlan->last[gPlan->tailTarget - 1] >= kLastCompared) --gPlan->tailTarget;
  gPlan->writeAfterSkip = gPlan->target[kLastCompared - 1] != gPlan->target[kLastCompared - 2] ? 1 : 0;
  std::fill(std::begin(gPlan->wholeReciprocalsReady), std::end(gPlan->wholeReciprocalsReady), false);
  gPlan->xstep = xstep;
  gPlan->packed = packed;
}

inline uint64_t Load64(const void* at) {
  uint64_t v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

// The four products of one item, lane by lane.
inline uint64_t MulHigh(uint32_t pixel, uint32_t factor) {
  const uint64_t b = ((pixel & 255u) << 3) * factor >> 16;
  const uint64_t g = (((pixel >> 8) & 255u) << 3) * factor >> 16;
  const uint64_t r = (((pixel >> 16) & 255u) << 3) * factor >> 16;
  const uint64_t weight = (1024u * factor) >> 16;
  return b | g << 16 | r << 32 | weight << 48;
}

inline uint32_t ComposePacked(uint64_t sums, const int16_t* reciprocal) {
  return ComposePixel(static_cast<int32_t>(sums & 0xFFFF), static_cast<int32_t>((sums >> 16) & 0xFFFF),
                      static_cast<int32_t>((sums >> 32) & 0xFFFF), static_cast<int32_t>(sums >> 48),
                      reciprocal);
}

enum class GroupChange { None, EveryColumn, Some };

// Runs the change filter of the whole group at once; the previous frame
// takes every look-ahead pixel that differs. None: nothing changed. Every
// column: the first row changed in every compared column, so every item
// of the row is taken. Some: firstChanged holds, per column, the first row
// whose look-ahead pixel changed, or kUnchanged; the columns from
// kLastCompared on read as changed in row 0, as they are always recomputed.
GroupChange FindChanges(const uint32_t* const* rows, uint32_t* const* previous, int32_t count) {
  uint32_t changedRows = 0;
  for (int32_t r = 0; r < count; ++r) {
    if (std::memcmp(rows[r] + kLookAhead, previous[r] + kLookAhead, kLastCompared * sizeof(uint32_t)) != 0) {
      changedRows |= 1u << r;
    }
  }
  if (changedRows == 0) return GroupChange::None;
  if ((changedRows & 1u) != 0) {
    const uint32_t* __restrict now = rows[0] + kLookAhead;
    const uint32_t* __restrict before = previous[0] + kLookAhead;
    uint32_t same = 0;
    for (int32_t x = 0; x < kLastCompared; ++x) same += now[x] == before[x] ? 1u : 0u;
    if (same == 0) {
      for (int32_t r = 0; r < count; ++r) {
        if ((changedRows & (1u << r)) != 0) {
          std::memcpy(previous[r] + kLookAhead, rows[r] + kLookAhead, kLastCompared * sizeof(uint32_t));
        }
      }
      return GroupChange::EveryColumn;
    }
  }
  uint8_t* first = gWork->firstChanged;
  std::memset(first, kUnchanged, kLastCompared);
  std::memset(first + kLastCompared, 0, sizeof gWork->firstChanged - kLastCompared);
  for (int32_t r = count - 1; r >= 0; --r) {
    if ((changedRows & (1u << r)) == 0) continue;
    const uint32_t* __restrict now = rows[r] + kLookAhead;
    uint32_t* __restrict before = previous[r] + kLookAhead;
    const uint8_t row = static_cast<uint8_t>(r);
    for (int32_t x = 0; x < kLastCompared; ++x) first[x] = now[x] != before[x] ? row : first[x];
    std::memcpy(before, now, kLastCompared * sizeof(uint32_t));
  }
  return GroupChange::Some;
}

// A lane pattern for a pixel's bytes: colours x 8, the fourth lane 128 x 8.
inline uint16_t Lane(const uint8_t* bytes, int32_t j) {
  return static_cast<uint16_t>((static_cast<uint16_t>(bytes[j] << 3) & gLanes.keep[j]) | gLanes.fill[j]);
}

inline uint16_t MulHigh16(uint16_t a, uint16_t b) {
  return static_cast<uint16_t>((static_cast<uint32_t>(a) * b) >> 16);
}

// The terms of columns [x0, x1) with every row of the group taken: what
// each column adds to the sums and what it carries on to the next item.
void ComputeTerms(const uint32_t* const* rows, int32_t count, int32_t x0, int32_t x1) {
  const int32_t n = 4 * (x1 - x0);
  uint16_t* __restrict sum = gWork->sum + 4 * x0;
  uint16_t* __restrict carry = gWork->carry + 4 * x0;
  const uint16_t* __restrict m = gPlan->m + 4 * x0;
  const uint16_t* __restrict w = gPlan->w + 4 * x0;
  {
    const uint8_t* __restrict bytes = reinterpret_cast<const uint8_t*>(rows[0] + x0);
    for (int32_t j = 0; j < n; ++j) {
      const uint16_t q = Lane(bytes, j);
      sum[j] = MulHigh16(q, m[j]);
      carry[j] = MulHigh16(q, w[j]);
    }
  }
  for (int32_t r = 1; r < count; ++r) {
    const uint8_t* __restrict bytes = reinterpret_cast<const uint8_t*>(rows[r] + x0);
    for (int32_t j = 0; j < n; ++j) {
      const uint16_t q = Lane(bytes, j);
      sum[j] = static_cast<uint16_t>(sum[j] + carry[j] + MulHigh16(q, m[j]));
      carry[j] = MulHigh16(q, w[j]);
    }
  }
}

// The reciprocals of the weights of a whole row of a group of `count` rows,
// per column where a target column ends; worked out once per present.
const uint16_t* WholeReciprocals(int32_t count, const int16_t* reciprocal) {
  uint16_t* recips = gPlan->wholeReciprocals[count - 1];
  if (gPlan->wholeReciprocalsReady[count - 1]) return recips;
  int32_t before = 0;
  for (int32_t x = 0; x < kWidth; ++x) {
    const int32_t m = MulHigh16(1024, gPlan->mPlane[x]);
    const int32_t w = MulHigh16(1024, gPlan->wPlane[x]);
    const int32_t wPrev = MulHigh16(1024, gPlan->wBeforePlane[x]);
    const int32_t column = count * m + (count - 1) * w + wPrev;
    const int32_t weight = column + (gPlan->pairMask[x] != 0 ? before : 0);
    recips[x] = static_cast<uint16_t>(reciprocal[weight & 4095]);
    before = column;
  }
  gPlan->wholeReciprocalsReady[count - 1] = true;
  return recips;
}

// Where every item of a row is taken, the run never passes the quiet limit
// and the write counter stays at 2, so every target column is written, with
// the columns after the first of the previous target column up to its own
// first (one or two columns here). WholeColumns works this out column by
// column in planes of 16-bit lanes for the source columns [from, to):
// W[x] is what column x adds (its own terms and the carry of the last row
// of column x - 1) and pixels[x] the target pixel of the stretch ending at
// x, right wherever that stretch lies within [from, to). The weights
// depend only on the columns and the group's height, so their reciprocals
// are looked up once per height.
void WholeColumns(const uint32_t* const* rows, int32_t count, int32_t from, int32_t to,
                  const int16_t* reciprocal) {
  // Planes have one column in front, so column x is at index x + 1 and the
  // column before `from` is at index `from` (zero before the first).
  const uint16_t* __restrict m = gPlan->mPlane;
  const uint16_t* __restrict w = gPlan->wPlane;
  const uint16_t* __restrict wBefore = gPlan->wBeforePlane;
  uint16_t* const sums[3] = {gWork->wholeBlue, gWork->wholeGreen, gWork->wholeRed};
  uint16_t* const lanes[3] = {gWork->laneBlue, gWork->laneGreen, gWork->laneRed};
  const int32_t firstLane = from == 0 ? 0 : from - 1;
  for (int32_t r = 0; r < count; ++r) {
    {
      const uint32_t* __restrict px = rows[r];
      uint16_t* __restrict qb = lanes[0] + 1;
      uint16_t* __restrict qg = lanes[1] + 1;
      uint16_t* __restrict qr = lanes[2] + 1;
      for (int32_t x = firstLane; x < to; ++x) {
        qb[x] = static_cast<uint16_t>((px[x] & 255u) << 3);
        qg[x] = static_cast<uint16_t>(((px[x] >> 8) & 255u) << 3);
        qr[x] = static_cast<uint16_t>(((px[x] >> 16) & 255u) << 3);
      }
    }
    for (int32_t c = 0; c < 3; ++c) {
      const uint16_t* __restrict q = lanes[c];
      uint16_t* __restrict acc = sums[c];
      if (r == 0) std::memset(acc + from, 0, static_cast<size_t>(to - from + 1) * sizeof(uint16_t));
      if (r + 1 < count) {
        // The carry goes to the next row of the same column.
        for (int32_t x = from; x < to; ++x) {
          acc[x + 1] =
              static_cast<uint16_t>(acc[x + 1] + MulHigh16(q[x + 1], m[x]) + MulHigh16(q[x + 1], w[x]));
        }
      } else {
        // The last row's carry goes to the next column.
        for (int32_t x = from; x < to; ++x) {
          acc[x + 1] =
              static_cast<uint16_t>(acc[x + 1] + MulHigh16(q[x + 1], m[x]) + MulHigh16(q[x], wBefore[x]));
        }
      }
    }
  }
  const uint16_t* __restrict recips = WholeReciprocals(count, reciprocal);
  const uint16_t* __restrict pair = gPlan->pairMask;
  const uint16_t* __restrict sb = sums[0];
  const uint16_t* __restrict sg = sums[1];
  const uint16_t* __restrict sr = sums[2];
  uint32_t* __restrict pixels = gWork->pixels;
  // ComposePixel on values that cannot wrap (each product stays below 2^31).
  for (int32_t x = from; x < to; ++x) {
    const uint32_t r = recips[x];
    const uint32_t b = static_cast<uint16_t>(sb[x + 1] + (sb[x] & pair[x]));
    const uint32_t g = static_cast<uint16_t>(sg[x + 1] + (sg[x] & pair[x]));
    const uint32_t rr = static_cast<uint16_t>(sr[x + 1] + (sr[x] & pair[x]));
    pixels[x] = ((b * r) >> 8) + ((g * r) & 0xFFFFFF00u) + (((rr * r) >> 8) << 16);
  }
}

void ShrinkGroupWhole(const uint32_t* const* rows, int32_t count, uint32_t* out, const int16_t* reciprocal) {
  WholeColumns(rows, count, 0, kWidth, reciprocal);
  const uint32_t* __restrict pixels = gWork->pixels;
  const int32_t* __restrict last = gPlan->last;
  const int32_t targets = gPlan->targets;
  for (int32_t t = 0; t < targets; ++t) out[t] = pixels[last[t]];
}

// A group where nothing changed: the columns are taken until the run grows
// quiet, then skipped up to the always recomputed end. The skip leaves the
// write counter at 1 when a target column begins at its last column, else
// at 0, so the first one or two target columns of the end are not written.
void ShrinkGroupEnds(const uint32_t* const* rows, int32_t count, uint32_t* out, const int16_t* reciprocal) {
  const int32_t* __restrict last = gPlan->last;
  WholeColumns(rows, count, 0, kQuietRun + 1, reciprocal);
  for (int32_t t = 0; t < gPlan->headTargets; ++t) out[t] = gWork->pixels[last[t]];
  WholeColumns(rows, count, kLastCompared, kWidth, reciprocal);
  const int32_t firstWritten = gPlan->tailTarget + 2 - gPlan->writeAfterSkip;
  for (int32_t t = firstWritten; t < gPlan->targets; ++t) out[t] = gWork->pixels[last[t]];
}

// The columns of a group where nothing changed: the first ones are taken
// until the run grows quiet, the last ones always.
struct NoChangeColumns {
  uint8_t first[kWidth + 8];
  NoChangeColumns() {
    std::memset(first, kUnchanged, kLastCompared);
    std::memset(first + kLastCompared, 0, sizeof first - kLastCompared);
  }
};
const NoChangeColumns gNoChange;

// The next column from x whose look-ahead pixel changed in any row.
inline int32_t NextChanged(const uint8_t* first, int32_t x) {
  while (Load64(first + x) == ~uint64_t{0}) x += 8;
  while (first[x] == kUnchanged) ++x;
  return std::min(x, kLastCompared);
}

void ShrinkGroupPacked(const uint32_t* const* rows, uint32_t* const* previous, int32_t count, uint32_t* out,
                       const int16_t* reciprocal) {
  const GroupChange change = FindChanges(rows, previous, count);
  if (change == GroupChange::EveryColumn) {
    if (gPlan->shortStretches) {
      ShrinkGroupWhole(rows, count, out, reciprocal);
      return;
    }
    std::memset(gWork->firstChanged, 0, sizeof gWork->firstChanged);  // changed in row 0 everywhere
  }
  const bool none = change == GroupChange::None;
  if (none && gPlan->shortStretches) {
    ShrinkGroupEnds(rows, count, out, reciprocal);
    return;
  }
  const uint8_t* first = none ? gNoChange.first : gWork->firstChanged;
  uint64_t sums = 0, carry = 0;
  int32_t run = 0;
  int32_t write = 2;
  int32_t lastT = kNoColumn;
  int32_t termsEnd = 0;
  int32_t x = 0;
  while (x < kWidth) {
    const uint8_t changed = first[x];
    if (run <= kQuietRun || changed == 0) {
      // Every row of the column is taken.
      if (changed != kUnchanged) run = 0;
      if (x >= termsEnd) {
        // The first stretch of a row is often all that is taken.
        termsEnd = std::min(x + (x == 0 ? kQuietRun + 1 : kChunk), kWidth);
        ComputeTerms(rows, count, x, termsEnd);
      }
      sums += Load64(gWork->sum + 4 * x) + carry;
      carry = Load64(gWork->carry + 4 * x);
    } else if (changed == kUnchanged) {
      write = 0;
    } else {
      // The rows above the first change are left; the change restarts the run.
      write = 0;
      run = 0;
      for (int32_t r = changed; r < count; ++r) {
        sums += MulHigh(rows[r][x], gPlan->m[4 * x]) + carry;
        carry = MulHigh(rows[r][x], gPlan->w[4 * x]);
      }
    }
    const int32_t t = gPlan->target[x];
    if (t != lastT) {
      if (write <= 1) {
        ++write;
      } else {
        out[t] = ComposePacked(sums, reciprocal);
      }
      lastT = t;
      sums = 0;
    }
    ++run;
    ++x;
    if (run <= kQuietRun || x >= kLastCompared) continue;
    const int32_t next = none ? kLastCompared : NextChanged(first, x);
    if (next == x) continue;
    const QuietStretch q = SkipQuiet(x * gPlan->xstep, gPlan->xstep, next - x, lastT);
    write = q.write;
    lastT = q.lastT;
    if (q.resetSums) sums = 0;
    run += next - x;
    x = next;
  }
}

}  // namespace

struct ShrinkScratch {
  ColumnPlan plan;
  GroupWork work;
};

ShrinkScratch* NewShrinkScratch() { return new (std::nothrow) ShrinkScratch(); }

void FreeShrinkScratch(ShrinkScratch* scratch) { delete scratch; }

void ShrinkRows(const uint32_t* back, uint32_t* previous, const Surface& s, int32_t x0, int32_t y0,
                int32_t xstep, int32_t ystep, const ShrinkTables& tables) {
  if (tables.scratch == nullptr) return;
  gPlan = &tables.scratch->plan;
  gWork = &tables.scratch->work;
  PlanColumns(xstep, tables.coverage);
  const uint32_t* rows[kMostFollowing + 1];
  uint32_t* prev[kMostFollowing + 1];
  int32_t lastRow = -1;
  int32_t fy = 0;
  for (int32_t y = 0; y < kHeight; ++y, fy += ystep) {
    const int32_t row = fy >> 13;
    if (row == lastRow) continue;  // summed with the group that began this target row
    lastRow = row;
    // The group: the source rows that fall into this target row, unless
    // more than fourteen do.
    int32_t following = 0;
    for (int32_t k = 1; k <= kMostFollowing; ++k) {
      if (((fy + k * ystep) >> 13) != row) {
        following = k - 1;
        break;
      }
    }
    following = std::min(following, kHeight - 1 - y);
    for (int32_t k = 0; k <= following; ++k) {
      rows[k] = back + static_cast<ptrdiff_t>(y + k) * kWidth;
      prev[k] = previous + static_cast<ptrdiff_t>(y + k) * kWidth;
    }
    uint32_t* out = s.pixels + static_cast<ptrdiff_t>(y0 + row) * s.pitch + x0;
    if (gPlan->packed) {
      ShrinkGroupPacked(rows, prev, following + 1, out, tables.reciprocal);
    } else {
      ShrinkGroupStepwise(rows, prev, following + 1, out, xstep, tables);
    }
  }
}

}  // namespace present
