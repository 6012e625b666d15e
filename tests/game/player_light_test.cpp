// The player's lamp: when it shines, its two flicker draws, and where the
// glow reaches.
#include <gtest/gtest.h>

#include "game/player_fixture.h"
#include "gfx/drawing.h"
#include "random/random_source.h"

namespace {

using vxtest::PlayerTest;

class PlayerLight : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    Place(400, 300);
    game.player.drawX = ToFixed(400);
    game.player.drawY = ToFixed(300);
    game.player.lightOn = -1;
    // Bright enough everywhere for the glow (b + g + r = 450).
    ClearScreen(engine.gfx, 0xff969696u);
  }
  static int32_t Changed() {
    int32_t n = 0;
    for (int32_t y = 0; y < 600; ++y)
      for (int32_t x = 0; x < 800; ++x) n += ScreenPixel(engine.gfx, x, y) != 0xff969696u;
    return n;
  }
  static int32_t Pull(int32_t v) {
    if (v < 0) ++v;
    if (v > 0) --v;
    return v;
  }
};

TEST_F(PlayerLight, ShinesOnlyForALivingPlayerWithTheLampOnAndFullDetail) {
  const auto unlit = [&](const char* why) {
    const RandomSource before = engine.random;
    DrawPlayerLight(game);
    EXPECT_EQ(before.s, engine.random.s) << why;
    EXPECT_EQ(Changed(), 0) << why;
  };
  game.player.lightOn = 0;
  unlit("lamp off");
  game.player.lightOn = -1;
  game.settings.lowDetail = -1;
  unlit("low detail");
  game.settings.lowDetail = 0;
  game.player.alive = 0;
  unlit("dead");
}

TEST_F(PlayerLight, TheFlickerTakesTwoDrawsEachPulledBackTowardsZero) {
  for (const int32_t start : {0, 7, -7, 1000}) {
    game.player.lightFlicker = start;
    RandomSource copy = engine.random;
    const int32_t first = Pull(start + Random(copy, -10, 10));
    const int32_t second = Pull(first + Random(copy, -10, 10));
    DrawPlayerLight(game);
    EXPECT_EQ(game.player.lightFlicker, second) << start;
    EXPECT_EQ(engine.random.s, copy.s) << "exactly two draws";
  }
}

TEST_F(PlayerLight, BrightPixelsGlowAroundThePlayerOnly) {
  DrawPlayerLight(game);
  EXPECT_GT(Changed(), 1000);
  // The bands reach 60 pixels to each side and from 66 above to 72 below,
  // and each glowing point lights 8 pixels around it.
  for (int32_t y = 0; y < 600; y += 3)
    for (int32_t x = 0; x < 800; x += 3) {
      const bool near = x >= 400 - 70 && x <= 400 + 70 && y >= 300 - 76 && y <= 300 + 82;
      if (!near) {
        ASSERT_EQ(ScreenPixel(engine.gfx, x, y), 0xff969696u) << x << "," << y;
      }
    }
  EXPECT_NE(ScreenPixel(engine.gfx, 400, 300), 0xff969696u);
  // Pixels outside the brightness window do not glow.
  ClearScreen(engine.gfx, 0xff202020u);
  DrawPlayerLight(game);
  for (int32_t y = 200; y < 400; ++y)
    for (int32_t x = 300; x < 500; ++x) ASSERT_EQ(ScreenPixel(engine.gfx, x, y), 0xff202020u);
}

}  // namespace
