// The double-resolution passes of the transformed blit at every kernel
// level against their definitions, on every width around the vector steps
// (4 and 8 pixels), with guards after the rows that must stay untouched.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gfx/draw_internal.h"
#include "platform/cpu_features.h"

namespace {

constexpr cpu::KernelLevel kLevels[] = {cpu::KernelLevel::kPlain, cpu::KernelLevel::kSse2,
                                        cpu::KernelLevel::kAvx2, cpu::KernelLevel::kAvx512};
constexpr uint32_t kGuard = 0x5a5a5a5au;

struct Rows {
  std::vector<uint32_t> screen, top, bottom;
};

Rows Random(int32_t count, uint32_t& seed) {
  const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  Rows r;
  r.screen.assign(static_cast<size_t>(count) + 8, kGuard);
  r.top.assign(2 * static_cast<size_t>(count) + 8, kGuard);
  r.bottom.assign(2 * static_cast<size_t>(count) + 8, kGuard);
  for (int32_t i = 0; i < count; ++i) r.screen[static_cast<size_t>(i)] = next();
  for (int32_t i = 0; i < 2 * count; ++i) {
    r.top[static_cast<size_t>(i)] = next();
    r.bottom[static_cast<size_t>(i)] = next();
  }
  return r;
}

TEST(BlockPasses, SpreadAndAverageMatchTheirDefinitionsAtEveryLevel) {
  uint32_t seed = 23;
  for (const cpu::KernelLevel level : kLevels) {
    cpu::ForceKernelLevel(level);
    for (int32_t count = 0; count <= 40; ++count) {
      const int32_t n = count <= 36 ? count : 100 + 37 * (count - 36);
      const Rows start = Random(n, seed);
      // Each screen pixel, marked, into its 2 x 2 block.
      Rows expect = start;
      for (int32_t i = 0; i < n; ++i) {
        const uint32_t p = start.screen[static_cast<size_t>(i)] | draw_detail::kMarkerBit;
        for (const int32_t k : {2 * i, 2 * i + 1}) expect.top[static_cast<size_t>(k)] = expect.bottom[static_cast<size_t>(k)] = p;
      }
      Rows got = start;
      draw_detail::SpreadToBlocks(got.screen.data(), got.top.data(), got.bottom.data(), n);
      ASSERT_EQ(got.top, expect.top) << "level " << static_cast<int32_t>(level) << " width " << n;
      ASSERT_EQ(got.bottom, expect.bottom) << "level " << static_cast<int32_t>(level) << " width " << n;
      // Each pixel the truncated mean of its block per channel, with the
      // top-left sample's alpha.
      expect = start;
      for (int32_t i = 0; i < n; ++i) {
        const uint32_t s[4] = {start.top[2 * static_cast<size_t>(i)], start.top[2 * static_cast<size_t>(i) + 1],
                               start.bottom[2 * static_cast<size_t>(i)],
                               start.bottom[2 * static_cast<size_t>(i) + 1]};
        uint32_t out = s[0] & 0xff000000u;
        for (int shift = 0; shift < 24; shift += 8) {
          uint32_t sum = 0;
          for (const uint32_t v : s) sum += (v >> shift) & 0xffu;
          out |= (sum / 4) << shift;
        }
        expect.screen[static_cast<size_t>(i)] = out;
      }
      got = start;
      draw_detail::AverageBlocks(got.screen.data(), got.top.data(), got.bottom.data(), n);
      ASSERT_EQ(got.screen, expect.screen) << "level " << static_cast<int32_t>(level) << " width " << n;
    }
  }
  cpu::ResetKernelLevel();
}

}  // namespace
