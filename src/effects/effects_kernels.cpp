// The versions of the effects' hot loops that the effects call: vector paths
// (SSE2 everywhere on x86-64, AVX2 where the processor has it) and table
// forms that compute exactly what the plain kernels do. Whatever the vector loop leaves over at
// the end of a run goes through the plain kernel.
#include "effects/effects_kernels.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "effects/effects_internal.h"
#include "effects/effects_oscillator.h"
#include "maths/byte_lanes.h"
#include "platform/cpu_features.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define VX_EFFECTS_X86 1
#else
#define VX_EFFECTS_X86 0
#endif

namespace fx_kernels {

namespace {

#if VX_EFFECTS_X86
bool UseSse2() { return cpu::KernelLevelAtLeast(cpu::KernelLevel::kSse2); }
bool UseAvx2() { return cpu::KernelLevelAtLeast(cpu::KernelLevel::kAvx2); }
#endif

// ---- Radial and textured lights below AVX2 ---------------------------------

// A row's pixels gain amount · strength / 32 per colour byte, clamped: the
// plain kernels' arithmetic in a loop the compiler vectorises (SSE2, NEON,
// SIMD128). The strengths come from the tables first, one by one.
constexpr int32_t kLightChunk = 256;

void AddStrengths(uint32_t* line, const int32_t* strength, int32_t count, const int32_t (&amount)[3]) {
  const int32_t blue = amount[0];
  const int32_t green = amount[1];
  const int32_t red = amount[2];
  for (int32_t i = 0; i < count; ++i) {
    const int32_t s = strength[i];
    line[i] = fx_detail::AddToColour(line[i], (blue * s) >> 5, (green * s) >> 5, (red * s) >> 5);
  }
}

// A row a stretch at a time: fill(from, count, strength) gives the
// strengths of columns from .. from + count - 1.
template <typename Fill>
void LightRowTabled(uint32_t* line, int32_t left, int32_t right, const int32_t (&amount)[3], Fill fill) {
  int32_t strength[kLightChunk];
  for (int32_t from = left; from <= right; from += kLightChunk) {
    const int32_t count = std::min(kLightChunk, right - from + 1);
    fill(from, count, strength);
    AddStrengths(line + from, strength, count, amount);
  }
}

void RadialLightRowTabled(const RadialRow& light, uint32_t* line, int32_t left, int32_t right) {
  const int32_t dySquared = light.dy * light.dy;
  LightRowTabled(line, left, right, light.amount, [&](int32_t from, int32_t count, int32_t* strength) {
    for (int32_t i = 0; i < count; ++i) {
      const int32_t dx = from + i - light.x;
      strength[i] = light.radius - light.sqrtTable[dx * dx + dySquared];
    }
  });
}

void TexturedLightRowTabled(const TexturedRow& light, uint32_t* line, int32_t left, int32_t right) {
  const int32_t dySquared = light.dy * light.dy;
  LightRowTabled(line, left, right, light.amount, [&](int32_t from, int32_t count, int32_t* strength) {
    for (int32_t i = 0; i < count; ++i) {
      const int32_t dx = from + i - light.x;
      strength[i] = light.falloff[std::clamp(light.radius - light.sqrtTable[dx * dx + dySquared], 0, 256)];
    }
    if (light.map == nullptr) return;
    const uint8_t* map = light.map + (from - light.x);
    for (int32_t i = 0; i < count; ++i) strength[i] += strength[i] * map[i] / 128;
  });
}

// ---- Shimmer ---------------------------------------------------------------

// The column oscillator restarts at the same state on every row of every
// area, so its values are one fixed sequence: entry i is its value after
// i + 1 steps.
constexpr int32_t kWaveColumns = 4096;

struct ColumnWave {
  std::array<int32_t, kWaveColumns> value{};
  int32_t largest = 0;  // the largest |value|
};

const ColumnWave& Wave() {
  static const ColumnWave wave = [] {
    ColumnWave w;
    int32_t value = 0;
    int32_t speed = -100;
    for (int32_t& v : w.value) {
      StepOscillator(value, speed);
      v = value;
      w.largest = std::max(w.largest, value < 0 ? -value : value);
    }
    return w;
  }();
  return wave;
}

bool InBrightness(const RippleRow& row, uint32_t p) {
  const int32_t b = fx_detail::BrightnessOf(p);
  return b >= row.min && b <= row.max;
}

// Columns first .. row.right of the ripple, one at a time, from the wave.
void RippleColumns(const RippleRow& row, uint32_t* line, const uint32_t* copy, int32_t first,
                   bool everyPixel) {
  const int32_t* wave = Wave().value.data();
  const int64_t lastColumn = row.width - 1;
  for (int32_t x = first; x <= row.right; ++x) {
    const int64_t u = (wave[x - row.left] * row.factor) >> 22;
    if (u >= -1 && u <= 1) continue;
    if (!everyPixel && !InBrightness(row, copy[x]) && !InBrightness(row, copy[x - 6]) &&
        !InBrightness(row, copy[x + 6]))
      continue;
    const int64_t target = std::clamp<int64_t>(x + u / 2, 0, lastColumn);
    line[target] = fx_detail::Average(copy[x], copy[x - 1]);
  }
}

// Below AVX2 the same lanes in plain loops the compiler vectorises (SSE2,
// NEON, SIMD128), a stretch of columns at a time: shifts, tests, targets
// and means first, then the moved pixels written one by one in column
// order, so a later column's pixel wins a shared target as in the plain
// pass. The caller makes sure the products fit 32 bits.
template <bool kEveryPixel>
void RippleLanes(const RippleRow& row, uint32_t* line, const uint32_t* copy) {
  constexpr int32_t kStretch = 256;
  const int32_t* wave = Wave().value.data();
  const int32_t factor = static_cast<int32_t>(row.factor);
  const int32_t lastColumn = row.width - 1;
  const int32_t low = row.min;
  const int32_t high = row.max;
  const auto inRange = [low, high](uint32_t p) {
    const int32_t b = fx_detail::BrightnessOf(p);
    return static_cast<int32_t>(b >= low) & static_cast<int32_t>(b <= high);
  };
  alignas(64) int32_t target[kStretch];
  alignas(64) uint32_t mean[kStretch];
  alignas(64) int32_t moved[kStretch];
  for (int32_t from = row.left; from <= row.right; from += kStretch) {
    const int32_t count = std::min(kStretch, row.right - from + 1);
    const int32_t* w = wave + (from - row.left);
    const uint32_t* c = copy + from;
    for (int32_t k = 0; k < count; ++k) {
      const int32_t u = (w[k] * factor) >> 22;
      int32_t m = static_cast<int32_t>(u < -1) | static_cast<int32_t>(u > 1);
      if constexpr (!kEveryPixel) m &= inRange(c[k]) | inRange(c[k - 6]) | inRange(c[k + 6]);
      moved[k] = m;
      target[k] = std::clamp(from + k + u / 2, 0, lastColumn);
      mean[k] = fx_detail::Average(c[k], c[k - 1]);
    }
    for (int32_t k = 0; k < count; ++k) {
      if (moved[k] != 0) line[target[k]] = mean[k];
    }
  }
}

// clamp(c + a, 0, 255) per colour byte as a saturating add of the positive
// amounts and a saturating subtract of the negative ones.
struct ClampedAmounts {
  uint32_t up = 0;
  uint32_t down = 0;
};

ClampedAmounts PackAmounts(int32_t blue, int32_t green, int32_t red) {
  const auto part = [](int32_t a, int32_t shift) {
    return static_cast<uint32_t>(std::clamp(a, 0, 255)) << shift;
  };
  return {part(blue, 0) | part(green, 8) | part(red, 16), part(-blue, 0) | part(-green, 8) | part(-red, 16)};
}

// AddClamped in plain word arithmetic.
void AddClampedLanes(uint32_t* line, int32_t count, int32_t blue, int32_t green, int32_t red) {
  const ClampedAmounts a = PackAmounts(blue, green, red);
  byte_lanes::AddThenSubtract(line, count, a.up, a.down);
}

// ApplyLayerSums8 four pixels at a time in generic vectors: min(255, sum / 2)
// into each colour byte, added with saturation (the alpha byte gains 0).
void ApplySums8Lanes(uint32_t* line, const uint16_t* sums, int32_t count) {
  typedef uint16_t Sums4 __attribute__((vector_size(8)));
  typedef uint32_t Pixels4 __attribute__((vector_size(16)));
  using byte_lanes::detail::Bytes16;
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    Sums4 s;
    std::memcpy(&s, sums + i, sizeof s);
    Pixels4 half = __builtin_convertvector(s, Pixels4) >> 1;
    half = half < 255u ? half : 255u;
    Pixels4 p;
    std::memcpy(&p, line + i, sizeof p);
    const Bytes16 sum = byte_lanes::detail::AddSaturated(reinterpret_cast<Bytes16>(p),
                                                         reinterpret_cast<Bytes16>(half | half << 8 | half << 16));
    std::memcpy(line + i, &sum, sizeof sum);
  }
  for (; i < count; ++i) {
    const uint32_t half = std::min<uint32_t>(255u, sums[i] / 2u);
    line[i] = byte_lanes::AddSaturated(line[i], half * 0x010101u);
  }
}

// The amount arrays run from dx = -kEllipseReach to kEllipseReach + 7: a
// light's half-width is at most 176 (radius limit), and the vector loops
// write up to 7 entries past the last one asked for.
constexpr int32_t kEllipseReach = 184;

// The weights of the lights of one size, radius_c · t² >> 9 inside each
// channel's rim and 0 outside, per row dy and column dx from the centre:
// they depend on the size alone, and the drift lights come in a handful of
// sizes, so the last sizes used keep theirs.
struct EllipseWeights {
  int32_t radius[3] = {-1, -1, -1};
  int32_t rows = 0;
  int32_t columns = 0;  // a multiple of 8
  std::vector<int16_t> weight[3];  // [dy · columns + dx]
};

// Sizes up to this radius are kept (some 60 kB a size at most).
constexpr int32_t kKeptWeightRadius = 96;
// Inside the rim e · scale < 2^24, so t = 256 - (e · scale >> 16) is 1 .. 256
// and a weight at most radius · 256² >> 9 = radius · 128: 12288 for the
// kept sizes, which words hold.
static_assert(kKeptWeightRadius * 128 <= INT16_MAX, "kept weights are words");

const EllipseWeights* WeightsFor(const EllipseLight& light) {
  if (light.radius[2] > kKeptWeightRadius || light.radius[2] < 1) return nullptr;
  thread_local std::array<EllipseWeights, 16> kept;
  thread_local size_t next = 0;
  thread_local const EllipseWeights* last = nullptr;  // a light asks once per row
  if (last != nullptr && std::equal(last->radius, last->radius + 3, light.radius)) return last;
  for (const EllipseWeights& w : kept)
    if (std::equal(w.radius, w.radius + 3, light.radius)) return last = &w;
  EllipseWeights& w = kept[next];
  next = (next + 1) % kept.size();
  std::copy(light.radius, light.radius + 3, w.radius);
  // Every row and column any channel reaches, and the columns the vector
  // loop rounds up to.
  const int32_t r = std::max({light.radius[0], light.radius[1], light.radius[2]});
  w.rows = r + 1;
  w.columns = (r + 1 + 7) / 8 * 8;
  for (int32_t c = 0; c < 3; ++c) {
    w.weight[c].assign(static_cast<size_t>(w.rows) * static_cast<size_t>(w.columns), 0);
    for (int32_t dy = 0; dy < w.rows; ++dy) {
      for (int32_t dx = 0; dx < w.columns; ++dx) {
        const int32_t e = 4 * dx * dx + 9 * dy * dy;
        if (e >= light.limit[c]) continue;
        const int32_t t = 256 - ((e * light.scale[c]) >> 16);
        w.weight[c][static_cast<size_t>(dy) * static_cast<size_t>(w.columns) + static_cast<size_t>(dx)] =
            static_cast<int16_t>((light.radius[c] * t * t) >> 9);
      }
    }
  }
  return last = &w;
}

// Per dx = 0 .. count - 1 of row dy, the light's byte amounts packed as a
// pixel: up holds min(255, amount) of the channels that brighten, down
// min(255, -amount) of those that darken, so that clamp(c + amount, 0, 255)
// is a saturating add of up and subtract of down. Plain loops without
// branches, which compilers vectorise for any target.
void EllipseAmounts(const EllipseLight& light, int32_t dy, int32_t count, uint32_t* up, uint32_t* down) {
  std::fill(up, up + count, 0u);
  std::fill(down, down + count, 0u);
  int32_t add[2 * kEllipseReach + 8];
  for (int32_t c = 0; c < 3; ++c) {
    const int32_t amount = light.amount[c];
    const int32_t rowPart = 9 * dy * dy;
    const int32_t limit = light.limit[c];
    const int32_t scale = light.scale[c];
    const int32_t radius = light.radius[c];
    for (int32_t d = 0; d < count; ++d) {
      const int32_t e = 4 * d * d + rowPart;
      // Held at the rim, so that the product outside it cannot overflow.
      const int32_t t = 256 - ((std::min(e, limit) * scale) >> 16);
      const int32_t weight = e < limit ? (radius * t * t) >> 9 : 0;
      add[d] = (amount * weight) >> 10;
    }
    const int32_t shift = 8 * c;
    for (int32_t d = 0; d < count; ++d) {
      const int32_t v = add[d];
      up[d] |= static_cast<uint32_t>(std::clamp(v, 0, 255)) << shift;
      down[d] |= static_cast<uint32_t>(std::clamp(-v, 0, 255)) << shift;
    }
  }
}

// Whether the kept word weights serve the light: amounts that are words
// too, so that each product is a word product (|amount · weight| stays
// below 2^15 · 12288 < 2^31).
bool WordAmounts(const EllipseLight& light) {
  return std::all_of(light.amount, light.amount + 3,
                     [](int32_t a) { return a >= INT16_MIN && a <= INT16_MAX; });
}

// EllipseAmounts from kept weights, eight columns a step (count rounded up
// to 8, within the kept columns) in word lanes: each channel's products in
// 32 bits from word multiplies, shifted, narrowed to words with saturation
// (which keeps every value that the byte clamps tell apart), clamped to
// bytes and interleaved into pixels. SSE2 has no 32-bit multiply nor
// minimum, which the plain loops spend most of their time emulating.
void EllipseAmountsKept(const EllipseLight& light, const EllipseWeights& w, int32_t dy, int32_t count,
                        uint32_t* up, uint32_t* down) {
  using byte_lanes::detail::Ints4;
  using byte_lanes::detail::Words8;
  typedef uint16_t Halves8 __attribute__((vector_size(16)));
  const Words8 zero = {};
  const Words8 byteMax = zero + 255;
  const Words8 byteMin = zero - 255;
  Words8 amount[3];
  for (int32_t c = 0; c < 3; ++c) amount[c] = zero + static_cast<int16_t>(light.amount[c]);
  const size_t row = static_cast<size_t>(dy) * static_cast<size_t>(w.columns);
  for (int32_t d = 0; d < count; d += 8) {
    Halves8 brighten[3];
    Halves8 darken[3];
    for (int32_t c = 0; c < 3; ++c) {
      Words8 weight;
      std::memcpy(&weight, w.weight[c].data() + row + static_cast<size_t>(d), sizeof weight);
      Ints4 low;
      Ints4 high;
      byte_lanes::detail::MultiplyWide(amount[c], weight, low, high);
      const Words8 add = byte_lanes::detail::NarrowSaturated(low >> 10, high >> 10);
      // Word minima and maxima only (SSE2 has them): -max(add, -255) is
      // -32767 .. 255 and cannot overflow.
      const Words8 above = add > zero ? add : zero;
      const Words8 below = zero - (add > byteMin ? add : byteMin);
      brighten[c] = reinterpret_cast<Halves8>(above < byteMax ? above : byteMax);
      darken[c] = reinterpret_cast<Halves8>(below > zero ? below : zero);
    }
    // Blue | green << 8 in the low word of each pixel, red in the high one.
    const Halves8 upLow = brighten[0] | brighten[1] << 8;
    const Halves8 downLow = darken[0] | darken[1] << 8;
    const Halves8 upPixels[2] = {__builtin_shufflevector(upLow, brighten[2], 0, 8, 1, 9, 2, 10, 3, 11),
                                 __builtin_shufflevector(upLow, brighten[2], 4, 12, 5, 13, 6, 14, 7, 15)};
    const Halves8 downPixels[2] = {__builtin_shufflevector(downLow, darken[2], 0, 8, 1, 9, 2, 10, 3, 11),
                                   __builtin_shufflevector(downLow, darken[2], 4, 12, 5, 13, 6, 14, 7, 15)};
    std::memcpy(up + d, upPixels, sizeof upPixels);
    std::memcpy(down + d, downPixels, sizeof downPixels);
  }
}

// Pixels 0 .. count - 1 of the line gain up[i] and lose down[i] per byte,
// saturating (the alpha bytes of up and down are 0).
void ApplyAmounts(uint32_t* line, const uint32_t* up, const uint32_t* down, int32_t count) {
  byte_lanes::AddThenSubtract(line, up, down, count);
}

// Rows dy and -dy from one set of amounts, mirrored about the centre.
void EllipseRowPairMirrored(const EllipseLight& light, uint32_t* above, uint32_t* below, int32_t dy, int32_t left,
                            int32_t right) {
  uint32_t up[2 * kEllipseReach + 8];
  uint32_t down[2 * kEllipseReach + 8];
  const int32_t nearSide = light.x - left;
  const int32_t farSide = right - light.x;
  const int32_t count = std::max(nearSide, farSide) + 1;
  const EllipseWeights* kept = WordAmounts(light) ? WeightsFor(light) : nullptr;
  if (kept != nullptr && dy < kept->rows && count <= kept->columns) {
    EllipseAmountsKept(light, *kept, dy, count, up + kEllipseReach, down + kEllipseReach);
  } else {
    EllipseAmounts(light, dy, count, up + kEllipseReach, down + kEllipseReach);
  }
  for (int32_t d = 1; d <= nearSide; ++d) {
    up[kEllipseReach - d] = up[kEllipseReach + d];
    down[kEllipseReach - d] = down[kEllipseReach + d];
  }
  const int32_t first = kEllipseReach - nearSide;
  for (uint32_t* line : {above, below}) {
    if (line != nullptr) ApplyAmounts(line + left, up + first, down + first, right - left + 1);
  }
}

#if VX_EFFECTS_X86

// ---- Disc tints ----------------------------------------------------------

void AddClampedSse2(uint32_t* line, int32_t count, int32_t blue, int32_t green, int32_t red) {
  const ClampedAmounts a = PackAmounts(blue, green, red);
  const __m128i add = _mm_set1_epi32(static_cast<int32_t>(a.up));
  const __m128i sub = _mm_set1_epi32(static_cast<int32_t>(a.down));
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    __m128i* p = reinterpret_cast<__m128i*>(line + i);
    _mm_storeu_si128(p, _mm_subs_epu8(_mm_adds_epu8(_mm_loadu_si128(p), add), sub));
  }
  AddClampedPlain(line + i, count - i, blue, green, red);
}

