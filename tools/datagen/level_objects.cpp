// The level object files "data/lvobjNN.txt", placed on the world plan
// (tools/worldplan/world_plan.h, docs/world.md) and on the level masks as
// drawn:
// - walkers stand on a walker floor with their foot probe one row into it,
//   homed so that their roaming range keeps them on that flat floor (a
//   wall, a ledge, a margin or the range turns them before a slope, a rim
//   or a step would take them off it);
// - jumpers stand on a jumper floor on their foot points 90 to 97 pixels
//   down, 100 pixels or more inside the screen, where they clamp;
// - flyers and hoverers hover in open air, homed midway between floor and
//   roof: a wisp bat wanders up to about 130 pixels above and below its
//   home, the night drake about 100, the hoverers about 50;
// - the ground boss stands with the bottom of its frame on the widest floor
//   of the foundry, under the great forge's raised roof;
// - a pickup floats over a floor or ledge of the plan, low enough that a
//   player standing under it takes it and high enough that its bob never
//   dips it into the floor.
// Row 0 teaches the verbs: the imp and the hound, which only push, and the
// first weapon pickups. Row 1 brings the casters, spitters and lobbers, the
// wisp bats, the night drake and the brood eye. Row 3 mixes them with the
// jumpers (the brood stalker, the furnace toad), which only the foundry's
// high roof lets come down again from a leap, and the lantern wraith; the
// stone warden, the ground boss, waits in the great forge (level 17).
// Every level with a file holds a monster the weapon can strike before any
// fight, since that strike is what starts the fight.
//
// Two levels have no file and so count as won from the start: the shaft
// (level 10), which the player falls through in a moment and which gates
// nothing, and the moon chamber (level 24), the ending, where the player
// cannot attack.
#include "datagen/level_objects.h"

#include <string>

#include "datagen/data_set.h"
#include "game/level_start.h"
#include "game/placement_file.h"
#include "game/placements.h"

