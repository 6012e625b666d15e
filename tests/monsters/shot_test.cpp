// Shots, the sword and pickups: walls burst shots before anything touches
// them, the player takes damage once or (without armour) twice, the
// arcing shot is harmless while its fuse burns, the sword's marker colour
// kills exactly what it covers, and pickups are collected within reach.
#include <gtest/gtest.h>

#include "monsters/monster_fixture.h"

namespace {

using vxtest::MonsterTest;

class ShotTest : public MonsterTest {
 protected:
  void SetUp() override {
    MonsterTest::SetUp();
    MakeShotPicture();
  }
  MonsterRecord& Shot(int32_t i, int32_t kind, int32_t x, int32_t y) {
    MonsterRecord& r = Record(i, kind, x, y);
    r.image = 138;
    r.glow = 50;
    return r;
  }
};

TEST_F(ShotTest, AShotSpawnedInAWallBurstsBeforeAnythingTouchesIt) {
  SolidBlock(300, 300, 340, 340);
  Shot(0, 3, 320, 320);
  PlacePlayer(320, 298);  // right on it: d = 1
  UpdateMonsters(g);
  EXPECT_EQ(g.tables.objects[0].active, 0);
  EXPECT_EQ(g.player.health, kFullHealth) << "freed in the movement pass, never touched";
  int32_t pieces = 0;
  for (const DebrisRecord& d : g.tables.debris) pieces += d.active;
  EXPECT_EQ(pieces, 3) << "the burst leaves its shell";
}

TEST_F(ShotTest, DamageTakenTwiceUnlessArmoured) {
  // s = 35: a kind 3 shot costs 7, a kind 25 shot 2, a kind 6 shot 5.
  struct Case {
    int32_t kind, armour, loss;
  } cases[] = {{3, 0, 14}, {3, -1, 7}, {25, 0, 4}, {25, -1, 2}, {6, 0, 10}, {8, -1, 5}};
  for (const Case& c : cases) {
    g.player.health = kFullHealth;
    g.progress.armour = c.armour;
    MonsterRecord& r = Shot(0, c.kind, 400, 300);
    r.vy = c.kind == 8 ? -kFixedOne / 2 : 0;  // the lobbed shot's gravity brings it to a stop
    PlacePlayer(400, 300 - 22);               // d = 1, whatever the spit's wobble
    g.player.healthBarTimer = 0;
    UpdateMonsters(g);
    EXPECT_EQ(r.active, 0) << c.kind;
    EXPECT_EQ(g.player.health, kFullHealth - c.loss * kFixedOne) << c.kind << " armour " << c.armour;
    EXPECT_EQ(g.player.healthBarTimer, 450);
  }
  g.player.health = kFullHealth;
  MonsterRecord& r = Shot(0, 3, 400, 300);
  PlacePlayer(400 + 13, 300 - 22);  // d = 13 + 0 + 1 = 14: in reach
  UpdateMonsters(g);
  EXPECT_EQ(r.active, 0);
  g.player.health = kFullHealth;
  Shot(0, 3, 400, 300);
  PlacePlayer(400 + 14, 300 - 22);  // d = 15: just out of reach
  UpdateMonsters(g);
  EXPECT_EQ(r.active, 1);
  EXPECT_EQ(g.player.health, kFullHealth);
}

TEST_F(ShotTest, ScaledShotsGlowUpUntilTheyPass249) {
  for (const auto& [kind, before, after] :
       {std::tuple{6, 219, 249}, {6, 249, 279}, {6, 250, 250}, {3, 100, 100}}) {
    MonsterRecord& r = Shot(0, kind, 400, 100);
    r.glow = before;
    DrawMonsters(g);
    EXPECT_EQ(r.glow, after) << "kind " << kind << " glow " << before;
  }
}

TEST_F(ShotTest, ThePlayerDiesBelowZeroHealth) {
  g.player.health = 7 * kFixedOne;
  g.progress.armour = -1;
  Shot(0, 3, 400, 300);
  PlacePlayer(400, 278);
  UpdateMonsters(g);
  EXPECT_EQ(g.player.alive, -1) << "exactly 0 is still alive";
  g.player.health = 6 * kFixedOne;
  Shot(0, 3, 400, 300);
  UpdateMonsters(g);
  EXPECT_EQ(g.player.alive, 0);
  EXPECT_EQ(g.player.x, kOffScreenFixed);
  EXPECT_EQ(g.player.y, kOffScreenFixed);
  EXPECT_EQ(g.tables.debris[0].image, 30) << "his pieces fly";
}

TEST_F(ShotTest, TheArcingShotIsHarmlessWhileItsFuseBurns) {
  MonsterRecord& r = Shot(0, 18, 400, 300);
  r.fuse = 10;
  for (int32_t f = 1; f <= 10; ++f) {
    r.x = ToFixed(400);
    r.y = ToFixed(300);
    r.vx = 0;
    r.vy = -kFixedOne / 2;  // gravity stops it where it is
    PlacePlayer(400, 278);
    UpdateMonsters(g);
    ASSERT_EQ(r.active, 1) << "frame " << f;
    EXPECT_EQ(r.fuse, 10 - f);
  }
  r.vy = -kFixedOne / 2;
  r.y = ToFixed(300);
  UpdateMonsters(g);
  EXPECT_EQ(r.active, 0);
  EXPECT_EQ(g.player.health, kFullHealth - 16 * kFixedOne);
}

TEST_F(ShotTest, TheSmallFlyersShotOnlyShoves) {
  MonsterRecord& r = Shot(0, 4, 400, 300);
  PlacePlayer(420, 278);  // d = 21 < 25
  UpdateMonsters(g);
  EXPECT_EQ(r.active, 0);
  EXPECT_EQ(g.player.health, kFullHealth);
  EXPECT_EQ(g.player.hitStun, 10);
  EXPECT_EQ(g.player.velX, 15 * 20 / 21 * 8192);
}

TEST_F(ShotTest, TheSwordKillsAWalkerInItsArcAndMissesOneJustOutside) {
  MakeWalkerPictures();
  SolidBlock(0, 400, kW - 1, kH - 1);
  for (int32_t i : {0, 1}) {
    MonsterRecord& w = Record(i, 0, i == 0 ? 300 : 500, 385);
    w.image = 120;
    w.poseImage = 415;
    w.lastFrame = 5;
    w.direction = 1;
    w.roamRange = 156;
  }
  // Both bodies: frame columns 20..39 from left = px - 30, rows 10..59 from
  // the sunk top (341). The first walker's arc covers its body's edge column;
  // the second's stops one column short of its body.
  const int32_t top = MonsterTop(g, 0);
  ASSERT_EQ(top, 341);
  g.tables.objects[0].speed = 0;
  g.tables.objects[1].speed = 0;
  Swing(300 - 30 + 39, top + 30, 300 - 30 + 45, top + 40);
  Swing(500 - 30 + 40, top + 30, 500 - 30 + 45, top + 40);
  UpdateMonsters(g);
  EXPECT_EQ(g.tables.objects[0].active, 0);
  EXPECT_EQ(g.tables.objects[1].active, 1);
  int32_t pieces = 0;
  for (const DebrisRecord& d : g.tables.debris) pieces += d.active != 0 && d.image >= 122 && d.image <= 124;
  EXPECT_EQ(pieces, 3);
}

TEST_F(ShotTest, TheSwordOnlyStrikesOnANewAttackFrame) {
  MakeWalkerPictures();
  SolidBlock(0, 400, kW - 1, kH - 1);
  MonsterRecord& w = Record(0, 0, 300, 385);
  w.image = 120;
  w.poseImage = 415;
  w.lastFrame = 5;
  w.roamRange = 156;
  Swing(250, 300, 350, 420);
  g.player.prevAttackFrame = g.player.attackFrame;
  UpdateMonsters(g);
  EXPECT_EQ(w.active, 1);
  g.player.swordActive = 0;
  g.player.prevAttackFrame = 4;
  UpdateMonsters(g);
  EXPECT_EQ(w.active, 1) << "the marker counts only while the sword can hit";
  Swing(250, 300, 350, 420);  // the walker's drawing covered the old marks
  UpdateMonsters(g);
  EXPECT_EQ(w.active, 0);
}

TEST_F(ShotTest, OnlyTheExactMarkerColourCounts) {
  // The shot picture's body: columns and rows 4..11 of its 16-pixel frame.
  g.player.attackFrame = 3;
  g.player.prevAttackFrame = 2;
  for (uint32_t near : {0xe6020201u, 0xe6020302u, 0xe6030202u, 0xe7020202u, 0xe5fefefeu}) {
    Screen(104, 104) = near;
    EXPECT_FALSE(SwordTouches(g.player, 138, 100, 100, 0)) << std::hex << near;
  }
  Screen(104, 104) = 0xe6fefefeu;
  EXPECT_TRUE(SwordTouches(g.player, 138, 100, 100, 0));
  EXPECT_FALSE(SwordTouches(g.player, 138, 100, 100, 1)) << "a frame past the strip has no body";
  EXPECT_FALSE(SwordTouches(g.player, 138, 101, 100, 0)) << "the marker now lies left of the body";
  Screen(103, 104) = 0;
  Screen(kW - 1, 0) = Marker(0);
  EXPECT_FALSE(SwordTouches(g.player, 138, kW - 4, -4, 0)) << "one column left of the body";
  EXPECT_TRUE(SwordTouches(g.player, 138, kW - 5, -4, 0));
}

TEST_F(ShotTest, TheSwordBreaksShotsIntoFragments) {
  Shot(0, 3, 400, 300);
  Swing(395, 295, 405, 305);
  UpdateMonsters(g);
  EXPECT_EQ(g.tables.objects[0].active, 0);
  EXPECT_EQ(g.tables.debris[0].mode, 2);
  EXPECT_EQ(g.tables.debris[0].image, 140);
}

TEST_F(ShotTest, PickupsAreCollectedWithinReachOfThePlayersFeet) {
  SpawnMonster(g, 400, 300, 11);
  MonsterRecord& r = g.tables.objects[0];
  g.progress.owned[41] = 1;
  PlacePlayer(400 + 48, 300 - 15 - 1);  // d = 48 + 1 + 1 = 50: not yet
  UpdateMonsters(g);
  EXPECT_EQ(r.active, 1);
  PlacePlayer(400 + 48, 300 - 15);  // d = 49
  UpdateMonsters(g);
  EXPECT_EQ(r.active, 0);
  EXPECT_EQ(g.player.weapon, 40);
  EXPECT_EQ(g.progress.owned[40], 1);
  EXPECT_EQ(g.progress.owned[41], 0) << "the curved sword replaces the straight one";
  EXPECT_EQ(g.frameResult, 110);
  EXPECT_EQ(g.resultCount[110], 4);
  // A second message in the same frame waits; a seen one never comes.
  SpawnMonster(g, 400, 300, 22);
  UpdateMonsters(g);
  EXPECT_EQ(g.progress.armour, -1);
  EXPECT_EQ(g.frameResult, 110);
  EXPECT_EQ(g.resultCount[124], 0);
  g.frameResult = 0;
  g.progress.resultSeen[125] = 1;
  SpawnMonster(g, 400, 300, 23);
  UpdateMonsters(g);
  EXPECT_EQ(g.progress.doubleShot, -1);
  EXPECT_EQ(g.frameResult, 0);
  SpawnMonster(g, 400, 300, 31);
  UpdateMonsters(g);
  EXPECT_EQ(g.progress.broadBlade, -1);
  EXPECT_EQ(g.player.cachedWeapon, -13);
}

TEST_F(ShotTest, PickupsBobAboutTheirPoint) {
  SpawnMonster(g, 400, 300, 27);
  MonsterRecord& r = g.tables.objects[0];
  int32_t low = r.bob, high = r.bob;
  for (int32_t f = 0; f < 300; ++f) {
    UpdateMonsters(g);
    low = std::min(low, r.bob);
    high = std::max(high, r.bob);
  }
  EXPECT_LT(low, 0);
  EXPECT_GT(high, 0);
  EXPECT_EQ(r.active, 1) << "pickups never leave";
}

}  // namespace