// The lanes of the last `left` (1 .. 7) pixels of a run.
__attribute__((target("avx2"))) inline __m256i TailMask(int32_t left) {
  return _mm256_cmpgt_epi32(_mm256_set1_epi32(left), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}

// Twinkle discs are a few dozen pixels wide: a run's last pixels go through
// lane masks rather than one by one.
__attribute__((target("avx2"))) void AddClampedAvx2(uint32_t* line, int32_t count, int32_t blue,
                                                    int32_t green, int32_t red) {
  const ClampedAmounts a = PackAmounts(blue, green, red);
  const __m256i add = _mm256_set1_epi32(static_cast<int32_t>(a.up));
  const __m256i sub = _mm256_set1_epi32(static_cast<int32_t>(a.down));
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    __m256i* p = reinterpret_cast<__m256i*>(line + i);
    _mm256_storeu_si256(p, _mm256_subs_epu8(_mm256_adds_epu8(_mm256_loadu_si256(p), add), sub));
  }
  if (i < count) {
    const __m256i mask = TailMask(count - i);
    int* p = reinterpret_cast<int*>(line + i);
    _mm256_maskstore_epi32(p, mask,
                           _mm256_subs_epu8(_mm256_adds_epu8(_mm256_maskload_epi32(p, mask), add), sub));
  }
}

