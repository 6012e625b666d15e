// Drawing the player: which body strip and where, the weapon's marker
// colour on exactly the weapon's pixels, the leg turned with the roll, and
// the health bar with its regrowth.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "game/player_fixture.h"
#include "gfx/drawing.h"

namespace {

using vxtest::PlayerTest;

constexpr uint32_t kMarkerMask = 0xff030303u;
constexpr uint32_t kMarker = 0xe6020202u;
bool IsSwordMarker(uint32_t p) { return (p & kMarkerMask) == kMarker; }

class PlayerDrawing : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    MakePlayerPictures();
    Place(400, 300);
    game.player.facing = 2;
    game.player.drawX = ToFixed(400);
    game.player.drawY = ToFixed(300);
    game.player.cachedBody = game.player.cachedWeapon = -13;
    PutMarkers(0, 10, 50, 30);
  }
  // A level picture under the player: every pixel opaque-looking, some of
  // them already of the marker colour (as a level picture must not be).
  static void Backdrop() {
    for (int32_t y = 0; y < 600; ++y)
      for (int32_t x = 0; x < 800; ++x) {
        const uint32_t c = 0xff000000u | static_cast<uint32_t>((x * 7 + y * 13) & 0xffffff);
        PutScreenPixel(engine.gfx, x, y, c);
      }
  }
  static uint32_t At(int32_t x, int32_t y) { return ScreenPixel(engine.gfx, x, y); }
};

TEST_F(PlayerDrawing, MarkWeaponAreaClearsAlphaInTheInclusiveRectangleOnly) {
  Backdrop();
  MarkWeaponArea(game.player, 10, 20, 12, 21);
  EXPECT_EQ(game.player.weaponRect[0], 10);
  EXPECT_EQ(game.player.weaponRect[3], 21);
  for (int32_t y = 19; y <= 22; ++y)
    for (int32_t x = 9; x <= 13; ++x) {
      const bool inside = x >= 10 && x <= 12 && y >= 20 && y <= 21;
      EXPECT_EQ(At(x, y) >> 24, inside ? 0u : 0xffu) << x << "," << y;
    }
  // Clipped to the screen; an upside-down rectangle clears nothing.
  MarkWeaponArea(game.player, -50, 590, 5, 700);
  EXPECT_EQ(At(0, 599) >> 24, 0u);
  EXPECT_EQ(At(6, 599) >> 24, 0xffu);
  MarkWeaponArea(game.player, 100, 50, 200, 49);
  EXPECT_EQ(At(150, 50) >> 24, 0xffu);
  EXPECT_EQ(game.player.weaponRect[1], 50);
  MarkWeaponArea(game.player, 900, 700, 1000, 800);
  MarkWeaponArea(game.player, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MIN);
}

TEST_F(PlayerDrawing, MarkWeaponPixelsTagsOnlyPixelsWithAlphaAbove240) {
  PutScreenPixel(engine.gfx, 50, 50, 0xf1abcdefu);
  PutScreenPixel(engine.gfx, 51, 50, 0xf0abcdefu);
  PutScreenPixel(engine.gfx, 52, 50, 0xffffffffu);
  PutScreenPixel(engine.gfx, 53, 50, 0xffabcdefu);  // outside the rectangle
  game.player.weaponRect[0] = 50;
  game.player.weaponRect[1] = 50;
  game.player.weaponRect[2] = 52;
  game.player.weaponRect[3] = 50;
  MarkWeaponPixels(game.player);
  EXPECT_EQ(At(50, 50), 0xe6aaceeeu);  // (0xabcdef & 0xfcfcfc) + 0xe6020202
  EXPECT_EQ(At(51, 50), 0xf0abcdefu);
  EXPECT_EQ(At(52, 50), 0xe6fefefeu);
  EXPECT_EQ(At(53, 50), 0xffabcdefu);
  EXPECT_TRUE(IsSwordMarker(At(50, 50)));
  EXPECT_TRUE(IsSwordMarker(At(52, 50)));
}

