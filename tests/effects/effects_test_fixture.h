#pragma once
// The effects tests start from program-start state with the graphics
// context and the effects system initialised over an 800 x 600 back buffer.
// The back buffer lies between two guard bands of sentinel pixels, so a
// write outside it is seen in any build, not only under the sanitizer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "effects/effects.h"
#include "gfx/gfx_context.h"
#include "shell/globals.h"
#include "support/engine_test.h"

namespace vxtest {

class EffectsTest : public EngineTest {
 protected:
  static constexpr int32_t kW = 800;
  static constexpr int32_t kH = 600;
  static constexpr int32_t kGuard = 4 * kW;
  static constexpr uint32_t kSentinel = 0x5a5a5a5au;

  void SetUp() override {
    EngineTest::SetUp();
    buffer_.assign(static_cast<size_t>(kW) * kH + 2 * kGuard, kSentinel);
    engine.gfx.screenWidth = kW;
    engine.gfx.screenHeight = kH;
    engine.gfx.backBuffer = nullptr;
    InitGraphics(engine.gfx, buffer_.data() + kGuard, kW, kH);
    engine.gfx.timeStep = 29;  // a steady 70 frames per second
    SeedRandom(engine.random, 9876);
    InitEffects(engine.effects, engine.gfx);
  }

  EffectsSystem& fx() { return engine.effects; }
  GfxContext& gfx() { return engine.gfx; }
  uint32_t* screen() { return engine.gfx.backBuffer; }
  uint32_t& At(int32_t x, int32_t y) { return screen()[y * kW + x]; }
  void Fill(uint32_t colour) { std::fill_n(screen(), kW * kH, colour); }
  std::vector<uint32_t> Snapshot() { return std::vector<uint32_t>(screen(), screen() + kW * kH); }

  bool GuardsIntact() const {
    const auto intact = [](const uint32_t* p) {
      return std::all_of(p, p + kGuard, [](uint32_t v) { return v == kSentinel; });
    };
    return intact(buffer_.data()) && intact(buffer_.data() + kGuard + kW * kH);
  }

  // How many pixels differ from a snapshot.
  int32_t Changed(const std::vector<uint32_t>& before) {
    int32_t n = 0;
    for (int32_t i = 0; i < kW * kH; ++i) n += screen()[i] != before[i] ? 1 : 0;
    return n;
  }

 private:
  std::vector<uint32_t> buffer_;
};

inline uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return 0xff000000u | r << 16 | g << 8 | b; }

}  // namespace vxtest