__attribute__((target("avx2"))) void AddPackedAvx2(uint32_t* line, int32_t count, uint32_t packed) {
  const __m256i add = _mm256_set1_epi32(static_cast<int32_t>(packed));
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    __m256i* p = reinterpret_cast<__m256i*>(line + i);
    _mm256_storeu_si256(p, _mm256_add_epi32(_mm256_loadu_si256(p), add));
  }
  if (i < count) {
    const __m256i mask = TailMask(count - i);
    int* p = reinterpret_cast<int*>(line + i);
    _mm256_maskstore_epi32(p, mask, _mm256_add_epi32(_mm256_maskload_epi32(p, mask), add));
  }
}

// One amount for every pixel of every run: added with carries (fast) or
// added and subtracted with saturation.
__attribute__((target("avx2"))) void TintRunsAvx2(const PixelRun* runs, int32_t n, const Tint& tint) {
  const ClampedAmounts a =
      tint.fast ? ClampedAmounts{tint.packed, 0} : PackAmounts(tint.blue, tint.green, tint.red);
  const __m256i add = _mm256_set1_epi32(static_cast<int32_t>(a.up));
  const __m256i sub = _mm256_set1_epi32(static_cast<int32_t>(a.down));
  for (int32_t r = 0; r < n; ++r) {
    uint32_t* line = runs[r].start;
    const int32_t count = runs[r].count;
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
      __m256i* p = reinterpret_cast<__m256i*>(line + i);
      const __m256i v = _mm256_loadu_si256(p);
      _mm256_storeu_si256(
          p, tint.fast ? _mm256_add_epi32(v, add) : _mm256_subs_epu8(_mm256_adds_epu8(v, add), sub));
    }
    if (i < count) {
      const __m256i mask = TailMask(count - i);
      int* p = reinterpret_cast<int*>(line + i);
      const __m256i v = _mm256_maskload_epi32(p, mask);
      _mm256_maskstore_epi32(
          p, mask, tint.fast ? _mm256_add_epi32(v, add) : _mm256_subs_epu8(_mm256_adds_epu8(v, add), sub));
    }
  }
}

