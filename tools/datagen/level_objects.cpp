// The level object files "data/lvobjNN.txt". The plan follows the world
// plan: each level's walkers stand on its walker floors (their foot probe,
// 15 pixels under the spawn point, one pixel into the floor), jumpers on its
// jumper floors (their six foot points 90 to 97 pixels down), flyers and the
// hoverer at a home height in its open air, and a pickup where the plan
// keeps one. Row 0 teaches the verbs with walkers and the first pickups;
// row 1 brings the shooters and spitters, small flyers and the first
// jumper, big flyer and hoverer; the shaft (level 10) holds small flyers;
// row 3 mixes them all, with the ground boss on the last stair (level 19).
// Level 24, the ending, has no file: the player cannot attack there, so a
// fight could never be won, and a level without a file counts as won.
#include "datagen/level_objects.h"

#include <string>

#include "datagen/data_set.h"
#include "game/level_start.h"
#include "game/placement_file.h"

namespace datagen {

namespace {

// Spawn codes, by name.
constexpr int32_t kWalker = 0, kShooter = 1, kRunner = 2, kSpitter = 5, kLobber = 7;
constexpr int32_t kJumper = 17, kBigFlyer = 19, kSmallFlyer = 20, kHoverer = 24, kSecondHoverer = 26;
constexpr int32_t kGroundBoss = 28, kLeaper = 32;
constexpr int32_t kCurvedSword = 11, kStraightSword = 13, kGun = 14, kSecondGun = 16;
constexpr int32_t kLongBlade = 21, kArmour = 22, kDoubleShot = 23, kRegeneration = 27, kBroadBlade = 31;

// Spawn heights over a floor whose top row is `floor`.
constexpr int32_t OnFloor(int32_t floor) { return floor - 14; }
constexpr int32_t JumperOn(int32_t floor) { return floor - 92; }
constexpr int32_t BossOn(int32_t floor) { return floor - 100; }

}  // namespace

const std::vector<LevelObjects>& LevelObjectPlan() {
  static const std::vector<LevelObjects> plan = {
      // Row 0: the ruins.
      {0,
       {{kWalker, 200, OnFloor(470)},
        {kWalker, 320, OnFloor(470)},
        {kRunner, 600, OnFloor(470)},
        {kWalker, 700, OnFloor(470)},
        {kCurvedSword, 450, 410}}},
      {1,
       {{kWalker, 150, OnFloor(470)},
        {kRunner, 450, OnFloor(460)},
        {kWalker, 560, OnFloor(460)},
        {kLongBlade, 680, 396}}},
      // The start: the gun lies near the player, the walkers wait further right.
      {2,
       {{kWalker, 560, OnFloor(470)},
        {kWalker, 660, OnFloor(470)},
        {kRunner, 720, OnFloor(470)},
        {kGun, 400, 410}}},
      {3,
       {{kWalker, 120, OnFloor(470)},
        {kRunner, 250, OnFloor(470)},
        {kWalker, 620, OnFloor(460)},
        {kRunner, 720, OnFloor(460)},
        {kArmour, 435, 405}}},
      {4,
       {{kWalker, 120, OnFloor(460)},
        {kRunner, 260, OnFloor(460)},
        {kWalker, 400, OnFloor(460)},
        {kRunner, 520, OnFloor(460)},
        {kRegeneration, 685, 380}}},
      // Row 1: the crypt.
      {5,
       {{kWalker, 380, OnFloor(480)},
        {kShooter, 660, OnFloor(480)},
        {kShooter, 720, OnFloor(480)},
        {kSmallFlyer, 300, 300},
        {kSecondGun, 535, 420}}},
      {6,
       {{kShooter, 260, OnFloor(500)},
        {kSpitter, 380, OnFloor(500)},
        {kWalker, 480, OnFloor(500)},
        {kSmallFlyer, 200, 300},
        {kSmallFlyer, 600, 320},
        {kDoubleShot, 580, 445}}},
      {7,
       {{kSpitter, 150, OnFloor(500)},
        {kLobber, 300, OnFloor(500)},
        {kRunner, 680, OnFloor(480)},
        {kJumper, 200, JumperOn(500)},
        {kBroadBlade, 530, 420}}},
      {8,
       {{kLobber, 150, OnFloor(480)},
        {kShooter, 300, OnFloor(480)},
        {kWalker, 380, OnFloor(480)},
        {kBigFlyer, 500, 300},
        {kStraightSword, 620, 440}}},
      {9,
       {{kShooter, 150, OnFloor(500)},
        {kSpitter, 240, OnFloor(500)},
        {kLobber, 460, OnFloor(470)},
        {kLeaper, 120, JumperOn(500)},
        {kHoverer, 450, 300}}},
      // The shaft.
      {10, {{kSmallFlyer, 250, 200}, {kSmallFlyer, 400, 350}}},
      // Row 3: the foundry.
      {15,
       {{kShooter, 150, OnFloor(480)},
        {kSpitter, 300, OnFloor(480)},
        {kLobber, 450, OnFloor(480)},
        {kLeaper, 250, JumperOn(480)},
        {kBigFlyer, 600, 300}}},
      {16,
       {{kRunner, 120, OnFloor(480)},
        {kSpitter, 550, OnFloor(470)},
        {kLobber, 700, OnFloor(470)},
        {kSecondHoverer, 400, 280}}},
      {17,
       {{kShooter, 300, OnFloor(470)},
        {kSpitter, 500, OnFloor(470)},
        {kJumper, 400, JumperOn(470)},
        {kBigFlyer, 250, 280}}},
      {18,
       {{kWalker, 420, OnFloor(480)},
        {kRunner, 560, OnFloor(480)},
        {kLeaper, 150, JumperOn(480)},
        {kHoverer, 400, 250}}},
      {19, {{kShooter, 150, OnFloor(470)}, {kLobber, 420, OnFloor(470)}, {kGroundBoss, 300, BossOn(470)}}},
  };
  return plan;
}

void WriteLevelObjects(DataSetWriter& out) {
  for (const LevelObjects& level : LevelObjectPlan()) {
    PlacementRecord records[kPlacementCount] = {};
    int32_t i = 0;
    for (const PlacedObject& o : level.objects) {
      records[i].active = 1;
      records[i].x = o.x;
      records[i].y = o.y;
      records[i].type = o.code;
      ++i;
    }
    out.WriteBytes("data/" + ObjectFileName(level.level), FormatPlacements(records));
  }
}

}  // namespace datagen
