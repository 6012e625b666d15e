// Spawning: the first free record, the table of spawn codes, the aims and
// the order of the random draws, and clearing the table.
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/objects.h"
#include "monsters/monster_fixture.h"

namespace {

using vxtest::MonsterTest;

class SpawnTest : public MonsterTest {};

TEST_F(SpawnTest, AFullTableDropsTheSpawnAndAFreedRecordIsTakenFirst) {
  for (int32_t i = 0; i < kObjectCount; ++i) SpawnMonster(g, 100 + i, 200, 0);
  ASSERT_EQ(ActiveCount(), kObjectCount);
  const MonsterRecord before = g.tables.objects[57];
  const RandomSource stateBefore = engine.random;
  SpawnMonster(g, 5, 5, 3);
  EXPECT_EQ(ActiveCount(), kObjectCount);
  EXPECT_EQ(engine.random.s, stateBefore.s) << "a dropped spawn draws nothing";
  g.tables.objects[57].active = 0;
  SpawnMonster(g, 5, 6, 3);
  EXPECT_EQ(g.tables.objects[57].active, 1);
  EXPECT_EQ(g.tables.objects[57].kind, 3);
  EXPECT_EQ(g.tables.objects[57].x, ToFixed(5));
  EXPECT_NE(g.tables.objects[57].x, before.x);
}

// The kinds, strips and poses of these codes are rows of the table test
// (monster_tables_test.cpp); here what the rows do not hold.
TEST_F(SpawnTest, CodesThatStoreAnotherKind) {
  SpawnMonster(g, 300, 200, 26);
  const MonsterRecord& hoverer = g.tables.objects[0];
  EXPECT_EQ(hoverer.health, kFullHealth);
  EXPECT_EQ(hoverer.homeY, 200);

  SpawnMonster(g, 300, 200, 9);
  EXPECT_LT(g.tables.objects[1].vx, 0) << "code 9 lobs to the left";
  EXPECT_LT(g.tables.objects[1].vy, 0);

  g.tables.objects[0].phaseTimer = 10;
  g.tables.currentShooter = 0;
  SpawnMonster(g, 300, 200, 30);
  EXPECT_EQ(g.tables.objects[2].glow, 50);
}

TEST_F(SpawnTest, CodesThatCreateNothingDrawNothing) {
  for (int32_t code : {12, 33, 90, -1, 1000}) {
    const RandomSource before = engine.random;
    SpawnMonster(g, 10, 10, code);
    EXPECT_EQ(ActiveCount(), 0) << code;
    EXPECT_EQ(engine.random.s, before.s) << code;
  }
}

TEST_F(SpawnTest, AnAimedShotAtThePlayerItselfStandsStill) {
  PlacePlayer(250, 300);
  SpawnMonster(g, 250, 300, 3);
  EXPECT_EQ(g.tables.objects[0].vx, 0);
  EXPECT_EQ(g.tables.objects[0].vy, 0);
  // Straight at the player to the right: (50 · 100 / 101) · 2^13.
  SpawnMonster(g, 150, 300, 3);
  EXPECT_EQ(g.tables.objects[1].vx, 49 * 8192);
  EXPECT_EQ(g.tables.objects[1].vy, 0);
  // The hoverer's shot adds rand(-18, 18) to each quotient.
  g.tables.currentShooter = 500;
  SpawnMonster(g, 250, 300, 25);
  EXPECT_EQ(g.tables.currentShooter, 0) << "a shooter index above 100 is taken as 0";
  EXPECT_EQ(g.tables.objects[2].shooter, 0);
  EXPECT_LE(std::abs(g.tables.objects[2].vx), 18 * 8192);
  EXPECT_EQ(g.tables.objects[2].vx % 8192, 0);
  g.tables.currentShooter = 100;  // the last record
  SpawnMonster(g, 250, 300, 25);
  EXPECT_EQ(g.tables.objects[3].shooter, 100);
}

TEST_F(SpawnTest, WalkerFieldsAndTheOrderOfItsDraws) {
  RandomSource replay = engine.random;
  SpawnMonster(g, 321, 222, 1);
  const MonsterRecord& r = g.tables.objects[0];
  // The frame is drawn first, then the direction; nothing else.
  const int32_t frame = 2 * Random(replay, 0, 5);
  const int32_t direction = Random(replay, 0, 1) * 2 - 1;
  EXPECT_EQ(engine.random.s, replay.s);
  EXPECT_EQ(r.frame, frame);
  EXPECT_EQ(r.direction, direction);
  // The table's words are rows of monster_tables_test.cpp; these are the
  // spawn point's.
  EXPECT_EQ(r.homeX, 321);
  EXPECT_EQ(r.y, ToFixed(222));
  EXPECT_EQ(r.angle, 0);
  EXPECT_EQ(r.glow, 0);
}

TEST_F(SpawnTest, ShotDrawsFollowTheRecordsWordOrder) {
  PlacePlayer(400, 300);
  RandomSource replay = engine.random;
  SpawnMonster(g, 100, 100, 4);
  const MonsterRecord& r = g.tables.objects[0];
  const int32_t direction = Random(replay, 0, 1) * 2 - 1;
  // The target point draws its y offset first.
  const int32_t oy = Random(replay, -20, 20);
  const int32_t ox = Random(replay, -20, 20);
  const int32_t angle = Random(replay, 0, 359);
  EXPECT_EQ(engine.random.s, replay.s);
  const int32_t dx = 400 + ox - 100, dy = 300 + oy - 100;
  const int32_t n = std::abs(dx) + std::abs(dy) + 1;
  EXPECT_EQ(r.direction, direction);
  EXPECT_EQ(r.vx, 65 * dx / n * 8192);
  EXPECT_EQ(r.vy, 65 * dy / n * 8192);
  EXPECT_EQ(r.angle, angle * 65536);
}

TEST_F(SpawnTest, PickupsRocksAndTheBigOnes) {
  SpawnMonster(g, 400, 300, 22);
  const MonsterRecord& pickup = g.tables.objects[0];
  EXPECT_EQ(pickup.image, 45);
  EXPECT_EQ(pickup.frame, -1);
  EXPECT_EQ(pickup.homeX, 0);
  EXPECT_EQ(pickup.direction, 0);
  EXPECT_EQ(pickup.roamRange, 0);
  EXPECT_GE(pickup.bob, 10 * kFixedOne);
  EXPECT_LE(pickup.bob, 20 * kFixedOne);
  EXPECT_EQ(pickup.bob % kFixedOne, 0);

  SpawnMonster(g, 400, -40, 29);
  const MonsterRecord& rock = g.tables.objects[1];
  EXPECT_GE(rock.image, 725);
  EXPECT_LE(rock.image, 727);
  EXPECT_EQ(rock.frameDivisor, 0);
  EXPECT_EQ(rock.vx, 0);
  EXPECT_EQ(rock.vy % 16384, 0);
  EXPECT_EQ(rock.roamRange, 220 * kW / 1024);

  SpawnMonster(g, 400, 300, 17);
  EXPECT_EQ(g.tables.objects[2].direction, 0);
  EXPECT_EQ(g.tables.objects[2].rage, 500);
  EXPECT_EQ(g.tables.objects[2].health, kFullHealth);
  SpawnMonster(g, 400, 300, 28);
  EXPECT_EQ(g.tables.objects[3].phaseTimer, 120);
  EXPECT_EQ(g.tables.objects[3].speed, 0);
  SpawnMonster(g, 400, 300, 20);
  EXPECT_EQ(g.tables.objects[4].health, 0) << "the small flyer dies from one touch";
  EXPECT_EQ(g.tables.objects[4].homeY, 300);
}

TEST_F(SpawnTest, TheGunShotFollowsFacingAndDoubleShot) {
  g.player.facing = 2;
  SpawnMonster(g, 400, 300, 10);
  EXPECT_GE(g.tables.objects[0].vx, 42 * 8192);
  EXPECT_LE(g.tables.objects[0].vx, 58 * 8192);
  g.player.facing = 1;
  g.progress.doubleShot = -1;
  RandomSource replay = engine.random;
  SpawnMonster(g, 400, 300, 10);
  Random(replay, 0, 1);  // direction
  const int32_t across = -60 + Random(replay, -8, 8);
  const int32_t spreadX = Random(replay, -20, 20);
  const int32_t up = Random(replay, -4, 4) - 50;
  const int32_t spreadY = Random(replay, -20, 20);
  EXPECT_EQ(g.tables.objects[1].vx, (across + spreadX) * 8192);
  EXPECT_EQ(g.tables.objects[1].vy, (up + spreadY) * 8192);
}

TEST_F(SpawnTest, ClearObjectsClearsEveryWord) {
  SpawnMonster(g, 1, 2, 28);
  g.tables.objects[100].spare[36] = 7;
  ClearObjects(g.tables);
  for (const MonsterRecord& r : g.tables.objects) {
    const auto* words = reinterpret_cast<const int32_t*>(&r);
    for (int32_t w = 0; w < 64; ++w) ASSERT_EQ(words[w], 0);
  }
}

}  // namespace
