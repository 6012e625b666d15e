// Flash rings: the pool, their ageing, their random draws and their pixels.
#include <algorithm>
#include <cmath>

#include "effects/effects_ring_kernels.h"
#include "effects/effects_test_fixture.h"
#include "support/guarded_memory.h"

namespace vxtest {
namespace {

using EffectsFlashesTest = EffectsTest;

int32_t ActiveFlashes(const EffectsSystem& fx) {
  int32_t n = 0;
  for (const FlashRecord& f : fx.flashes) n += f.intensity >= 1 ? 1 : 0;
  return n;
}

TEST_F(EffectsFlashesTest, AddFlashTakesTheFirstFreeOf500WithClampedValues) {
  AddFlash(fx(), 10, 20, 30000, -5);
  EXPECT_EQ(fx().flashes[0].intensity, 20400);
  EXPECT_EQ(fx().flashes[0].x, 10);
  EXPECT_EQ(fx().flashes[0].y, 20);
  EXPECT_EQ(fx().flashes[0].decay, 1);
  AddFlash(fx(), 0, 0, 0, 100);  // below 1: nothing
  AddFlash(fx(), 0, 0, -50, 100);
  EXPECT_EQ(ActiveFlashes(fx()), 1);
  AddFlash(fx(), 30, 40, 1024, 512);
  EXPECT_EQ(fx().flashes[1].intensity, 1024);
  // A record freed by its ageing is the first to be taken again.
  fx().flashes[0].intensity = 0;
  AddFlash(fx(), 50, 60, 2560, 512);
  EXPECT_EQ(fx().flashes[0].x, 50);
  // The 501st simultaneous flash is dropped.
  ClearFlashes(fx());
  for (int32_t i = 0; i < kFlashPool; ++i) AddFlash(fx(), i, 7, 256 + i, 1);
  EXPECT_EQ(ActiveFlashes(fx()), kFlashPool);
  AddFlash(fx(), 999, 999, 5000, 1);
  for (const FlashRecord& f : fx().flashes) EXPECT_NE(f.x, 999);
  ClearFlashes(fx());
  EXPECT_EQ(ActiveFlashes(fx()), 0);
}

TEST_F(EffectsFlashesTest, AClampedFlashIsARadius79RingInTheFirstFrameAndThenShrinks) {
  Fill(Rgb(40, 40, 40));
  AddFlash(fx(), 400, 300, 50000, 1024);
  UpdateFlashes(fx(), gfx());
  // The disc of radius 79 bounds what the ring touches, and a ring that
  // large reaches well out into it.
  int32_t outside = 0;
  int32_t farInside = 0;
  for (int32_t y = 200; y < 400; ++y) {
    for (int32_t x = 300; x < 500; ++x) {
      const int32_t dd = (x - 400) * (x - 400) + (y - 300) * (y - 300);
      const bool changed = At(x, y) != Rgb(40, 40, 40);
      if (dd >= 79 * 79 && changed) ++outside;
      if (dd >= 60 * 60 && dd < 79 * 79 && changed) ++farInside;
    }
  }
  EXPECT_EQ(outside, 0);
  EXPECT_GT(farInside, 1000);
  EXPECT_EQ(fx().flashes[0].intensity, 20400 - 1024);
  // Intensity keeps falling by the decay until it is no longer positive.
  for (int32_t i = 0; i < 30; ++i) UpdateFlashes(fx(), gfx());
  EXPECT_EQ(fx().flashes[0].intensity, 20400 - 20 * 1024);
  UpdateFlashes(fx(), gfx());
  EXPECT_EQ(fx().flashes[0].intensity, 20400 - 20 * 1024);
}

TEST_F(EffectsFlashesTest, OnlyRingsOfOneTo80AreDrawnButAllAge) {
  Fill(Rgb(40, 40, 40));
  fx().flashes[0] = FlashRecord{81 * 256, 400, 300, 10};
  fx().flashes[1] = FlashRecord{255, 200, 200, 10};  // radius 0
  const auto before = Snapshot();
  const RandomSource start = engine.random;
  UpdateFlashes(fx(), gfx());
  EXPECT_EQ(Changed(before), 0);
  EXPECT_EQ(DrawsBetween(start, engine.random), 0);
  EXPECT_EQ(fx().flashes[0].intensity, 81 * 256 - 10);
  EXPECT_EQ(fx().flashes[1].intensity, 245);
  // The largest ring, 80, is drawn with its profile's draws.
  ClearFlashes(fx());
  fx().flashes[0] = FlashRecord{80 * 256, 400, 300, 10};
  const RandomSource next = engine.random;
  UpdateFlashes(fx(), gfx());
  EXPECT_GT(Changed(before), 1000);
  EXPECT_EQ(DrawsBetween(next, engine.random), 91);
}

TEST_F(EffectsFlashesTest, RingsAbove16Draw91RandomNumbersEach) {
  const RandomSource start = engine.random;
  AddFlash(fx(), 100, 100, 16 * 256 + 255, 1);  // radius 16: round
  UpdateFlashes(fx(), gfx());
  EXPECT_EQ(DrawsBetween(start, engine.random), 0);
  ClearFlashes(fx());
  const RandomSource next = engine.random;
  AddFlash(fx(), 100, 100, 17 * 256, 1);
  AddFlash(fx(), -500, -500, 40 * 256, 1);  // off screen: drawn all the same
  UpdateFlashes(fx(), gfx());
  EXPECT_EQ(DrawsBetween(next, engine.random), 2 * 91);
}

TEST_F(EffectsFlashesTest, ARingBrightensAndBendsThePictureInsideItsRim) {
  for (int32_t y = 0; y < kH; ++y) {
    for (int32_t x = 0; x < kW; ++x) At(x, y) = Rgb(x & 255, y & 255, (x * 7 + y * 13) & 127);
  }
  const auto before = Snapshot();
  DrawFlashRing(fx(), gfx(), 400, 300, 12);
  EXPECT_GT(Changed(before), 250);
  // A ring of 16 or less is round. Its centre lies 48 quarter pixels deep,
  // past its own light (which fades out by 3 + 12 / 3 pixels): it shows the
  // pixel 3 to the right and 1 below, brightened by (27 · 48 / 2 + 8100) / 8192.
  const uint32_t source = before[301 * kW + 403];
  const uint32_t f = (27 * 48 >> 1) + 8100;
  const auto lens = [&](int32_t shift) {
    return std::min<uint32_t>(255, ((source >> shift) & 0xffu) * f >> 13) << shift;
  };
  EXPECT_EQ(At(400, 300), (source & 0xff000000u) | lens(16) | lens(8) | lens(0));
  // Round: points at equal distance get the same light on a flat picture.
  Fill(Rgb(30, 30, 30));
  DrawFlashRing(fx(), gfx(), 400, 300, 12);
  EXPECT_EQ(At(390, 300), At(400, 290));
  EXPECT_EQ(At(390, 300), At(400, 310));
  // Pixels outside the disc are left alone.
  EXPECT_EQ(At(412, 300), Rgb(30, 30, 30));
  EXPECT_EQ(At(400, 312), Rgb(30, 30, 30));
}

using RingPath = bool (*)(const fx_kernels::Ring&, uint32_t*, int32_t, int32_t, int32_t,
                          const fx_kernels::RowSpan*, int32_t);

struct Lcg {
  uint32_t s;
  uint32_t Next() { return s = s * 1664525u + 1013904223u; }
  int32_t Below(int32_t n) { return static_cast<int32_t>((Next() >> 8) % static_cast<uint32_t>(n)); }
};

// Draws rings with one vector path into one guarded picture and with the
// plain kernel into another, and asks for the same pixels after each ring.
class RingPathTest : public EffectsFlashesTest {
 protected:
  // Whether the processor has the path (asked with a ring of no rows).
  bool SetPath(RingPath path, const char* name) {
    path_ = path;
    name_ = name;
    fx_kernels::Ring none;
    none.grid = grid_;
    none.glow = glow_;
    none.radius = 1;
    return path_(none, fast_.data(), kW, kH, 0, nullptr, 0);
  }
  void RandomPicture(Lcg& lcg) {
    ASSERT_NE(fast_.data(), nullptr);
    ASSERT_NE(plain_.data(), nullptr);
    std::vector<uint32_t> v(static_cast<size_t>(kW) * kH);
    for (uint32_t& p : v) p = lcg.Next();
    fast_.Assign(v);
    plain_.Assign(v);
  }
  // A rippled profile and a light: the rings' own (0), random light at every
  // depth (1), or random light that stops at depth 128 (2).
  void RandomRing(Lcg& lcg, int32_t radius, int32_t light) {
    for (int32_t& g : grid_) g = 150 + lcg.Below(251);
    for (int32_t q = 0; q <= 4 * kFlashMaxRadius; ++q) {
      const uint32_t random = light == 2 && q >= 128 ? 0 : lcg.Next() & 0x00ffffffu;
      glow_[q] = light == 0 ? fx().ringGlow[radius][q] : random;
    }
  }
  fx_kernels::Ring RingAt(int32_t cx, int32_t cy, int32_t radius) const {
    fx_kernels::Ring ring;
    ring.grid = grid_;
    ring.glow = glow_;
    ring.cx = cx;
    ring.cy = cy;
    ring.radius = radius;
    return ring;
  }
  // Rows of the disc within the screen, each clipped to it as DrawFlashRing does.
  static std::vector<fx_kernels::RowSpan> DiscSpans(const fx_kernels::Ring& ring, int32_t& top) {
    top = std::max(0, ring.cy - ring.radius + 1);
    const int32_t bottom = std::min(kH - 1, ring.cy + ring.radius - 1);
    std::vector<fx_kernels::RowSpan> spans;
    for (int32_t row = top; row <= bottom; ++row) {
      const int32_t dy = row - ring.cy;
      const int32_t h = static_cast<int32_t>(std::sqrt(ring.radius * ring.radius - 1 - dy * dy));
      fx_kernels::RowSpan span;
      span.left = std::max(0, ring.cx - h);
      span.right = std::min(kW - 1, ring.cx + h);
      spans.push_back(span);
    }
    return spans;
  }
  void DrawBoth(const fx_kernels::Ring& ring, int32_t top, const std::vector<fx_kernels::RowSpan>& spans) {
    const int32_t rows = static_cast<int32_t>(spans.size());
    path_(ring, fast_.data(), kW, kH, top, spans.data(), rows);
    fx_kernels::FlashRingPlain(ring, plain_.data(), kW, kH, top, spans.data(), rows);
  }
  ::testing::AssertionResult Same() const {
    const uint32_t* a = fast_.data();
    const uint32_t* b = plain_.data();
    if (std::equal(a, a + fast_.size(), b)) return ::testing::AssertionSuccess();
    for (size_t i = 0; i < fast_.size(); ++i) {
      if (a[i] != b[i]) {
        return ::testing::AssertionFailure() << name_ << " differs at (" << i % kW << ", " << i / kW
                                             << "): " << std::hex << a[i] << " instead of " << b[i];
      }
    }
    return ::testing::AssertionSuccess();
  }