TEST_F(PlayerDrawing, TheMarkerColourLiesOnExactlyTheWeaponsPixels) {
  for (const int32_t facing : {2, 1}) {
    game.player.facing = facing;
    PrepareWeaponPicture(game);
    Backdrop();
    DrawPlayer(game);
    const int32_t pose = facing == 2 ? 683 : 670;
    const int32_t left = facing == 2 ? 400 - 40 - 80 : 400 - 40 - 104, top = 300 - 40 - 80;
    int32_t marked = 0;
    for (int32_t y = 0; y < 600; ++y)
      for (int32_t x = 0; x < 800; ++x) {
        const uint32_t p = At(x, y);
        const bool inPose = x >= left && x < left + 240 && y >= top && y < top + 240;
        // The weapon drawing leaves alpha above 240 where its pixels are
        // (nearly) opaque; those, and only those, carry the marker.
        const bool weapon = inPose && (GetPixel(engine.gfx, pose, x - left, y - top) >> 24) > 240;
        ASSERT_EQ(IsSwordMarker(p), weapon) << x << "," << y << " facing " << facing;
        marked += weapon;
      }
    EXPECT_GT(marked, 150) << facing;  // the 40 x 6 blade
    // Under the weapon's area, the level keeps its colour but loses its
    // alpha, so nothing of it reads as the marker.
    EXPECT_EQ(At(left + 5, top + 5), 0x00ffffffu & (((left + 5) * 7 + (top + 5) * 13) & 0xffffff));
  }
}

TEST_F(PlayerDrawing, TheBodyComesFromTheStripOfItsFacing) {
  ClearScreen(engine.gfx, 0);
  DrawPlayer(game);
  EXPECT_EQ(At(400 - 40 + 35, 300 - 40 + 30), kBodyColour & 0x00ffffffu);  // alpha cleared by the weapon area
  ClearScreen(engine.gfx, 0);
  game.player.facing = 1;
  DrawPlayer(game);
  // Facing left it is drawn 24 pixels further left, from strip 23.
  EXPECT_EQ(At(400 - 40 - 24 + 35, 300 - 40 + 30), kLeftBodyColour & 0x00ffffffu);
  EXPECT_EQ(At(400 - 40 + 45, 300 - 40 + 30), 0u);
  // The frame shown is the attack frame.
  for (int32_t y = 20; y < 60; ++y) SetPixel(engine.gfx, 21, 4 * 80 + 35, y, 0xff0000ffu);
  ClearScreen(engine.gfx, 0);
  game.player.facing = 2;
  game.player.attackFrame = 4;
  DrawPlayer(game);
  EXPECT_EQ(At(400 - 40 + 35, 300 - 40 + 30), 0x000000ffu);
}

TEST_F(PlayerDrawing, TheLegTurnsWithTheDrawnAngle) {
  CreatePicture(engine.gfx, 20, 10, 60);
  for (int32_t y = 0; y < 60; ++y)
    for (int32_t x = 0; x < 10; ++x) SetPixel(engine.gfx, 20, x, y, 0xff00ff00u);
  const auto legBox = [&](int32_t degrees) {
    ClearScreen(engine.gfx, 0);
    game.player.drawAngle = degrees * 256;
    DrawPlayer(game);
    int32_t l = 800, r = -1, t = 600, b = -1;
    for (int32_t y = 0; y < 600; ++y)
      for (int32_t x = 0; x < 800; ++x)
        if (((At(x, y) >> 8) & 0xff) > 200 && (At(x, y) & 0xff00ffu) == 0) {
          l = std::min(l, x);
          r = std::max(r, x);
          t = std::min(t, y);
          b = std::max(b, y);
        }
    return std::array<int32_t, 4>{l, t, r, b};
  };
  // Upright: a = 19 / 3 = 6 either side, q = 28 above and below the leg's
  // centre (385, 320); the blit's smoothed edges may lose a pixel or two.
  const auto up = legBox(0);
  EXPECT_NEAR(up[0], 385 - 6, 3);
  EXPECT_NEAR(up[2], 385 + 6, 3);
  EXPECT_NEAR(up[1], 320 - 28, 3);
  EXPECT_NEAR(up[3], 320 + 28, 3);
  // Turned by 90 degrees it lies flat.
  const auto flat = legBox(90);
  EXPECT_NEAR(flat[0], 385 - 28, 3);
  EXPECT_NEAR(flat[2], 385 + 28, 3);
  EXPECT_NEAR(flat[1], 320 - 6, 3);
  EXPECT_NEAR(flat[3], 320 + 6, 3);
}