// ---- Shimmer -------------------------------------------------------------

// All ones in the lanes of the 8 pixels at `at` whose b + g + r lies
// within [low, high].
__attribute__((target("avx2"), always_inline)) inline __m256i InRangeAvx2(const uint32_t* at, __m256i low,
                                                                          __m256i high) {
  const __m256i byteMask = _mm256_set1_epi32(0xff);
  const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
  const __m256i b = _mm256_add_epi32(
      _mm256_add_epi32(_mm256_and_si256(p, byteMask), _mm256_and_si256(_mm256_srli_epi32(p, 8), byteMask)),
      _mm256_and_si256(_mm256_srli_epi32(p, 16), byteMask));
  return _mm256_andnot_si256(_mm256_or_si256(_mm256_cmpgt_epi32(low, b), _mm256_cmpgt_epi32(b, high)),
                             _mm256_set1_epi32(-1));
}

// Eight columns at a time: shifts, tests, targets and means in vector
// lanes, then the moved pixels written one by one in column order, so a
// later column's pixel wins a shared target as in the plain pass. The
// caller makes sure the products fit 32 bits.
__attribute__((target("avx2"))) void RippleAvx2(const RippleRow& row, uint32_t* line, const uint32_t* copy,
                                                bool everyPixel) {
  const int32_t* wave = Wave().value.data();
  const __m256i factor = _mm256_set1_epi32(static_cast<int32_t>(row.factor));
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i one = _mm256_set1_epi32(1);
  const __m256i minusOne = _mm256_set1_epi32(-1);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i lastColumn = _mm256_set1_epi32(row.width - 1);
  const __m256i halfMask = _mm256_set1_epi32(static_cast<int32_t>(0xfefefefeu));
  const __m256i low = _mm256_set1_epi32(row.min);
  const __m256i high = _mm256_set1_epi32(row.max);
  alignas(32) int32_t targets[8];
  alignas(32) uint32_t means[8];
  int32_t x = row.left;
  for (; x + 7 <= row.right; x += 8) {
    const __m256i u = _mm256_srai_epi32(
        _mm256_mullo_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(wave + (x - row.left))),
                           factor),
        22);
    __m256i moved = _mm256_or_si256(_mm256_cmpgt_epi32(u, one), _mm256_cmpgt_epi32(minusOne, u));
    if (!everyPixel) {
      const __m256i near =
          _mm256_or_si256(InRangeAvx2(copy + x, low, high), InRangeAvx2(copy + x - 6, low, high));
      moved = _mm256_and_si256(moved, _mm256_or_si256(near, InRangeAvx2(copy + x + 6, low, high)));
    }
    uint32_t mask = static_cast<uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(moved)));
    if (mask == 0) continue;
    // u / 2 truncates toward zero.
    const __m256i half = _mm256_srai_epi32(_mm256_add_epi32(u, _mm256_srli_epi32(u, 31)), 1);
    const __m256i column = _mm256_add_epi32(_mm256_set1_epi32(x), lanes);
    const __m256i target =
        _mm256_min_epi32(_mm256_max_epi32(_mm256_add_epi32(column, half), zero), lastColumn);
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(copy + x));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(copy + x - 1));
    const __m256i mean = _mm256_add_epi32(
        _mm256_and_si256(a, b), _mm256_srli_epi32(_mm256_and_si256(_mm256_xor_si256(a, b), halfMask), 1));
    _mm256_store_si256(reinterpret_cast<__m256i*>(targets), target);
    _mm256_store_si256(reinterpret_cast<__m256i*>(means), mean);
    for (; mask != 0; mask &= mask - 1) {
      const int j = __builtin_ctz(mask);
      line[targets[j]] = means[j];
    }
  }
  RippleColumns(row, line, copy, x, everyPixel);
}