  // Whole rings of every radius with their centres spread over the screen
  // and past each of its edges.
  void WholeRings() {
    Lcg lcg{7};
    RandomPicture(lcg);
    for (int32_t round = 0; round < 240; ++round) {
      const int32_t radius = round < 80 ? 1 + round : 1 + lcg.Below(kFlashMaxRadius);
      RandomRing(lcg, radius, round % 3);
      int32_t cx = lcg.Below(kW + 2 * radius) - radius;
      int32_t cy = lcg.Below(kH + 2 * radius) - radius;
      switch (round % 6) {  // hug an edge or a corner
        case 0:
          cx = radius / 2;
          break;
        case 1:
          cx = kW - 1 - radius / 2;
          break;
        case 2:
          cy = radius / 2;
          break;
        case 3:
          cy = kH - 1 - radius / 3;
          cx = kW - 1 - radius / 3;
          break;
        default:
          break;
      }
      const fx_kernels::Ring ring = RingAt(cx, cy, radius);
      int32_t top = 0;
      const std::vector<fx_kernels::RowSpan> spans = DiscSpans(ring, top);
      DrawBoth(ring, top, spans);
      ASSERT_TRUE(Same()) << "round " << round << ": radius " << radius << " at (" << cx << ", " << cy << ")";
    }
  }

