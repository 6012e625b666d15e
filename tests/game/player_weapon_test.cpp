// The weapon pose pictures: the markers found in a frame, the weapon
// warped onto them (with the long and broad blades), mirrored for the left
// side, and the cache of built poses.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/player_fixture.h"
#include "gfx/drawing.h"

namespace {

using vxtest::PlayerTest;

struct Box {
  int32_t left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
};

// The box of a picture's pixels that are more than half opaque.
Box OpaqueBox(int32_t slot) {
  Box b;
  for (int32_t y = 0; y < PictureHeight(engine.gfx, slot); ++y)
    for (int32_t x = 0; x < PictureWidth(engine.gfx, slot); ++x) {
      if ((GetPixel(engine.gfx, slot, x, y) >> 24) <= 128) continue;
      b.left = std::min(b.left, x);
      b.top = std::min(b.top, y);
      b.right = std::max(b.right, x);
      b.bottom = std::max(b.bottom, y);
    }
  return b;
}

class PlayerWeapon : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    MakePlayerPictures();
    Place(400, 300);
    game.player.facing = 2;
    game.player.cachedBody = game.player.cachedWeapon = -13;
  }
  // Pose pixel (x, y) is body-frame pixel (x - 80, y - 80): the pose
  // picture reaches 80 pixels beyond the 80-pixel frame on every side.
  static void ExpectBox(int32_t slot, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const Box b = OpaqueBox(slot);
    EXPECT_NEAR(b.left, left + 80, 1) << slot;
    EXPECT_NEAR(b.top, top + 80, 1) << slot;
    EXPECT_NEAR(b.right, right + 80, 1) << slot;
    EXPECT_NEAR(b.bottom, bottom + 80, 1) << slot;
  }
  static constexpr uint32_t kSentinel = 0x12345678u;
  static void PlantSentinel() { PutScreenPixel(engine.gfx, 400, 300, kSentinel); }
  static bool Rebuilt() { return ScreenPixel(engine.gfx, 400, 300) != kSentinel; }
};

TEST_F(PlayerWeapon, FindMarkersTakesTheLastMatchOfEachColourInTheFrame) {
  EXPECT_EQ(FindMarkers(22, 3).red.x, 0);  // nothing marked yet
  PutMarkers(3, 10, 50, 30);
  PutMarkers(2, 1, 2, 3);  // other frames do not count
  PutMarkers(4, 5, 6, 7);
  SetPixel(engine.gfx, 22, 3 * 80 + 70, 20, 0xffff0000u);  // an earlier red...
  SetPixel(engine.gfx, 22, 3 * 80 + 5, 30, 0x00ff0000u);   // ...and one without alpha
  const WeaponMarkers m = FindMarkers(22, 3);
  EXPECT_EQ(m.red.x, 10);
  EXPECT_EQ(m.red.y, 30);
  EXPECT_EQ(m.green.x, 50);
  EXPECT_EQ(m.green.y, 30);
  EXPECT_EQ(m.blue.x, 10);
  EXPECT_EQ(m.blue.y, 36);
  EXPECT_EQ(m.magenta.x, 50);
  EXPECT_EQ(m.magenta.y, 36);
  SetPixel(engine.gfx, 22, 3 * 80 + 79, 79, 0xff00ff00u);  // the last pixel of the frame
  EXPECT_EQ(FindMarkers(22, 3).green.x, 79);
  EXPECT_EQ(FindMarkers(22, 3).green.y, 79);
  // Frames outside the strip, and slots without pixels, find nothing.
  for (const int32_t frame : {11, -1, 1000000000}) {
    const WeaponMarkers none = FindMarkers(22, frame);
    EXPECT_EQ(none.red.x + none.red.y + none.magenta.x + none.magenta.y, 0) << frame;
  }
  EXPECT_EQ(FindMarkers(1300, 0).blue.y, 0);
  EXPECT_EQ(FindMarkers(99, 0).blue.y, 0);
}

TEST_F(PlayerWeapon, TheWeaponIsWarpedOntoTheMarkersAndMirroredForTheLeft) {
  PutMarkers(0, 10, 50, 30);
  PutMarkers(5, 20, 60, 10);
  PrepareWeaponPicture(game);
  ExpectBox(683, 10, 30, 50, 36);
  game.player.attackFrame = 5;
  PrepareWeaponPicture(game);
  ExpectBox(688, 20, 10, 60, 16);
  game.player.facing = 1;
  PrepareWeaponPicture(game);
  // Mirrored about the middle of the 240-pixel pose.
  const Box right = OpaqueBox(688), left = OpaqueBox(675);
  EXPECT_NEAR(left.left, 239 - right.right, 1);
  EXPECT_NEAR(left.right, 239 - right.left, 1);
  EXPECT_EQ(left.top, right.top);
  EXPECT_EQ(left.bottom, right.bottom);
  // The pose is drawn with brightness as opacity.
  EXPECT_EQ(GetPixel(engine.gfx, 683, 110, 113) >> 24, 255u);
  EXPECT_EQ(GetPixel(engine.gfx, 683, 20, 20), 0u);
}