// ---- Radial light --------------------------------------------------------

// The square root from single precision, exact for these integers (as the
// textured light's); the row's last pixels through lane masks.
__attribute__((target("avx2"))) void RadialLightRowAvx2(const RadialRow& light, uint32_t* line, int32_t left,
                                                        int32_t right) {
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i dySquared = _mm256_set1_epi32(light.dy * light.dy);
  const __m256i radius = _mm256_set1_epi32(light.radius);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i byteMax = _mm256_set1_epi32(255);
  const __m256i alpha = _mm256_set1_epi32(static_cast<int32_t>(0xff000000u));
  __m256i amount[3];
  for (int32_t c = 0; c < 3; ++c) amount[c] = _mm256_set1_epi32(light.amount[c]);
  for (int32_t col = left; col <= right; col += 8) {
    const __m256i dx = _mm256_add_epi32(_mm256_set1_epi32(col - light.x), lanes);
    const __m256i dd = _mm256_add_epi32(_mm256_mullo_epi32(dx, dx), dySquared);
    const __m256i k = _mm256_sub_epi32(radius, _mm256_cvttps_epi32(_mm256_sqrt_ps(_mm256_cvtepi32_ps(dd))));
    const __m256i inRow = TailMask(std::min(right - col + 1, 8));
    int* at = reinterpret_cast<int*>(line + col);
    const __m256i p = _mm256_maskload_epi32(at, inRow);
    __m256i out = _mm256_and_si256(p, alpha);
    for (int32_t c = 0; c < 3; ++c) {
      const __m256i add = _mm256_srai_epi32(_mm256_mullo_epi32(amount[c], k), 5);
      const __m256i byte = _mm256_and_si256(_mm256_srli_epi32(p, 8 * c), byteMax);
      const __m256i v = _mm256_min_epi32(_mm256_max_epi32(_mm256_add_epi32(byte, add), zero), byteMax);
      out = _mm256_or_si256(out, _mm256_slli_epi32(v, 8 * c));
    }
    _mm256_maskstore_epi32(at, inRow, out);
  }
}

// ---- Textured light ------------------------------------------------------

// The square root comes from single precision (exact for these integers),
// the falloff from its formula: ((k · k / 16) · 19 + 45 · k) / 64.
__attribute__((target("avx2"))) void TexturedLightRowAvx2(const TexturedRow& light, uint32_t* line,
                                                          int32_t left, int32_t right) {
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i dySquared = _mm256_set1_epi32(light.dy * light.dy);
  const __m256i radius = _mm256_set1_epi32(light.radius);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i byteMax = _mm256_set1_epi32(255);
  const __m256i kMax = _mm256_set1_epi32(256);
  const __m256i alpha = _mm256_set1_epi32(static_cast<int32_t>(0xff000000u));
  __m256i amount[3];
  for (int32_t c = 0; c < 3; ++c) amount[c] = _mm256_set1_epi32(light.amount[c]);
  int32_t col = left;
  for (; col + 8 <= right + 1; col += 8) {
    const int32_t dx0 = col - light.x;
    const __m256i dx = _mm256_add_epi32(_mm256_set1_epi32(dx0), lanes);
    const __m256i dd = _mm256_add_epi32(_mm256_mullo_epi32(dx, dx), dySquared);
    const __m256i d = _mm256_cvttps_epi32(_mm256_sqrt_ps(_mm256_cvtepi32_ps(dd)));
    const __m256i k = _mm256_min_epi32(_mm256_max_epi32(_mm256_sub_epi32(radius, d), zero), kMax);
    const __m256i squares =
        _mm256_mullo_epi32(_mm256_srli_epi32(_mm256_mullo_epi32(k, k), 4), _mm256_set1_epi32(19));
    __m256i strength =
        _mm256_srli_epi32(_mm256_add_epi32(squares, _mm256_mullo_epi32(k, _mm256_set1_epi32(45))), 6);
    if (light.map != nullptr) {
      const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(light.map + dx0));
      const __m256i m = _mm256_cvtepu8_epi32(bytes);
      strength = _mm256_add_epi32(strength, _mm256_srli_epi32(_mm256_mullo_epi32(strength, m), 7));
    }
    __m256i* at = reinterpret_cast<__m256i*>(line + col);
    const __m256i p = _mm256_loadu_si256(at);
    __m256i out = _mm256_and_si256(p, alpha);
    for (int32_t c = 0; c < 3; ++c) {
      const __m256i add = _mm256_srai_epi32(_mm256_mullo_epi32(amount[c], strength), 5);
      const __m256i byte = _mm256_and_si256(_mm256_srli_epi32(p, 8 * c), byteMax);
      const __m256i v = _mm256_min_epi32(_mm256_max_epi32(_mm256_add_epi32(byte, add), zero), byteMax);
      out = _mm256_or_si256(out, _mm256_slli_epi32(v, 8 * c));
    }
    _mm256_storeu_si256(at, out);
  }
  TexturedLightRowPlain(light, line, col, right);
}