namespace datagen {

namespace {

// Spawn codes, by name.
constexpr int32_t kImp = 0, kCaster = 1, kHound = 2, kSpitter = 5, kLobber = 7;
constexpr int32_t kFurnaceToad = 17, kNightDrake = 19, kWispBat = 20, kBroodEye = 24;
constexpr int32_t kStoneWarden = 28, kBroodStalker = 32;
constexpr int32_t kMoonBlade = 11, kPistol = 14, kHandCannon = 16;
constexpr int32_t kLongBlade = 21, kArmour = 22, kDoubleShot = 23, kRegeneration = 27, kBroadBlade = 31;

// Spawn heights over a floor whose top row is `floor`.
// A walker's foot probe (15 under its point) one row into the floor.
constexpr int32_t OnFloor(int32_t floor) { return floor - 14; }
// A jumper's lower foot points (97 under its point) one row into the floor,
// so that its soles (94 to 96 under the point as drawn) rest on it.
constexpr int32_t JumperOn(int32_t floor) { return floor - 96; }
// The boss, drawn from its point less half its 288-pixel frame, with its
// soles (141 under the point) on the row above the floor.
constexpr int32_t BossOn(int32_t floor) { return floor - 142; }
// A pickup: drawn up to 25 pixels below its point and bobbing up to 20
// more, so it clears the floor; a player standing there (his point about
// 43 over the floor, the pickup measured from 15 under it) is 18 away.
constexpr int32_t Floating(int32_t floor) { return floor - 46; }

}  // namespace

const std::vector<LevelObjects>& LevelObjectPlan() {
  static const std::vector<LevelObjects> plan = {
      // Row 0: the ruins. The imps and hounds only push; no gun is needed.
      // The western watchtower: a pack between the fallen wall and the way
      // in, close enough together that the fight's first strike finds the
      // others near (a fight here comes after two quick wins, at a low
      // difficulty); the moon blade on the fallen wall.
      {0,
       {{kImp, 600, OnFloor(470)},
        {kHound, 650, OnFloor(470)},
        {kImp, 700, OnFloor(470)},
        {kMoonBlade, 450, Floating(410)}}},
      // The fallen chapel: a pack on the road between the crypt's mouth and
      // the altar stone, which bears the double shot.
      {1,
       {{kImp, 440, OnFloor(460)},
        {kHound, 500, OnFloor(460)},
        {kImp, 540, OnFloor(460)},
        {kDoubleShot, 640, Floating(396)}}},
      // The lantern road, the start: the pistol on the wall stump in the
      // player's way, the walkers on the bridge beyond.
      {2,
       {{kImp, 560, OnFloor(470)},
        {kImp, 640, OnFloor(470)},
        {kHound, 720, OnFloor(470)},
        {kPistol, 400, Floating(410)}}},
      // The broken aqueduct: a pack on the bridge west of the hole, where
      // the player comes in from the lantern road; at the low difficulty
      // of a run of quick wins there is no time to cross the hole for a
      // second pack.
      {3,
       {{kImp, 100, OnFloor(470)},
        {kHound, 150, OnFloor(470)},
        {kImp, 200, OnFloor(470)},
        {kHound, 250, OnFloor(470)}}},
      // The drowned gate: a pack on the causeway, homed far enough from the
      // steps that they never walk into the first one (its top is below the
      // height at which walkers feel for walls); the armour on the top step
      // before the portcullis.
      {4,
       {{kImp, 160, OnFloor(460)},
        {kHound, 240, OnFloor(460)},
        {kImp, 320, OnFloor(460)},
        {kHound, 400, OnFloor(460)},
        {kArmour, 685, Floating(380)}}},
      // Row 1: the vaults. The well chamber: the night drake over a caster
      // and a lobber kept east of the well's rim; the hand cannon on the
      // sarcophagus.
      {5,
       {{kCaster, 480, OnFloor(480)},
        {kLobber, 520, OnFloor(480)},
        {kNightDrake, 480, 320},
        {kHandCannon, 620, Floating(420)}}},
      // The crypt under the chapel, where the player drops in from level 1:
      // a caster, an imp and a spitter between the slope and the
      // sarcophagus, two wisp bats in the air.
      {6,
       {{kCaster, 380, OnFloor(500)},
        {kImp, 430, OnFloor(500)},
        {kSpitter, 470, OnFloor(500)},
        {kWispBat, 150, 330},
        {kWispBat, 660, 320}}},
      // The ossuary: a spitter and a lobber in the west under a wisp bat,
      // an imp and a caster beyond the bone altar, which bears the long
      // blade.
      {7,
       {{kSpitter, 120, OnFloor(500)},
        {kLobber, 180, OnFloor(500)},
        {kImp, 650, OnFloor(480)},
        {kCaster, 700, OnFloor(480)},
        {kWispBat, 260, 340},
        {kLongBlade, 510, Floating(420)}}},
      // The flooded crypt, where the player drops in from level 3: a caster,
      // a spitter and an imp, two wisp bats; the regeneration on the rock.
      {8,
       {{kCaster, 120, OnFloor(480)},
        {kSpitter, 200, OnFloor(480)},
        {kImp, 300, OnFloor(480)},
        {kWispBat, 520, 310},
        {kWispBat, 690, 320},
        {kRegeneration, 620, Floating(440)}}},
      // The cistern: the brood eye over the raised walk, a caster in the
      // west, a lobber and an imp on the walk. Killing a walker starts the
      // fight, in which the eye spits and breeds.
      {9,
       {{kCaster, 90, OnFloor(500)},
        {kLobber, 450, OnFloor(470)},
        {kImp, 540, OnFloor(470)},
        {kBroodEye, 420, 330}}},
      // Row 3: the foundry. The foundry gate: the brood stalker where the
      // player lands, a spitter and a lobber before the furnace, a wisp bat.
      {15,
       {{kBroodStalker, 300, JumperOn(480)},
        {kSpitter, 420, OnFloor(480)},
        {kLobber, 470, OnFloor(480)},
        {kWispBat, 620, 300}}},
      // The furnace hall: a night drake over the west, an imp, a caster and
      // a hound in the east. (The lantern wraith, which falls only to its
      // own spit cut with the blade, made this the one fight of the row the
      // recorded run could not win at the difficulty it arrives with.)
      {16,
       {{kImp, 520, OnFloor(470)},
        {kCaster, 600, OnFloor(470)},
        {kHound, 680, OnFloor(470)},
        {kNightDrake, 300, 300}}},
      // The great forge: the stone warden under the raised roof, a wisp bat
      // on either side; the broad blade on the anvil.
      {17,
       {{kStoneWarden, 400, BossOn(470)},
        {kWispBat, 130, 290},
        {kWispBat, 690, 300},
        {kBroadBlade, 140, Floating(415)}}},
      // The cooling hall: the furnace toad between the iron blocks with a
      // caster and a lobber.
      {18, {{kCaster, 260, OnFloor(480)}, {kLobber, 300, OnFloor(480)}, {kFurnaceToad, 420, JumperOn(480)}}},
      // The last stair: the brood stalker and the night drake, with a caster
      // and a lobber homed far enough west that they never walk into the
      // well's rim (its top is below the height at which walkers feel for
      // walls).
      {19,
       {{kCaster, 100, OnFloor(470)},
        {kLobber, 170, OnFloor(470)},
        {kBroodStalker, 200, JumperOn(470)},
        {kNightDrake, 500, 310}}},
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
