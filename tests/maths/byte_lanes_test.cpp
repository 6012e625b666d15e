// The word forms of saturating byte arithmetic against the byte-by-byte
// definition: every pair of bytes in every position, the other bytes of
// the words chosen so that a carry or borrow leaking out of the pair shows.
#include "maths/byte_lanes.h"

#include <gtest/gtest.h>

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

}  // namespace