// ---- Elliptical light ----------------------------------------------------

__attribute__((target("avx2"))) void EllipseRowAvx2(const EllipseLight& light, uint32_t* line, int32_t dy,
                                                    int32_t left, int32_t right) {
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i rowPart = _mm256_set1_epi32(9 * dy * dy);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i byteMax = _mm256_set1_epi32(255);
  const __m256i t256 = _mm256_set1_epi32(256);
  const __m256i alpha = _mm256_set1_epi32(static_cast<int32_t>(0xff000000u));
  __m256i limit[3];
  __m256i scale[3];
  __m256i radius[3];
  __m256i amount[3];
  for (int32_t c = 0; c < 3; ++c) {
    limit[c] = _mm256_set1_epi32(light.limit[c]);
    scale[c] = _mm256_set1_epi32(light.scale[c]);
    radius[c] = _mm256_set1_epi32(light.radius[c]);
    amount[c] = _mm256_set1_epi32(light.amount[c]);
  }
  int32_t col = left;
  for (; col + 8 <= right + 1; col += 8) {
    const __m256i dx = _mm256_add_epi32(_mm256_set1_epi32(col - light.x), lanes);
    const __m256i e = _mm256_add_epi32(_mm256_slli_epi32(_mm256_mullo_epi32(dx, dx), 2), rowPart);
    __m256i* at = reinterpret_cast<__m256i*>(line + col);
    const __m256i p = _mm256_loadu_si256(at);
    __m256i out = _mm256_and_si256(p, alpha);
    for (int32_t c = 0; c < 3; ++c) {
      const __m256i inside = _mm256_cmpgt_epi32(limit[c], e);
      const __m256i t = _mm256_sub_epi32(t256, _mm256_srai_epi32(_mm256_mullo_epi32(e, scale[c]), 16));
      __m256i weight = _mm256_srai_epi32(_mm256_mullo_epi32(radius[c], _mm256_mullo_epi32(t, t)), 9);
      weight = _mm256_and_si256(weight, inside);
      const __m256i add = _mm256_srai_epi32(_mm256_mullo_epi32(amount[c], weight), 10);
      const __m256i byte = _mm256_and_si256(_mm256_srli_epi32(p, 8 * c), byteMax);
      const __m256i v = _mm256_min_epi32(_mm256_max_epi32(_mm256_add_epi32(byte, add), zero), byteMax);
      out = _mm256_or_si256(out, _mm256_slli_epi32(v, 8 * c));
    }
    _mm256_storeu_si256(at, out);
  }
  EllipseRowPlain(light, line, dy, col, right);
}

// ---- Elliptical light, mirrored --------------------------------------------

// Channel c's amounts `add` into the packed amounts: min(255, add) into
// `brighten`, min(255, -add) into `darken`, each in the channel's byte.
__attribute__((target("avx2"))) inline void AddChannelAmounts(__m256i add, int32_t c, __m256i& brighten,
                                                              __m256i& darken) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i byteMax = _mm256_set1_epi32(255);
  brighten = _mm256_or_si256(
      brighten, _mm256_slli_epi32(_mm256_min_epi32(_mm256_max_epi32(add, zero), byteMax), 8 * c));
  darken = _mm256_or_si256(
      darken, _mm256_slli_epi32(
                  _mm256_min_epi32(_mm256_max_epi32(_mm256_sub_epi32(zero, add), zero), byteMax), 8 * c));
}

// Per dx = 0 .. count - 1 of row dy, the light's byte amounts packed as a
// pixel: up holds min(255, amount) of the channels that brighten, down
// min(255, -amount) of those that darken, so that clamp(c + amount, 0, 255)
// is a saturating add of up and subtract of down.
__attribute__((target("avx2"))) void EllipseAmountsAvx2(const EllipseLight& light, int32_t dy, int32_t count,
                                                        uint32_t* up, uint32_t* down) {
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i rowPart = _mm256_set1_epi32(9 * dy * dy);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i t256 = _mm256_set1_epi32(256);
  for (int32_t d = 0; d < count; d += 8) {
    const __m256i dx = _mm256_add_epi32(_mm256_set1_epi32(d), lanes);
    const __m256i e = _mm256_add_epi32(_mm256_slli_epi32(_mm256_mullo_epi32(dx, dx), 2), rowPart);
    __m256i brighten = zero;
    __m256i darken = zero;
    for (int32_t c = 0; c < 3; ++c) {
      const __m256i inside = _mm256_cmpgt_epi32(_mm256_set1_epi32(light.limit[c]), e);
      const __m256i t = _mm256_sub_epi32(
          t256, _mm256_srai_epi32(_mm256_mullo_epi32(e, _mm256_set1_epi32(light.scale[c])), 16));
      const __m256i weight = _mm256_and_si256(
          _mm256_srai_epi32(_mm256_mullo_epi32(_mm256_set1_epi32(light.radius[c]), _mm256_mullo_epi32(t, t)),
                            9),
          inside);
      const __m256i add =
          _mm256_srai_epi32(_mm256_mullo_epi32(_mm256_set1_epi32(light.amount[c]), weight), 10);
      AddChannelAmounts(add, c, brighten, darken);
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(up + d), brighten);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(down + d), darken);
  }
}