  // Every span length from 1 to 40 pixels at every start within a ring's
  // rows, so each count of leftover lanes meets each alignment; the last
  // rings sit in the screen's bottom right corner, where a block that
  // reached past its row would leave the picture.
  void EveryRowLength() {
    Lcg lcg{11};
    RandomPicture(lcg);
    const int32_t centres[][2] = {{400, 300}, {kW - 1, 300}, {kW - 30, kH - 1}, {kW - 1, kH - 1}, {0, 0}};
    for (const auto& centre : centres) {
      for (const int32_t radius : {3, 24, 61}) {
        RandomRing(lcg, radius, radius % 3);
        const fx_kernels::Ring ring = RingAt(centre[0], centre[1], radius);
        int32_t top = 0;
        const std::vector<fx_kernels::RowSpan> disc = DiscSpans(ring, top);
        for (int32_t length = 1; length <= 40; ++length) {
          std::vector<fx_kernels::RowSpan> spans = disc;
          for (size_t i = 0; i < spans.size(); ++i) {
            fx_kernels::RowSpan& span = spans[i];
            const int32_t width = span.right - span.left + 1;
            if (width > length) span.left += static_cast<int32_t>((i * 7 + length) % (width - length + 1));
            span.right = std::min(span.right, span.left + length - 1);
          }
          DrawBoth(ring, top, spans);
          ASSERT_TRUE(Same()) << "radius " << radius << " at (" << centre[0] << ", " << centre[1]
                              << "), spans of " << length;
        }
      }
    }
  }

