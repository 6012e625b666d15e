// Walkers on a level mask: they turn at a ledge, a wall, the screen margins
// and the end of their range, fall after four frames without ground, sink
// their feet into the ground line, push the player and fire.
#include <gtest/gtest.h>

#include "monsters/monster_fixture.h"

namespace {

using vxtest::MonsterTest;

class WalkerTest : public MonsterTest {
 protected:
  static constexpr int32_t kFloor = 400;  // the top row of the floor

  void SetUp() override {
    MonsterTest::SetUp();
    MakeWalkerPictures();
  }
  // A walker of kind 0 whose feet (15 pixels under its point) are on the
  // floor, standing still but for its direction.
  MonsterRecord& Walker(int32_t i, int32_t x, int32_t direction, int32_t speed = 5) {
    MonsterRecord& r = Record(i, 0, x, kFloor - 15);
    r.image = 120;
    r.poseImage = 415;
    r.lastFrame = 5;
    r.direction = direction;
    r.speed = speed;
    r.roamRange = 156;
    return r;
  }
};

TEST_F(WalkerTest, TurnsAtALedgeAndStepsBackInTheSameFrame) {
  SolidBlock(0, kFloor, 300, kH - 1);
  MonsterRecord& r = Walker(0, 300, 1);
  UpdateMonsters(g);
  EXPECT_EQ(WholePixel(r.x), 302) << "still on the last solid column";
  EXPECT_EQ(r.direction, 1);
  UpdateMonsters(g);  // at 302 the foot probe finds nothing
  EXPECT_EQ(r.direction, -1);
  EXPECT_EQ(r.airFrames, 1);
  EXPECT_EQ(r.x, ToFixed(300)) << "stepped back in the same frame";
  EXPECT_EQ(r.y, ToFixed(kFloor - 15)) << "it does not fall yet";
}

TEST_F(WalkerTest, FallsOnlyAfterFourFramesWithoutGroundAndLandsWithOneLastStep) {
  SolidBlock(0, kFloor, kW - 1, kH - 1);
  MonsterRecord& r = Walker(0, 400, 1);
  r.y = ToFixed(kFloor - 15 - 20);  // 20 pixels above the floor
  for (int32_t f = 1; f <= 3; ++f) {
    UpdateMonsters(g);
    EXPECT_EQ(r.airFrames, f);
    EXPECT_EQ(r.y, ToFixed(kFloor - 35)) << "frame " << f;
  }
  const int32_t x = r.x;
  UpdateMonsters(g);
  EXPECT_EQ(r.airFrames, 4);
  EXPECT_EQ(WholePixel(r.y), kFloor - 32) << "3 pixels a frame";
  EXPECT_EQ(r.x, x) << "no sideways step while falling";
  // Falls 3 a frame until the probe finds ground: from 368 to 383, then 386.
  for (int32_t f = 0; f < 5; ++f) UpdateMonsters(g);
  EXPECT_EQ(WholePixel(r.y), kFloor - 17);
  EXPECT_EQ(r.airFrames, 9);
  UpdateMonsters(g);  // the probe at 383 + 15 is still free
  EXPECT_EQ(WholePixel(r.y), kFloor - 14);
  UpdateMonsters(g);  // ground at 386 + 15: one last step, and it stands
  EXPECT_EQ(WholePixel(r.y), kFloor - 11);
  EXPECT_EQ(r.airFrames, 0);
}

TEST_F(WalkerTest, TurnsAtAWallOnEitherSide) {
  SolidBlock(0, kFloor, kW - 1, kH - 1);
  SolidBlock(500, kFloor - 100, 520, kFloor - 1);
  MonsterRecord& right = Walker(0, 474, 1);  // its probe at 474 + 25 = 499: free
  MonsterRecord& left = Walker(1, 546, -1);  // its probe at 546 - 25 = 521: free
  UpdateMonsters(g);
  EXPECT_EQ(right.direction, 1);
  EXPECT_EQ(left.direction, -1);
  UpdateMonsters(g);  // 476 + 25 and 544 - 25 are in the wall
  EXPECT_EQ(right.direction, -1);
  EXPECT_EQ(left.direction, 1);
  EXPECT_EQ(WholePixel(right.x), 474);
  EXPECT_EQ(WholePixel(left.x), 546);
}

TEST_F(WalkerTest, TheMarginsWinOverTheWayHome) {
  SolidBlock(0, kFloor, kW - 1, kH - 1);
  MonsterRecord& r = Walker(0, 64, -1);
  r.homeX = -200;  // far out of range on the left: home says go left
  UpdateMonsters(g);
  EXPECT_EQ(r.direction, 1);
  MonsterRecord& at65 = Walker(1, 65, -1);
  at65.homeX = 65;
  UpdateMonsters(g);
  EXPECT_EQ(at65.direction, -1) << "65 is not inside the margin";
  MonsterRecord& east = Walker(2, kW - 64, 1);
  UpdateMonsters(g);
  EXPECT_EQ(east.direction, -1);
}

TEST_F(WalkerTest, TurnsBackAtTheEndOfItsRange) {
  SolidBlock(0, kFloor, kW - 1, kH - 1);
  MonsterRecord& r = Walker(0, 456, 1);
  r.homeX = 300;  // 156 away: at the end, not beyond
  UpdateMonsters(g);
  EXPECT_EQ(r.direction, 1);
  UpdateMonsters(g);  // 458 is 158 away
  EXPECT_EQ(r.direction, -1);
  MonsterRecord& l = Walker(1, 143, -1);
  l.homeX = 300;
  UpdateMonsters(g);
  EXPECT_EQ(l.direction, 1);
}

TEST_F(WalkerTest, LeavesTheTableFarOutsideTheScreen) {
  // Falling (no sideways steps) with no ground anywhere.
  MonsterRecord& r = Walker(0, -300, -1);
  r.y = ToFixed(100);
  r.airFrames = 4;
  UpdateMonsters(g);
  EXPECT_EQ(r.active, 1) << "exactly 300 outside";
  r.x = ToFixed(-301);
  UpdateMonsters(g);
  EXPECT_EQ(r.active, 0);
  MonsterRecord& low = Walker(1, 400, 1);
  low.y = ToFixed(kH + 298);
  low.airFrames = 4;
  UpdateMonsters(g);
  EXPECT_EQ(low.active, 0) << "298 + 3 is past the bottom margin";
}

TEST_F(WalkerTest, SinksItsFeetIntoTheGroundLine) {
  SolidBlock(0, kFloor, kW - 1, kH - 1);
  Walker(0, 400, 1);
  // The body's lowest row is 59 of the 60-pixel frame; the frame's top lies
  // 30 pixels over the point, so that row is at 385 + 29 = 414. Ground from
  // 400: the largest even sink that keeps the row on it is 14.
  EXPECT_EQ(MonsterTop(g, 0), kFloor - 15 - 30 - 14);
  EXPECT_EQ(GroundSink(g.levelState, 370, kFloor - 45, 415, 40), 14);
  EXPECT_EQ(GroundSink(g.levelState, 370, kFloor - 45, 415, 35), 13) << "an odd depth tries odd sinks only";
  EXPECT_EQ(GroundSink(g.levelState, 370, kFloor - 45, 415, 4), 4);
  EXPECT_EQ(GroundSink(g.levelState, 370, kFloor - 100, 415, 40), 0) << "too high over the ground";
  EXPECT_EQ(GroundSink(g.levelState, 370, kFloor - 45, 700, 40), 0) << "an empty pose";
  EXPECT_EQ(MonsterTop(g, 101), 0);
  EXPECT_EQ(MonsterTop(g, 1), 0);
}

TEST_F(WalkerTest, AMaskOfAnotherSizeGivesNoSink) {
  CreatePicture(engine.gfx, 252, kW, kH - 1);
  for (int32_t x = 0; x < kW; ++x)
    for (int32_t y = kFloor; y < kH - 1; ++y) SetPixel(engine.gfx, 252, x, y, kSolid);
  g.levelState.maskSlot = 252;
  Walker(0, 400, 1);
  EXPECT_EQ(MonsterTop(g, 0), kFloor - 15 - 30);
}

TEST_F(WalkerTest, PushesThePlayerWithoutHurtingHim) {
  SolidBlock(0, kFloor, kW - 1, kH - 1);
  MonsterRecord& r = Walker(0, 400, 1, 0);
  PlacePlayer(410, kFloor - 15 - 22);  // d = 10 + 0 + 1 < 15
  UpdateMonsters(g);
  EXPECT_EQ(g.player.hitStun, 10);
  EXPECT_EQ(g.player.velX, (10 * 10 / 11) * 8192);
  EXPECT_EQ(g.player.velY, 0);
  EXPECT_EQ(g.player.y, ToFixed(kFloor - 15 - 22 - 3)) << "kinds 0 and 2 lift the player";
  EXPECT_EQ(g.player.health, kFullHealth);
  // While stunned (8 or more) nothing pushes.
  g.player.velX = 0;
  g.player.hitStun = 8;
  r.x = ToFixed(400);
  UpdateMonsters(g);
  EXPECT_EQ(g.player.velX, 0);
  // Near the screen edges the player is never pushed.
  g.player.hitStun = 0;
  r.x = ToFixed(120);
  r.direction = 0;
  PlacePlayer(130, kFloor - 15 - 22);
  UpdateMonsters(g);
  EXPECT_EQ(g.player.hitStun, 0);
}

TEST_F(WalkerTest, PushesThePlayerOnlyWithinItsReach) {
  // d = |dx| + |dy| / 3 + 1 must stay under 15 for kinds 0 and 2 and under
  // 20 for the larger walkers.
  SolidBlock(0, kFloor, kW - 1, kH - 1);
  MakeCreature(126, 60, 6, 427, 20, 39, 10, 59);
  struct Case {
    int32_t kind, dx;
    bool pushed;
  };
  for (const Case c : {Case{0, 13, true}, {0, 14, false}, {1, 18, true}, {1, 19, false}}) {
    for (MonsterRecord& o : g.tables.objects) o = MonsterRecord{};
    MonsterRecord& r = Walker(0, 400, 1, 0);
    if (c.kind == 1) {
      r.kind = 1;
      r.image = 126;
      r.poseImage = 427;
      r.lastFrame = 11;
    }
    PlacePlayer(400 + c.dx, kFloor - 15 - 22);
    g.player.hitStun = 0;
    UpdateMonsters(g);
    ASSERT_EQ(CountKind(3) + CountKind(4), 0) << "no shot came between";
    EXPECT_EQ(g.player.hitStun == 10, c.pushed) << "kind " << c.kind << " at " << c.dx;
  }
}

TEST_F(WalkerTest, TheShootingWalkersShotIsHandledInTheSamePass) {
  // A kind 1 walker at index 0 fires into index 1; the player stands where
  // the shot appears, so the contact pass that spawned it also bursts it.
  // (At x = 100 the walker itself never pushes him.)
  SolidBlock(0, kFloor, kW - 1, kH - 1);
  MakeShotPicture();
  MakeCreature(126, 60, 6, 427, 20, 39, 10, 59);
  MonsterRecord& r = Record(0, 1, 100, kFloor - 15);
  r.image = 126;
  r.poseImage = 427;
  r.lastFrame = 11;
  r.frameDivisor = 2;
  r.roamRange = 156;
  const int32_t muzzleY = MonsterTop(g, 0) + 15;
  int32_t shots = 0;
  for (int32_t f = 0; f < 400; ++f) {
    PlacePlayer(100, muzzleY - 22);
    g.player.health = kFullHealth;
    g.player.hitStun = 0;
    g.player.velX = g.player.velY = 0;
    r.direction = 0;
    UpdateMonsters(g);
    EXPECT_EQ(CountKind(3) + CountKind(4), 0) << "frame " << f;
    if (g.player.health < kFullHealth || g.player.hitStun == 10) ++shots;
  }
  EXPECT_GT(shots, 5);
}

}  // namespace