TEST_F(PlayerWeapon, LongAndBroadBladesMoveTheFarAndSideMarkers) {
  PutMarkers(0, 10, 50, 30);
  game.progress.longBlade = -1;
  PrepareWeaponPicture(game);
  ExpectBox(683, 10, 30, 70, 36);  // half the blade again
  game.progress.longBlade = 0;
  game.progress.broadBlade = -1;
  game.player.cachedWeapon = -13;
  PrepareWeaponPicture(game);
  // Each end widened by half (by one pixel up and down here), then the far
  // end moved out by 8/28 of the blade.
  ExpectBox(683, 10, 29, 61, 37);
  game.progress.longBlade = -1;
  game.player.cachedWeapon = -13;
  PrepareWeaponPicture(game);
  ExpectBox(683, 10, 29, 87, 37);  // broadened after lengthening
  // Guns keep their shape.
  CreatePicture(engine.gfx, 42, 40, 6);
  for (int32_t x = 0; x < 40; ++x)
    for (int32_t y = 0; y < 6; ++y) SetPixel(engine.gfx, 42, x, y, 0xffffffffu);
  game.player.weapon = 42;
  PrepareWeaponPicture(game);
  ExpectBox(683, 10, 30, 50, 36);
}

TEST_F(PlayerWeapon, APoseIsBuiltOnceAndDroppedWhenTheWeaponOrBodyChanges) {
  PutMarkers(0, 10, 50, 30);
  PlantSentinel();
  PrepareWeaponPicture(game);
  EXPECT_TRUE(Rebuilt());
  EXPECT_EQ(game.player.weaponCacheValid[0][0], 1);
  EXPECT_EQ(game.player.cachedBody, 21);
  EXPECT_EQ(game.player.cachedWeapon, 41);
  PlantSentinel();
  PrepareWeaponPicture(game);
  EXPECT_FALSE(Rebuilt());
  // Each facing and frame is a pose of its own.
  game.player.attackFrame = 3;
  PrepareWeaponPicture(game);
  game.player.facing = 1;
  PrepareWeaponPicture(game);
  game.player.attackFrame = 0;
  PrepareWeaponPicture(game);
  game.player.facing = 2;
  PlantSentinel();
  PrepareWeaponPicture(game);
  EXPECT_FALSE(Rebuilt());
  int32_t built = 0;
  for (const auto& side : game.player.weaponCacheValid)
    for (const int32_t v : side) built += v;
  EXPECT_EQ(built, 4);
  EXPECT_EQ(game.player.weaponCacheValid[1][3], 1);
  // Another weapon drops every pose.
  game.player.weapon = 40;
  PlantSentinel();
  PrepareWeaponPicture(game);
  EXPECT_TRUE(Rebuilt());
  built = 0;
  for (const auto& side : game.player.weaponCacheValid)
    for (const int32_t v : side) built += v;
  EXPECT_EQ(built, 1);
  // So does another body strip.
  game.player.attackFrame = 3;
  PrepareWeaponPicture(game);
  game.player.bodySlot = 24;
  PlantSentinel();
  PrepareWeaponPicture(game);
  EXPECT_TRUE(Rebuilt());
  EXPECT_EQ(game.player.weaponCacheValid[0][0], 0);
  EXPECT_EQ(game.player.weaponCacheValid[0][3], 1);
  EXPECT_EQ(game.player.cachedBody, 24);
}

TEST_F(PlayerWeapon, FramesOutsideThePoseTableShareFrameZeroAndSupersamplingStaysOn) {
  PutMarkers(0, 10, 50, 30);
  for (const int32_t frame : {14, -3, INT32_MAX}) {
    game.player.attackFrame = frame;
    engine.gfx.supersampling = 0;
    PrepareWeaponPicture(game);
    EXPECT_EQ(engine.gfx.supersampling, 1);
  }
  int32_t built = 0;
  for (const auto& side : game.player.weaponCacheValid)
    for (const int32_t v : side) built += v;
  EXPECT_EQ(built, 1);
  EXPECT_EQ(game.player.weaponCacheValid[0][0], 1);
  // Cached, it still leaves supersampling on.
  engine.gfx.supersampling = 0;
  PrepareWeaponPicture(game);
  EXPECT_EQ(engine.gfx.supersampling, 1);
}

}  // namespace
