// The vaults' fog over the vaults' pictures. On levels 5 to 9 the fog
// layers are added to the level picture as one 32-bit sum per pixel, with
// no clamping, so a channel that passes 255 carries into the next colour:
// a torch flame turned green and blue, a grey wall gone yellow. The data
// set must keep every pixel of those pictures, plus the most the layers
// ever add there, within a channel.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "assets/loading.h"
#include "datagen/generated_data_set.h"
#include "engine/engine_effects.h"
#include "game/game_state.h"
#include "game/level_start.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "shell/globals.h"
#include "shell/window.h"
#include "support/engine_test.h"

namespace {

class VaultFog : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartWindowed();
    LinkGeneratedData();
    for (int32_t step = 1; step <= 8; ++step)
      LoadAssetsStep(game.levelPictures, -1, step, engine.gfx, engine.effects, engine.sound);
  }
};

TEST_F(VaultFog, TheLayersNeverCarryAColourOverIntoTheNext) {
  GfxContext& gfx = engine.gfx;
  const int32_t w = gfx.screenWidth, h = gfx.screenHeight;
  // The layer pictures at half their brightness, so that their sums can be
  // read off the screen without a carry; doubled, each sum is at most one
  // unit per covering layer short of the truth, hence the margin below.
  for (int32_t slot = 880; slot < 940; ++slot) {
    ASSERT_TRUE(HasPixels(gfx, slot)) << slot;
    ImageSlot& s = gfx.slots[slot];
    for (int64_t i = 0; i < int64_t{s.width} * s.height; ++i) s.pixels[i] = (s.pixels[i] >> 1) & 0x7f7f7f7fu;
  }
  constexpr int32_t kMargin = 6;
  for (int32_t level = 5; level <= 9; ++level) {
    SCOPED_TRACE("level " + std::to_string(level));
    std::vector<int32_t> most(static_cast<size_t>(w) * h * 3, 0);
    // Several starts (the layers land at random) and the layers' whole
    // lives.
    for (int32_t start = 0; start < 4; ++start) {
      StartLevel(game, level);
      ASSERT_EQ(game.levelState.fogMode, 1);
      for (int32_t f = 0; f < 240; ++f) {
        UpdateFog(engine);
        if (f % 4 != 0) continue;
        ClearScreen(gfx, 0);
        DrawFog(engine, 1);
        for (int64_t i = 0; i < int64_t{w} * h; ++i)
          for (int32_t c = 0; c < 3; ++c) {
            int32_t& m = most[static_cast<size_t>(i) * 3 + c];
            m = std::max(m, static_cast<int32_t>((gfx.backBuffer[i] >> (8 * c)) & 255u) * 2);
          }
      }
    }
    int32_t busiest = 0;
    for (int32_t v : most) busiest = std::max(busiest, v);
    EXPECT_GT(busiest, 40) << "the fog shows";
    // The level picture as the game draws it under the fog.
    ClearScreen(gfx, 0);
    DrawPacked24(gfx, 13, 0, 0);
    int32_t carried = 0, firstX = -1, firstY = -1;
    for (int64_t i = 0; i < int64_t{w} * h; ++i)
      for (int32_t c = 0; c < 3; ++c) {
        const int32_t v = static_cast<int32_t>((gfx.backBuffer[i] >> (8 * c)) & 255u);
        const int32_t fog = most[static_cast<size_t>(i) * 3 + c];
        if (fog > 0 && v + fog + kMargin > 255) {
          if (carried++ == 0) firstX = static_cast<int32_t>(i % w), firstY = static_cast<int32_t>(i / w);
          break;
        }
      }
    EXPECT_EQ(carried, 0) << "pixels that would carry, the first at (" << firstX << ", " << firstY << ")";
  }
}

}  // namespace