// EllipseAmountsAvx2 from kept weights: only the amounts are multiplied.
__attribute__((target("avx2"))) void EllipseAmountsKeptAvx2(const EllipseLight& light,
                                                            const EllipseWeights& w, int32_t dy,
                                                            int32_t count, uint32_t* up, uint32_t* down) {
  const __m256i zero = _mm256_setzero_si256();
  const size_t row = static_cast<size_t>(dy) * static_cast<size_t>(w.columns);
  __m256i amount[3];
  for (int32_t c = 0; c < 3; ++c) amount[c] = _mm256_set1_epi32(light.amount[c]);
  for (int32_t d = 0; d < count; d += 8) {
    __m256i brighten = zero;
    __m256i darken = zero;
    for (int32_t c = 0; c < 3; ++c) {
      const __m256i weight = _mm256_cvtepi16_epi32(
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(w.weight[c].data() + row + d)));
      const __m256i add = _mm256_srai_epi32(_mm256_mullo_epi32(amount[c], weight), 10);
      AddChannelAmounts(add, c, brighten, darken);
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(up + d), brighten);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(down + d), darken);
  }
}

// Pixels 0 .. count - 1 of the line gain up[i] and lose down[i] per byte,
// saturating; the last partial group of eight goes through lane masks.
__attribute__((target("avx2"))) void ApplyAmountsAvx2(uint32_t* line, const uint32_t* up,
                                                      const uint32_t* down, int32_t count) {
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    __m256i* at = reinterpret_cast<__m256i*>(line + i);
    const __m256i p = _mm256_adds_epu8(_mm256_loadu_si256(at),
                                       _mm256_loadu_si256(reinterpret_cast<const __m256i*>(up + i)));
    _mm256_storeu_si256(at,
                        _mm256_subs_epu8(p, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(down + i))));
  }
  if (i < count) {
    const __m256i mask = TailMask(count - i);
    int* at = reinterpret_cast<int*>(line + i);
    const __m256i p = _mm256_adds_epu8(_mm256_maskload_epi32(at, mask),
                                       _mm256_loadu_si256(reinterpret_cast<const __m256i*>(up + i)));
    _mm256_maskstore_epi32(
        at, mask, _mm256_subs_epu8(p, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(down + i))));
  }
}

void EllipseRowPairAvx2(const EllipseLight& light, uint32_t* above, uint32_t* below, int32_t dy, int32_t left,
                        int32_t right) {
  alignas(32) uint32_t up[2 * kEllipseReach + 8];
  alignas(32) uint32_t down[2 * kEllipseReach + 8];
  const int32_t nearSide = light.x - left;  // columns left of the centre
  const int32_t farSide = right - light.x;
  const int32_t count = std::max(nearSide, farSide) + 1;
  const EllipseWeights* kept = WeightsFor(light);
  if (kept != nullptr && dy < kept->rows && count <= kept->columns) {
    EllipseAmountsKeptAvx2(light, *kept, dy, count, up + kEllipseReach, down + kEllipseReach);
  } else {
    EllipseAmountsAvx2(light, dy, count, up + kEllipseReach, down + kEllipseReach);
  }
  for (int32_t d = 1; d <= nearSide; ++d) {
    up[kEllipseReach - d] = up[kEllipseReach + d];
    down[kEllipseReach - d] = down[kEllipseReach + d];
  }
  const int32_t first = kEllipseReach - nearSide;
  for (uint32_t* line : {above, below}) {
    if (line != nullptr) ApplyAmountsAvx2(line + left, up + first, down + first, right - left + 1);
  }
}

// ---- Fog layers ----------------------------------------------------------

// The plain loops vectorise as written; these copies are compiled for AVX2.
__attribute__((target("avx2"))) void SumBytesAvx2(uint16_t* sums, const uint8_t* bytes, int32_t count) {
  for (int32_t j = 0; j < count; ++j) sums[j] = static_cast<uint16_t>(sums[j] + bytes[j]);
}

// Mode 2: each colour byte gains min(255, sum / 2) with saturation.
void ApplySums8Sse2(uint32_t* line, const uint16_t* sums, int32_t count) {
  const __m128i colours = _mm_set1_epi32(0x00ffffff);
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i half = _mm_srli_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(sums + i)), 1);
    const __m128i bytes = _mm_packus_epi16(half, half);     // 4 bytes, saturated
    const __m128i pairs = _mm_unpacklo_epi8(bytes, bytes);  // each twice
    const __m128i quads = _mm_and_si128(_mm_unpacklo_epi16(pairs, pairs), colours);
    __m128i* p = reinterpret_cast<__m128i*>(line + i);
    _mm_storeu_si128(p, _mm_adds_epu8(_mm_loadu_si128(p), quads));
  }
  ApplyLayerSums8Plain(line + i, sums + i, count - i);
}

// Mode 1: each pixel gains the layer pixel's colour bytes as one 32-bit
// number, modulo 2^32.
__attribute__((target("avx2"))) void AddLayerRow32Avx2(uint32_t* line, const uint32_t* layer, int32_t count) {
  const __m256i colours = _mm256_set1_epi32(0x00ffffff);
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m256i l =
        _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(layer + i)), colours);
    __m256i* p = reinterpret_cast<__m256i*>(line + i);
    _mm256_storeu_si256(p, _mm256_add_epi32(_mm256_loadu_si256(p), l));
  }
  AddLayerRow32Plain(line + i, layer + i, count - i);
}

