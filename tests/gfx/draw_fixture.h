#pragma once
// A drawing fixture: program-start state, the graphics context initialised
// over an 800 x 600 back buffer of its own, and pictures made to measure.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "gfx/draw_internal.h"
#include "gfx/drawing.h"
#include "gfx/gfx_context.h"
#include "platform/cpu_features.h"
#include "support/engine_test.h"

namespace vxtest {

class DrawFixture : public EngineTest {
 protected:
  static constexpr int32_t kWidth = 800;
  static constexpr int32_t kHeight = 600;

  void SetUp() override {
    EngineTest::SetUp();
    screen.assign(static_cast<size_t>(kWidth) * kHeight, 0);
    InitGraphics(gfx, screen.data(), kWidth, kHeight);
  }

  void TearDown() override {
    cpu::ResetKernelLevel();
    EngineTest::TearDown();
  }

  // Every form of the row kernels this machine can run.
  static constexpr cpu::KernelLevel kAllKernels[] = {cpu::KernelLevel::kAvx512, cpu::KernelLevel::kSse2,
                                                     cpu::KernelLevel::kPlain};

  // A loaded slot whose pixel buffer holds exactly width x height pixels (so
  // the sanitizer sees any read past it), spans cleared.
  ImageSlot& Picture(int32_t slot, int32_t width, int32_t height, uint32_t fill = 0) {
    ImageSlot& s = gfx.slots[slot];
    s.width = width;
    s.height = height;
    s.state = kLoaded;
    s.pixels = static_cast<uint32_t*>(std::malloc(static_cast<size_t>(width) * height * 4));
    for (int64_t i = 0; i < int64_t{width} * height; ++i) s.pixels[i] = fill;
    for (int32_t** span : {&s.opaqueLeft, &s.opaqueRight, &s.visibleLeft, &s.visibleRight}) {
      *span = static_cast<int32_t*>(std::calloc(static_cast<size_t>(height), 4));
    }
    return s;
  }

  // A picture of random pixels: a third fully transparent, a third fully
  // opaque, the rest of random alpha.
  ImageSlot& RandomPicture(int32_t slot, int32_t width, int32_t height, std::mt19937& rng) {
    ImageSlot& s = Picture(slot, width, height);
    for (int64_t i = 0; i < int64_t{width} * height; ++i) s.pixels[i] = RandomPixel(rng);
    return s;
  }

  static uint32_t RandomPixel(std::mt19937& rng) {
    const uint32_t colour = static_cast<uint32_t>(rng()) & 0xffffffu;
    switch (rng() % 3) {
      case 0:
        return colour;
      case 1:
        return colour | 0xff000000u;
      default:
        return colour | (static_cast<uint32_t>(rng()) & 0xff000000u);
    }
  }

  // Runs `fast` and `plain` from the same random screen and answers whether
  // they left identical screens.
  template <typename Fast, typename Plain>
  ::testing::AssertionResult SameAsPlain(Fast fast, Plain plain) {
    if (background_.empty()) {
      std::mt19937 rng(2024);
      background_.resize(screen.size());
      for (uint32_t& p : background_) p = static_cast<uint32_t>(rng());
    }
    screen = background_;
    fast();
    fastResult_ = screen;
    screen = background_;
    plain();
    if (fastResult_ == screen) return ::testing::AssertionSuccess();
    for (size_t i = 0; i < screen.size(); ++i) {
      if (fastResult_[i] != screen[i]) {
        return ::testing::AssertionFailure() << "pixel " << i % kWidth << "," << i / kWidth << ": fast "
                                             << std::hex << fastResult_[i] << ", plain " << screen[i];
      }
    }
    return ::testing::AssertionSuccess();
  }

  uint32_t& At(int32_t x, int32_t y) {
    return screen[static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)];
  }

  // Pixels that differ from `before`.
  int64_t Changed(const std::vector<uint32_t>& before) const {
    int64_t n = 0;
    for (size_t i = 0; i < screen.size(); ++i) n += screen[i] != before[i] ? 1 : 0;
    return n;
  }

  GfxContext& gfx = engine.gfx;
  std::vector<uint32_t> screen;

 private:
  std::vector<uint32_t> background_;
  std::vector<uint32_t> fastResult_;
};

}  // namespace vxtest
