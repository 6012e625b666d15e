// The monsters' tables, row by row: the spawn table of every code (kind,
// strip, frame cycle, speed, reach, poses), the class of every kind and the
// weight the fight gives it, and the damage of every hurting kind at every
// edge of the difficulty bands. The expected rows are written out here, not
// taken from the code, so that a changed entry shows as the row it breaks.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "game/fight.h"
#include "game/object_kinds.h"
#include "monsters/monster_fixture.h"

namespace {

using vxtest::MonsterTest;

class MonsterTables : public MonsterTest {
 protected:
  // Difficulty s exactly, as the fight reads it.
  void SetDifficulty(int32_t s) {
    g.progress.difficultyBase = 35;
    g.progress.difficultyOffset = 35 - s;
    ASSERT_EQ(Difficulty(g.progress), s);
  }
};

// code, stored kind, strip, last frame, frame divisor, speed, reach base,
// first pose, and the count of start frames the spawn draws from (0: none).
struct SpawnRow {
  int32_t code, kind, image, lastFrame, divisor, speed, reach, pose, starts;
};
constexpr SpawnRow kSpawnRows[] = {
    {0, 0, 120, 5, 1, 5, 200, 415, 6},    {1, 1, 126, 11, 2, 6, 200, 427, 6},
    {2, 2, 132, 8, 1, 8, 200, 439, 9},    {3, 3, 138, 0, 1, 5, 200, 0, 0},
    {4, 4, 138, 0, 1, 5, 200, 0, 0},      {5, 5, 150, 11, 2, 4, 200, 457, 6},
    {6, 6, 138, 0, 1, 5, 200, 0, 0},      {7, 7, 156, 11, 2, 4, 200, 469, 6},
    {8, 8, 138, 0, 1, 5, 200, 0, 0},      {9, 8, 138, 0, 1, 5, 200, 0, 0},
    {10, 10, 138, 0, 1, 5, 200, 0, 0},    {11, 11, 40, -1, 1, 5, 0, 0, 0},
    {13, 13, 41, -1, 1, 5, 0, 0, 0},      {14, 14, 42, -1, 1, 5, 0, 0, 0},
    {15, 15, 138, 0, 1, 5, 200, 0, 0},    {16, 16, 43, -1, 1, 5, 0, 0, 0},
    {17, 17, 162, 15, 8, 4, 200, 481, 2}, {18, 18, 138, 0, 1, 5, 200, 0, 0},
    {19, 19, 167, 19, 4, 8, 220, 485, 5}, {20, 20, 172, 9, 2, 10, 220, 495, 5},
    {21, 21, 44, -1, 1, 5, 0, 0, 0},      {22, 22, 45, -1, 1, 5, 0, 0, 0},
    {23, 23, 46, -1, 1, 5, 0, 0, 0},      {24, 24, 177, 11, 4, 1, 220, 505, 3},
    {25, 25, 138, 0, 1, 5, 200, 0, 0},    {26, 24, 182, 11, 4, 4, 220, 511, 3},
    {27, 27, 47, -1, 1, 5, 0, 0, 0},      {28, 28, 187, 19, 4, 0, 220, 505, 5},
    {29, 29, -1, 0, 0, 10, 220, 0, 0},    {30, 3, 138, 0, 1, 5, 200, 0, 0},
    {31, 31, 48, -1, 1, 5, 0, 0, 0},      {32, 32, 192, 19, 4, 4, 200, 517, 5},
};

TEST_F(MonsterTables, EverySpawnCodeMakesItsRow) {
  for (const SpawnRow& row : kSpawnRows) {
    ClearObjects(g.tables);
    PlacePlayer(100, 100);
    SpawnMonster(g, 400, 300, row.code);
    const MonsterRecord& r = g.tables.objects[0];
    ASSERT_EQ(r.active, 1) << "code " << row.code;
    EXPECT_EQ(r.kind, row.kind) << "code " << row.code;
    if (row.image >= 0) {
      EXPECT_EQ(r.image, row.image) << "code " << row.code;
    }
    EXPECT_EQ(r.lastFrame, row.lastFrame) << "code " << row.code;
    EXPECT_EQ(r.frameDivisor, row.divisor) << "code " << row.code;
    EXPECT_EQ(r.speed, row.speed) << "code " << row.code;
    EXPECT_EQ(r.roamRange, row.reach * kW / 1024) << "code " << row.code;
    EXPECT_EQ(r.poseImage, row.pose) << "code " << row.code;
  }
}

// A kind's pose cycle: the frame runs 0 .. lastFrame and shows pose
// frame / divisor, so a strip of n poses needs lastFrame / divisor = n - 1;
// the spawn starts on a pose boundary, and over many spawns on every one.
TEST_F(MonsterTables, EveryPoseCycleStartsOnEachOfItsPoses) {
  for (const SpawnRow& row : kSpawnRows) {
    if (row.starts == 0) continue;
    EXPECT_EQ(row.lastFrame / row.divisor + 1, row.starts) << "code " << row.code;
    std::set<int32_t> poses;
    for (int32_t n = 0; n < 200; ++n) {
      ClearObjects(g.tables);
      SpawnMonster(g, 400, 300, row.code);
      const MonsterRecord& r = g.tables.objects[0];
      ASSERT_EQ(r.frame % row.divisor, 0) << "code " << row.code << " frame " << r.frame;
      ASSERT_GE(r.frame, 0);
      ASSERT_LE(r.frame, r.lastFrame) << "code " << row.code;
      poses.insert(r.frame / row.divisor);
    }
    EXPECT_EQ(static_cast<int32_t>(poses.size()), row.starts) << "code " << row.code;
  }
}

// What each kind counts as in the fight, and the weight of one of it in
// the fight's monster count.
TEST_F(MonsterTables, EveryKindHasItsClassAndFightWeight) {
  constexpr int32_t kWeight[4] = {0, 1, 25, 80};
  for (int32_t kind = -2; kind <= 40; ++kind) {
    int32_t expected = kNotAMonster;
    switch (kind) {
      case 0:
      case 1:
      case 2:
      case 5:
      case 7:
      case 20:
        expected = kSmallMonster;
        break;
      case 17:
      case 19:
      case 24:
      case 32:
        expected = kBigMonster;
        break;
      case 28:
        expected = kBossMonster;
        break;
      default:
        break;
    }
    EXPECT_EQ(MonsterClass(kind), expected) << "kind " << kind;
    ClearObjects(g.tables);
    Record(0, kind, 400, 300);
    Record(1, kind, 420, 300);
    EXPECT_EQ(WeightedMonsterCount(g.tables), 2 * kWeight[expected]) << "kind " << kind;
  }
}

// The difficulty values at and around the band edges (s >= 51, 36..50,
// 26..35, <= 25), the ends of the range included.
constexpr int32_t kEdges[] = {75, 51, 50, 36, 35, 26, 25, 10};
int32_t Band(int32_t s) { return s >= 51 ? 0 : s >= 36 ? 1 : s >= 26 ? 2 : 3; }

TEST_F(MonsterTables, EveryHurtingKindAtEveryBandEdge) {
  struct DamageRow {
    int32_t kind;
    int32_t damage[4];  // by band
  };
  constexpr DamageRow kRows[] = {
      {3, {5, 6, 7, 10}},
      {6, {3, 4, 5, 8}},
      {8, {3, 4, 5, 7}},
      {18, {6, 7, 8, 10}},
      {25, {1, 1, 2, 3}},
      {29, {15, 17, 19, 25}},
      // The small flyer's shot only shoves; the player's own shots never hurt him.
      {4, {0, 0, 0, 0}},
      {10, {0, 0, 0, 0}},
      {15, {0, 0, 0, 0}},
  };
  g.progress.armour = -1;  // the damage once, as the table gives it
  for (const DamageRow& row : kRows) {
    for (int32_t s : kEdges) {
      SetDifficulty(s);
      g.player.health = kFullHealth;
      g.player.hitStun = 0;
      ClearObjects(g.tables);
      MonsterRecord& r = Record(0, row.kind, 400, 300);
      r.image = 138;
      r.glow = 50;
      r.fuse = 0;
      // The lobbed and arcing shots and the rock fall: start them rising so
      // that they stand still in the frame they touch.
      if (row.kind == 8 || row.kind == 18 || row.kind == 29) r.vy = -kFixedOne / 2;
      if (row.kind == 15) r.fuse = 40;  // not yet bursting
      PlacePlayer(400, 300 - 22);       // d = 1
      UpdateMonsters(g);
      EXPECT_EQ(g.player.health, kFullHealth - row.damage[Band(s)] * kFixedOne)
          << "kind " << row.kind << " difficulty " << s;
    }
  }
}

}  // namespace