void AddLayerRow32Sse2(uint32_t* line, const uint32_t* layer, int32_t count) {
  const __m128i colours = _mm_set1_epi32(0x00ffffff);
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i l = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(layer + i)), colours);
    __m128i* p = reinterpret_cast<__m128i*>(line + i);
    _mm_storeu_si128(p, _mm_add_epi32(_mm_loadu_si128(p), l));
  }
  AddLayerRow32Plain(line + i, layer + i, count - i);
}

#endif

}  // namespace

void AddPacked(uint32_t* line, int32_t count, uint32_t packed) {
#if VX_EFFECTS_X86
  if (UseAvx2()) {
    AddPackedAvx2(line, count, packed);
    return;
  }
#endif
  AddPackedPlain(line, count, packed);
}

void TintRuns(const PixelRun* runs, int32_t n, const Tint& tint) {
#if VX_EFFECTS_X86
  if (UseAvx2()) {
    TintRunsAvx2(runs, n, tint);
    return;
  }
#endif
  // The amounts packed once for every run, as the AVX2 form does.
  const ClampedAmounts a = PackAmounts(tint.blue, tint.green, tint.red);
  for (int32_t i = 0; i < n; ++i) {
    if (tint.fast) {
      AddPackedPlain(runs[i].start, runs[i].count, tint.packed);
    } else {
      byte_lanes::AddThenSubtract(runs[i].start, runs[i].count, a.up, a.down);
    }
  }
}

void AddClamped(uint32_t* line, int32_t count, int32_t blue, int32_t green, int32_t red) {
#if VX_EFFECTS_X86
  if (UseAvx2()) {
    AddClampedAvx2(line, count, blue, green, red);
    return;
  }
  if (UseSse2()) {
    AddClampedSse2(line, count, blue, green, red);
    return;
  }
#endif
  AddClampedLanes(line, count, blue, green, red);
}

void RadialLightRow(const RadialRow& light, uint32_t* line, int32_t left, int32_t right) {
#if VX_EFFECTS_X86
  if (UseAvx2()) {
    RadialLightRowAvx2(light, line, left, right);
    return;
  }
#endif
  RadialLightRowTabled(light, line, left, right);
}

void TexturedLightRow(const TexturedRow& light, uint32_t* line, int32_t left, int32_t right) {
#if VX_EFFECTS_X86
  if (UseAvx2()) {
    TexturedLightRowAvx2(light, line, left, right);
    return;
  }
#endif
  TexturedLightRowTabled(light, line, left, right);
}

void EllipseRow(const EllipseLight& light, uint32_t* line, int32_t dy, int32_t left, int32_t right) {
#if VX_EFFECTS_X86
  if (light.mode == 0 && UseAvx2()) {
    EllipseRowAvx2(light, line, dy, left, right);
    return;
  }
#endif
  EllipseRowPlain(light, line, dy, left, right);
}

// Only columns left - 6 .. right + 6 are read, so only they are copied; an
// area whose range takes every brightness (0 .. 765) needs no test.
void Ripple(const RippleRow& row, uint32_t* line, uint32_t* copy) {
  // The wave table's form runs at every level, the plain one included:
  // it is what processors without the vector paths run.
  if (row.right - row.left >= kWaveColumns) {
    RipplePlain(row, line, copy);
    return;
  }
  if (row.left > row.right) return;
  std::copy(line + row.left - 6, line + row.right + 7, copy + row.left - 6);
  const bool everyPixel = row.min <= 0 && row.max >= 3 * 255;
  // The vector lanes multiply in 32 bits.
  const int64_t limit = (int64_t{1} << 31) / (int64_t{Wave().largest} + 1);
#if VX_EFFECTS_X86
  if (UseAvx2() && row.factor < limit && row.factor > -limit) {
    RippleAvx2(row, line, copy, everyPixel);
    return;
  }
#endif
  if (row.factor < limit && row.factor > -limit) {
    if (everyPixel) {
      RippleLanes<true>(row, line, copy);
    } else {
      RippleLanes<false>(row, line, copy);
    }
    return;
  }
  RippleColumns(row, line, copy, row.left, everyPixel);
}

void EllipseRowPair(const EllipseLight& light, uint32_t* above, uint32_t* below, int32_t dy, int32_t left,
                    int32_t right) {
#if VX_EFFECTS_X86
  // Half-widths past the amount arrays (not made by the light primitives,
  // whose radius stops at 176) go row by row.
  if (light.mode == 0 && UseAvx2() && light.x - left < kEllipseReach && right - light.x < kEllipseReach) {
    EllipseRowPairAvx2(light, above, below, dy, left, right);
    return;
  }
#endif
  // Below AVX2 (and on other processors) the same mirrored form in plain
  // loops; the plain level runs it too, being what other processors run.
  if (light.mode == 0 && light.x - left < kEllipseReach && right - light.x < kEllipseReach && left <= right) {
    EllipseRowPairMirrored(light, above, below, dy, left, right);
    return;
  }
  if (above != nullptr) EllipseRow(light, above, -dy, left, right);
  if (below != nullptr) EllipseRow(light, below, dy, left, right);
}

void AddLayerRow32(uint32_t* line, const uint32_t* layer, int32_t count) {
#if VX_EFFECTS_X86
  if (UseAvx2()) {
    AddLayerRow32Avx2(line, layer, count);
    return;
  }
  if (UseSse2()) {
    AddLayerRow32Sse2(line, layer, count);
    return;
  }
#endif
  AddLayerRow32Plain(line, layer, count);
}

void SumLayerRow8(uint16_t* sums, const uint8_t* layer, int32_t count) {
#if VX_EFFECTS_X86
  if (UseAvx2()) {
    SumBytesAvx2(sums, layer, count);
    return;
  }
#endif
  SumLayerRow8Plain(sums, layer, count);
}

void ApplyLayerSums8(uint32_t* line, const uint16_t* sums, int32_t count) {
#if VX_EFFECTS_X86
  if (UseSse2()) {
    ApplySums8Sse2(line, sums, count);
    return;
  }
#endif
  ApplySums8Lanes(line, sums, count);
}

}  // namespace fx_kernels