TEST_F(PlayerDrawing, TheHealthBarShowsWhileItsTimerRunsAndHealthRegrows) {
  const int32_t x = 400 - 35, y = 300 - 40;
  const auto frame = [&](int32_t timer, int32_t health, int32_t regeneration) {
    ClearScreen(engine.gfx, 0x123456);
    game.player.healthBarTimer = timer;
    game.player.health = health;
    game.progress.regeneration = regeneration;
    DrawPlayer(game);
  };
  frame(200, 10 * 65536, 0);
  EXPECT_EQ(game.player.healthBarTimer, 199);
  EXPECT_EQ(game.player.health, 10 * 65536);  // no regrowth before the last 120 frames
  EXPECT_EQ(At(x - 3, y - 3), 0xf5f5f5u);
  EXPECT_EQ(At(x + 43, y + 8), 0xf5f5f5u);
  EXPECT_EQ(At(x - 1, y - 1), 0u);
  EXPECT_EQ(At(x + 10, y), 0x00c864u);
  EXPECT_EQ(At(x + 11, y + 5), 0xff0000u);
  EXPECT_EQ(At(x + 40, y + 5), 0xff0000u);
  EXPECT_EQ(At(x + 44, y), 0x123456u);
  frame(120, 10 * 65536, 0);
  EXPECT_EQ(game.player.health, 10 * 65536 + 0x6000);
  frame(200, 10 * 65536, -1);
  EXPECT_EQ(game.player.health, 10 * 65536 + 0x3000);
  frame(50, 10 * 65536, -1);
  EXPECT_EQ(game.player.health, 10 * 65536 + 0x9000);
  frame(50, 40 * 65536 - 1, -1);
  EXPECT_EQ(game.player.health, 40 * 65536);  // never above full
  frame(1, 20 * 65536, 0);
  EXPECT_EQ(game.player.healthBarTimer, 0);
  EXPECT_EQ(At(x + 40, y), 0xff0000u);  // still shown on its last frame
  frame(0, 3 * 65536, 0);
  EXPECT_EQ(game.player.health, 40 * 65536);  // whole again once the bar is gone
  EXPECT_EQ(At(x + 40, y), 0x123456u);
  // No health left: the red bar and the one green column at its start.
  frame(300, -5 * 65536, 0);
  EXPECT_EQ(At(x, y), 0x00c864u);
  EXPECT_EQ(At(x + 1, y), 0xff0000u);
  frame(300, INT32_MAX, 0);
  EXPECT_EQ(At(x + 40, y), 0x00c864u);
}

TEST_F(PlayerDrawing, NothingIsDrawnAfterDeath) {
  ClearScreen(engine.gfx, 0x123456);
  game.player.alive = 0;
  game.player.healthBarTimer = 5;
  DrawPlayer(game);
  EXPECT_EQ(game.player.healthBarTimer, 5);
  for (int32_t y = 0; y < 600; y += 7)
    for (int32_t x = 0; x < 800; x += 7) ASSERT_EQ(At(x, y), 0x123456u);
}

}  // namespace
