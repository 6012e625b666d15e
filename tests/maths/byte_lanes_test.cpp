// The word forms of saturating byte arithmetic against the byte-by-byte
// definition: every pair of bytes in every position, the other bytes of
// the words chosen so that a carry or borrow leaking out of the pair shows.
#include "maths/byte_lanes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

namespace {

uint32_t ByteAt(uint32_t v, int shift) { return (v >> shift) & 0xffu; }

TEST(ByteLanes, EveryBytePairInEveryPositionMatchesTheClampedSums) {
  // Neighbours at the extremes: 0x00 and 0xff around the pair, either way.
  const uint32_t others[][2] = {{0x00000000u, 0xffffffffu}, {0xffffffffu, 0x00000000u},
                                {0xffffffffu, 0xffffffffu}, {0x00000000u, 0x00000000u},
                                {0x80808080u, 0x7f7f7f7fu}};
  int64_t wrong = 0;
  for (const auto& o : others) {
    for (int shift = 0; shift < 32; shift += 8) {
      const uint32_t keep = ~(0xffu << shift);
      for (uint32_t a = 0; a < 256; ++a) {
        for (uint32_t b = 0; b < 256; ++b) {
          const uint32_t x = (a << shift) | (o[0] & keep);
          const uint32_t y = (b << shift) | (o[1] & keep);
          const uint32_t sum = byte_lanes::AddSaturated(x, y);
          const uint32_t diff = byte_lanes::SubtractSaturated(x, y);
          for (int s = 0; s < 32; s += 8) {
            const uint32_t p = ByteAt(x, s);
            const uint32_t q = ByteAt(y, s);
            wrong += ByteAt(sum, s) != std::min(255u, p + q) ? 1 : 0;
            wrong += ByteAt(diff, s) != (p > q ? p - q : 0u) ? 1 : 0;
          }
        }
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

// The vector forms (the target's saturating instructions where it has
// them) against the forms through a byte minimum, on every pair of bytes.
TEST(ByteLanes, VectorSaturationMatchesTheMinimumFormsOnEveryBytePair) {
  using byte_lanes::detail::Bytes16;
  int64_t wrong = 0;
  for (uint32_t a = 0; a < 256; ++a) {
    for (uint32_t b0 = 0; b0 < 256; b0 += 16) {
      Bytes16 x;
      Bytes16 y;
      for (int i = 0; i < 16; ++i) {
        x[i] = static_cast<uint8_t>(a);
        y[i] = static_cast<uint8_t>(b0 + static_cast<uint32_t>(i));
      }
      const Bytes16 sum = byte_lanes::detail::AddSaturated(x, y);
      const Bytes16 diff = byte_lanes::detail::SubtractSaturated(x, y);
      const Bytes16 sumByMin = byte_lanes::detail::AddSaturatedByMin(x, y);
      const Bytes16 diffByMin = byte_lanes::detail::SubtractSaturatedByMin(x, y);
      for (int i = 0; i < 16; ++i) {
        const uint32_t p = x[i];
        const uint32_t q = y[i];
        wrong += sum[i] != std::min(255u, p + q) || sumByMin[i] != sum[i] ? 1 : 0;
        wrong += diff[i] != (p > q ? p - q : 0u) || diffByMin[i] != diff[i] ? 1 : 0;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

// The word products and the saturating narrowing (the target's own
// instructions where it has them) against the generic forms and against
// 32-bit arithmetic: every word against factors at both ends of the range
// and around zero, and 32-bit values around the word limits.
TEST(ByteLanes, WordProductsAndNarrowingMatchThe32BitForms) {
  using byte_lanes::detail::Ints4;
  using byte_lanes::detail::Words8;
  const int32_t factors[] = {INT16_MIN, INT16_MIN + 1, -12288, -256, -1, 0, 1, 255,
                             12288, INT16_MAX - 1, INT16_MAX};
  int64_t wrong = 0;
  for (const int32_t f : factors) {
    for (int32_t a0 = INT16_MIN; a0 <= INT16_MAX; a0 += 8) {
      Words8 a;
      Words8 b;
      for (int32_t i = 0; i < 8; ++i) {
        a[i] = static_cast<int16_t>(a0 + i);
        b[i] = static_cast<int16_t>(i % 2 == 0 ? f : -f - 1);  // -f - 1 stays a word
      }
      Ints4 low;
      Ints4 high;
      Ints4 lowGeneric;
      Ints4 highGeneric;
      byte_lanes::detail::MultiplyWide(a, b, low, high);
      byte_lanes::detail::MultiplyWideByConversion(a, b, lowGeneric, highGeneric);
      for (int32_t i = 0; i < 8; ++i) {
        const int32_t expect = int32_t{a[i]} * int32_t{b[i]};
        const int32_t got = i < 4 ? low[i] : high[i - 4];
        const int32_t generic = i < 4 ? lowGeneric[i] : highGeneric[i - 4];
        wrong += got != expect || generic != expect ? 1 : 0;
      }
    }
  }
  EXPECT_EQ(wrong, 0);

  wrong = 0;
  const int32_t edges[] = {INT32_MIN, INT32_MIN + 1, -(1 << 20), -32769, -32768, -32767, -256, -255, -1, 0,
                           1, 255, 256, 32766, 32767, 32768, 32769, 1 << 20, INT32_MAX - 1, INT32_MAX};
  for (const int32_t e : edges) {
    for (int32_t step = -4; step <= 4; ++step) {
      Ints4 low;
      Ints4 high;
      for (int32_t i = 0; i < 4; ++i) {
        const int64_t v = int64_t{e} + step * 8 + i;
        low[i] = static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
        high[i] = static_cast<int32_t>(std::clamp<int64_t>(-v, INT32_MIN, INT32_MAX));
      }
      const Words8 got = byte_lanes::detail::NarrowSaturated(low, high);
      const Words8 generic = byte_lanes::detail::NarrowSaturatedByClamp(low, high);
      for (int32_t i = 0; i < 8; ++i) {
        const int32_t v = i < 4 ? low[i] : high[i - 4];
        const int32_t expect = std::clamp<int32_t>(v, INT16_MIN, INT16_MAX);
        wrong += got[i] != expect || generic[i] != expect ? 1 : 0;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

// The rows (four pixels a vector, the rest word by word) against the words
// one by one, on every length around the vector step and at every offset
// from an aligned start; nothing past the row is written.
TEST(ByteLanes, RowsMatchTheWordsOneByOne) {
  uint32_t seed = 11;
  const auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    // Bytes near both ends of their range, where the saturation shows.
    const uint32_t r = seed;
    return (r & 0x10101010u) != 0 ? r | 0xc0c0c0c0u : r & 0x3f3f3f3fu;
  };
  for (int32_t count = 0; count <= 19; ++count) {
    for (int32_t offset = 0; offset < 4; ++offset) {
      std::vector<uint32_t> line(32), up(32), down(32);
      for (size_t i = 0; i < 32; ++i) {
        line[i] = next();
        up[i] = next();
        down[i] = next();
      }
      std::vector<uint32_t> expect = line;
      for (int32_t i = offset; i < offset + count; ++i) {
        expect[static_cast<size_t>(i)] = byte_lanes::SubtractSaturated(
            byte_lanes::AddSaturated(expect[static_cast<size_t>(i)], up[static_cast<size_t>(i)]),
            down[static_cast<size_t>(i)]);
      }
      std::vector<uint32_t> got = line;
      byte_lanes::AddThenSubtract(got.data() + offset, up.data() + offset, down.data() + offset, count);
      ASSERT_EQ(got, expect) << "count " << count << " offset " << offset;

      expect = line;
      for (int32_t i = offset; i < offset + count; ++i)
        expect[static_cast<size_t>(i)] = byte_lanes::SubtractSaturated(
            byte_lanes::AddSaturated(expect[static_cast<size_t>(i)], up[0]), down[0]);
      got = line;
      byte_lanes::AddThenSubtract(got.data() + offset, count, up[0], down[0]);
      ASSERT_EQ(got, expect) << "count " << count << " offset " << offset;

      expect = line;
      for (int32_t i = offset; i < offset + count; ++i)
        expect[static_cast<size_t>(i)] =
            byte_lanes::AddSaturated(expect[static_cast<size_t>(i)], up[static_cast<size_t>(i)]);
      got = line;
      byte_lanes::AddRowSaturated(got.data() + offset, up.data() + offset, count);
      ASSERT_EQ(got, expect) << "count " << count << " offset " << offset;
    }
  }
}

}  // namespace
