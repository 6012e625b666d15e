// The word forms of saturating byte arithmetic against the byte-by-byte
// definition: every pair of bytes in every position, the other bytes of
// the words chosen so that a carry or borrow leaking out of the pair shows.
#include "maths/byte_lanes.h"

#include <gtest/gtest.h>

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