  // Pictures that end at an inaccessible page: a pixel read or written past
  // the end faults.
  GuardedArray<uint32_t> fast_{static_cast<size_t>(kW) * kH};
  GuardedArray<uint32_t> plain_{static_cast<size_t>(kW) * kH};
  int32_t grid_[kRingGridSide * kRingGridSide] = {};
  uint32_t glow_[4 * kFlashMaxRadius + 1] = {};
  RingPath path_ = nullptr;
  const char* name_ = "";
};

TEST_F(RingPathTest, TabledRingsMatchThePlainKernel) {
  SetPath(
      [](const fx_kernels::Ring& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t top,
         const fx_kernels::RowSpan* spans, int32_t rows) {
        fx_kernels::FlashRingTabled(ring, pixels, width, height, top, spans, rows);
        return true;
      },
      "tabled");
  WholeRings();
  EveryRowLength();
}

TEST_F(RingPathTest, Avx2RingsMatchThePlainKernel) {
  if (!SetPath(&fx_kernels::FlashRingAvx2, "AVX2")) GTEST_SKIP() << "no AVX2";
  WholeRings();
  EveryRowLength();
}

TEST_F(RingPathTest, Avx512RingsMatchThePlainKernel) {
  if (!SetPath(&fx_kernels::FlashRingAvx512, "AVX-512")) GTEST_SKIP() << "no AVX-512 with byte permutes";
  WholeRings();
  EveryRowLength();
}

}  // namespace
}  // namespace vxtest
