// The level object files of the data set against the level masks and the
// world plan: which levels have one, that the game reads each back as
// planned, and that every placement starts, stands and roams where the
// contact rules of its kind work on the real mask. The monsters run with the
// game's own update on the generated pictures; a placement that sinks into
// a floor, floats, walks off its floor, leaps out of the level or cannot be
// picked up fails here with its level and place.
#include "datagen/level_objects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "assets/loading.h"
#include "datagen/generated_data_set.h"
#include "game/game_state.h"
#include "game/level_start.h"
#include "game/objects.h"
#include "game/placements.h"
#include "gfx/image_slots.h"
#include "routecheck/route_world.h"
#include "shell/globals.h"
#include "shell/window.h"
#include "support/engine_test.h"
#include "worldplan/world_plan.h"

namespace {

namespace fs = std::filesystem;
namespace world = datagen::world;

constexpr int32_t kW = world::kWidth, kH = world::kHeight;

bool IsWalker(int32_t kind) { return kind == 0 || kind == 1 || kind == 2 || kind == 5 || kind == 7; }
bool IsJumper(int32_t kind) { return kind == 17 || kind == 32; }
bool IsFlying(int32_t kind) { return kind == 19 || kind == 20 || kind == 24; }
bool IsPickup(int32_t code) {
  for (int32_t k : {11, 13, 14, 16, 21, 22, 23, 27, 31})
    if (code == k) return true;
  return false;
}

class LevelObjectsTest : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartWindowed();
    LinkGeneratedData();
  }

  // The creature, shot and pickup pictures as the loader prepares them.
  void LoadCreatures() {
    for (int32_t step : {5, 6, 7, 8})
      LoadAssetsStep(g.levelPictures, -1, step, engine.gfx, engine.effects, engine.sound);
  }

  // The level's mask and its objects spawned from its file, nobody about.
  void Enter(int32_t level) {
    ASSERT_TRUE(routecheck::LoadLevelMask(g, level)) << level;
    LoadPlacements(g);
    g.player.alive = 0;
    g.player.x = g.player.y = kOffScreenFixed;
    g.fight.time = 0;
    g.fight.timeStart = 1;
    g.progress.difficultyBase = 35;
  }

  bool Solid(int32_t x, int32_t y) { return GetPixel(engine.gfx, g.levelState.maskSlot, x, y) != 0; }
  // The first solid row at or below y (kH when none).
  int32_t FloorUnder(int32_t x, int32_t y) {
    y = std::max(y, 0);
    while (y < kH && !Solid(x, y)) ++y;
    return y;
  }
  // How far (x, y) lies inside the mask: the distance to the nearest free
  // pixel straight above or below it (up to 100).
  int32_t DepthIn(int32_t x, int32_t y) {
    for (int32_t d = 0; d < 100; ++d)
      if (!Solid(x, y - d) || !Solid(x, y + d)) return d;
    return 100;
  }
  // The lowest opaque row of a picture (-1 when empty).
  int32_t LowestRow(int32_t slot) {
    for (int32_t y = PictureHeight(engine.gfx, slot) - 1; y >= 0; --y)
      for (int32_t x = 0; x < PictureWidth(engine.gfx, slot); ++x)
        if ((GetPixel(engine.gfx, slot, x, y) >> 24) != 0) return y;
    return -1;
  }
  // Opaque pixels of `slot`'s frame `frame` drawn at (left, top) that lie on
  // solid mask, counting only rows above `floorY`.
  int32_t Overlap(int32_t slot, int32_t frame, int32_t left, int32_t top, int32_t floorY = kH) {
    const int32_t h = PictureHeight(engine.gfx, slot);
    int32_t n = 0;
    for (int32_t y = 0; y < h && top + y < floorY; ++y)
      for (int32_t x = 0; x < h; ++x)
        if ((GetPixel(engine.gfx, slot, frame * h + x, y) >> 24) != 0 && Solid(left + x, top + y)) ++n;
    return n;
  }

  const world::Zone* ZoneFor(int32_t level, world::ZoneKind kind, int32_t x, int32_t floorY) {
    for (const world::Zone& z : world::kZones)
      if (z.level == level && z.kind == kind && x >= z.x0 && x <= z.x1 && std::abs(floorY - z.y0) <= 3)
        return &z;
    return nullptr;
  }

  GameState& g = game;
};

TEST_F(LevelObjectsTest, EveryPlannedFileReadsBackAsPlannedAndTheOthersCountAsWon) {
  std::set<int32_t> withFile;
  for (const datagen::LevelObjects& level : datagen::LevelObjectPlan()) {
    withFile.insert(level.level);
    g.level = level.level;
    LoadPlacements(g);
    int32_t i = 0;
    for (const datagen::PlacedObject& o : level.objects) {
      EXPECT_EQ(g.tables.placements[i].active, 1) << level.level;
      EXPECT_EQ(g.tables.placements[i].x, o.x) << level.level;
      EXPECT_EQ(g.tables.placements[i].y, o.y) << level.level;
      EXPECT_EQ(g.tables.placements[i].type, o.code) << level.level;
      ++i;
    }
    EXPECT_EQ(g.tables.placements[i].active, 0);
    int32_t active = 0;
    for (const MonsterRecord& r : g.tables.objects) active += r.active != 0 ? 1 : 0;
    EXPECT_EQ(active, i) << "every object of level " << level.level << " spawns";
  }
  for (int32_t n = 0; n <= kHighestLevel; ++n) {
    const bool exists = fs::exists("data/" + ObjectFileName(n));
    EXPECT_EQ(exists, withFile.count(n) == 1) << n;
  }
  // Every level with pictures has a fight but the shaft, which the player
  // falls through, and the moon chamber, where he cannot attack.
  for (int32_t level : world::kLevels)
    EXPECT_EQ(withFile.count(level), level == 10 || level == 24 ? 0u : 1u) << level;
}

TEST_F(LevelObjectsTest, EachRowBringsItsMonstersAndEveryFightCanBeStarted) {
  std::map<int32_t, int32_t> pickups;  // code -> level
  int32_t bossLevel = -1, firstGunLevel = -1;
  std::set<int32_t> rowZero;
  for (const datagen::LevelObjects& level : datagen::LevelObjectPlan()) {
    bool strikeable = false;
    for (const datagen::PlacedObject& o : level.objects) {
      EXPECT_TRUE(o.code <= 32 && o.code != 12) << level.level;
      const int32_t kind = o.code == 26 ? 24 : o.code;
      // The fight starts with the weapon's first strike, and the hoverer
      // neither takes one nor fires before the fight.
      strikeable = strikeable || (MonsterClass(kind) != 0 && kind != 24);
      if (level.level <= 4) rowZero.insert(o.code);
      if (IsPickup(o.code)) {
        EXPECT_EQ(pickups.count(o.code), 0u) << "pickup " << o.code << " twice";
        pickups[o.code] = level.level;
      }
      if ((o.code == 14 || o.code == 16) && firstGunLevel < 0) firstGunLevel = level.level;
      if (o.code == 28) {
        EXPECT_EQ(bossLevel, -1) << "one ground boss";
        bossLevel = level.level;
      }
    }
    EXPECT_TRUE(strikeable) << "level " << level.level << " has no fight that can begin";
  }
  const std::set<int32_t> verbs = {0, 2, 11, 13, 14, 16, 21, 22, 23, 27, 31};
  for (int32_t code : rowZero) EXPECT_EQ(verbs.count(code), 1u) << "row 0 holds " << code;
  const auto& start = datagen::LevelObjectPlan()[2];
  ASSERT_EQ(start.level, 2);
  bool walker = false, weapon = false;
  for (const datagen::PlacedObject& o : start.objects) {
    walker = walker || o.code == 0 || o.code == 2;
    weapon = weapon || o.code == 11 || o.code == 13 || o.code == 14 || o.code == 16;
  }
  EXPECT_TRUE(walker && weapon) << "the first level met has walkers and a weapon to pick up";
  // Only gun shots hurt the ground boss: a gun lies on the way to it.
  EXPECT_GE(firstGunLevel, 0);
  EXPECT_LT(firstGunLevel, 10);
  // The boss waits in the foundry, but not where the player falls in from
  // the shaft.
  EXPECT_GE(bossLevel, 16);
  EXPECT_LE(bossLevel, 19);
}

// Walkers start on a walker floor of the plan with their probes where the
// rules want them, rest their drawn soles on the ground line, and roam for a
// long while without ever losing the ground or leaving that flat floor.
TEST_F(LevelObjectsTest, WalkersStandOnTheirFloorsAndRoamWithoutLeavingThem) {
  LoadCreatures();
  int32_t walkers = 0;
  for (const datagen::LevelObjects& level : datagen::LevelObjectPlan()) {
    Enter(level.level);
    std::map<int32_t, int32_t> floorOf;  // record -> its zone's floor
    for (int32_t i = 0; i < kObjectCount; ++i) {
      const MonsterRecord& r = g.tables.objects[i];
      if (r.active == 0 || !IsWalker(r.kind)) continue;
      ++walkers;
      const int32_t px = WholePixel(r.x), py = WholePixel(r.y);
      SCOPED_TRACE("level " + std::to_string(level.level) + " walker at x " + std::to_string(px));
      const int32_t floorY = FloorUnder(px, py);
      const world::Zone* z = ZoneFor(level.level, world::ZoneKind::Walker, px, floorY);
      ASSERT_NE(z, nullptr) << "not on a walker floor of the plan (floor " << floorY << ")";
      floorOf[i] = z->y0;
      EXPECT_TRUE(Solid(px, py + 15)) << "no ground under its foot probe";
      EXPECT_FALSE(Solid(px, py)) << "spawned inside the mask";
      EXPECT_FALSE(Solid(px - 25, py - 35) || Solid(px + 25, py - 35)) << "a wall probe in the mask";
      // The drawn pose, lifted by the ground sink, ends on the ground line.
      const int32_t k = std::max(r.frameDivisor, 1);
      const int32_t pose = r.poseImage + r.frame / k + (r.direction <= 0 ? (r.kind == 2 ? 9 : 6) : 0);
      const int32_t soles = MonsterTop(g, i) + LowestRow(pose);
      EXPECT_GE(soles, floorY - 3) << "floats";
      EXPECT_LE(soles, floorY + 2) << "sunk";
    }
    // A step over a ledge is undone in the next frame: one frame off the
    // floor is the turn, two would be a walk off it.
    std::map<int32_t, int32_t> offFloor;
    for (int32_t frame = 0; frame < 1500 && !HasFailure(); ++frame) {
      UpdateMonsters(g);
      for (const auto& [i, zoneFloor] : floorOf) {
        const MonsterRecord& r = g.tables.objects[i];
        const int32_t px = WholePixel(r.x), py = WholePixel(r.y);
        ASSERT_EQ(r.active, 1) << "level " << level.level << " record " << i;
        ASSERT_LE(r.airFrames, 3) << "level " << level.level << " walker fell at x " << px << " frame "
                                  << frame;
        offFloor[i] = std::abs(FloorUnder(px, py) - zoneFloor) > 3 ? offFloor[i] + 1 : 0;
        ASSERT_LE(offFloor[i], 1) << "level " << level.level << " walker left its floor at x " << px
                                  << " frame " << frame;
      }
    }
  }
  EXPECT_GT(walkers, 30);
}

// Jumpers stand on their foot points on a jumper floor, clear of the walls
// they feel for, and in a long fight of leaps they stay in the level and
// keep coming down to the floor, never clinging to a roof or a wall out of
// the player's reach.
TEST_F(LevelObjectsTest, JumpersStandOnTheirPointsAndLandInsideTheLevel) {
  LoadCreatures();
  int32_t jumpers = 0;
  for (const datagen::LevelObjects& level : datagen::LevelObjectPlan()) {
    for (const datagen::PlacedObject& o : level.objects) {
      if (!IsJumper(o.code)) continue;
      ++jumpers;
      SCOPED_TRACE("level " + std::to_string(level.level) + " jumper at x " + std::to_string(o.x));
      Enter(level.level);
      ClearObjects(g.tables);
      SpawnMonster(g, o.x, o.y, o.code);
      const MonsterRecord& r = g.tables.objects[0];
      const int32_t px = o.x, py = o.y;
      bool stands = false;
      for (int32_t a : {-40, 0, 40})
        for (int32_t b : {90, 97}) stands = stands || Solid(px + a, py + b);
      EXPECT_TRUE(stands);
      EXPECT_FALSE(Solid(px, py)) << "spawned inside the mask";
      EXPECT_FALSE(Solid(px - 80, py) || Solid(px + 80, py)) << "a wall probe in the mask";
      EXPECT_GE(px, 100);
      EXPECT_LE(px, kW - 100);
      const int32_t floorY = FloorUnder(px, py + 60);
      EXPECT_NE(ZoneFor(level.level, world::ZoneKind::Jumper, px, floorY), nullptr)
          << "not on a jumper floor of the plan (floor " << floorY << ")";
      // Drawn 10 lower than its top, the soles end on the floor.
      const int32_t soles =
          MonsterTop(g, 0) + 10 + LowestRow(r.poseImage + r.frame / std::max(r.frameDivisor, 1));
      EXPECT_GE(soles, floorY - 3);
      EXPECT_LE(soles, floorY + 2);
      // A fight: the stalker leaps while it runs, the toad whenever the
      // blade has just been out. Far away, the player draws the shots off.
      // It must keep coming down to the floor, where the player can reach
      // it, and never cling to the roof or a wall for long.
      g.player.alive = -1;
      g.player.x = ToFixed(-2000);
      g.player.y = ToFixed(-2000);
      g.fight.time = 1000000;
      g.fight.timeStart = 1000001;
      int32_t onFloor = 0, prevAir = 0, held = 0, longestHeld = 0;
      for (int32_t frame = 0; frame < 1500; ++frame) {
        g.player.swordActive = frame % 90 == 0 ? -1 : 0;
        UpdateMonsters(g);
        ASSERT_EQ(r.active, 1) << "left the level at frame " << frame;
        ASSERT_EQ(r.kind, o.code);
        const int32_t feet = WholePixel(r.y) + 97;
        const bool high = r.airFrames == 0 && feet < floorY - 40;
        held = high ? held + 1 : 0;
        longestHeld = std::max(longestHeld, held);
        if (r.airFrames == 0 && prevAir > 3 && feet >= floorY - 40 && feet <= floorY + 60) ++onFloor;
        prevAir = r.airFrames;
      }
      EXPECT_GE(onFloor, 5) << "it should come down to the floor again and again";
      EXPECT_LT(longestHeld, 150) << "it clung high up out of reach";
    }
  }
  EXPECT_GE(jumpers, 3);
}

// Flyers and hoverers start in the open air of a flyer box, their bodies off
// the mask, and drift about home without their middle entering a wall.
TEST_F(LevelObjectsTest, FlyersAndHoverersKeepToOpenAir) {
  LoadCreatures();
  int32_t flyers = 0;
  for (const datagen::LevelObjects& level : datagen::LevelObjectPlan()) {
    for (const bool fight : {false, true}) {
      Enter(level.level);
      std::set<int32_t> tracked;
      for (int32_t i = 0; i < kObjectCount; ++i) {
        const MonsterRecord& r = g.tables.objects[i];
        if (r.active == 0 || !IsFlying(r.kind)) continue;
        tracked.insert(i);
        if (fight) continue;
        ++flyers;
        const int32_t px = WholePixel(r.x), py = WholePixel(r.y);
        SCOPED_TRACE("level " + std::to_string(level.level) + " flyer at x " + std::to_string(px));
        bool inBox = false;
        for (const world::Zone& z : world::kZones)
          inBox = inBox || (z.level == level.level && z.kind == world::ZoneKind::Flyer && px >= z.x0 &&
                            px <= z.x1 && py >= z.y0 && py <= z.y1);
        EXPECT_TRUE(inBox) << "not in a flyer box of the plan";
        const int32_t h = PictureHeight(engine.gfx, r.image);
        EXPECT_EQ(Overlap(r.image, r.frame / std::max(r.frameDivisor, 1), px - h / 2, MonsterTop(g, i)), 0)
            << "the body lies on the mask";
      }
      // A hoverer races about while the fight runs: it has to stay in the
      // air then too. (No one is about to be shot at or to breed for.)
      g.fight.time = fight ? 1000000 : 0;
      g.fight.timeStart = g.fight.time + 1;
      // Nothing keeps a flyer off the walls but its pull towards home, so
      // its middle may brush a vault now and then, but never for long or
      // deep.
      std::map<int32_t, int32_t> inWall;
      for (int32_t frame = 0; frame < 1500 && !HasFailure(); ++frame) {
        UpdateMonsters(g);
        for (int32_t i : tracked) {
          const MonsterRecord& r = g.tables.objects[i];
          ASSERT_EQ(r.active, 1) << "level " << level.level << " record " << i;
          const int32_t px = WholePixel(r.x);
          const int32_t cy = MonsterTop(g, i) + PictureHeight(engine.gfx, r.image) / 2;
          ASSERT_TRUE(px >= 0 && px < kW && cy >= 0 && cy < kH)
              << "level " << level.level << " left the screen";
          if (!Solid(px, cy)) continue;
          ++inWall[i];
          ASSERT_LT(DepthIn(px, cy), 24)
              << "level " << level.level << " flyer " << i << " deep in a wall at (" << px << ", " << cy
              << ") frame " << frame << (fight ? " in the fight" : "");
        }
      }
      for (const auto& [i, frames] : inWall)
        EXPECT_LT(frames, 30) << "level " << level.level << " flyer " << i << " in a wall for " << frames
                              << " frames of 1500" << (fight ? " in the fight" : "");
    }
  }
  EXPECT_GE(flyers, 10);
}

// The ground boss stands with its frame's soles on a walker floor, flat
// under all of it, with room overhead.
TEST_F(LevelObjectsTest, TheGroundBossStandsOnAFlatFloorWithRoomOverhead) {
  LoadCreatures();
  int32_t bosses = 0;
  for (const datagen::LevelObjects& level : datagen::LevelObjectPlan()) {
    for (const datagen::PlacedObject& o : level.objects) {
      if (o.code != 28) continue;
      ++bosses;
      Enter(level.level);
      int32_t i = 0;
      while (i < kObjectCount && !(g.tables.objects[i].active != 0 && g.tables.objects[i].kind == 28)) ++i;
      ASSERT_LT(i, kObjectCount);
      const MonsterRecord& r = g.tables.objects[i];
      const int32_t h = PictureHeight(engine.gfx, r.image);
      const int32_t floorY = FloorUnder(o.x, o.y);
      EXPECT_NE(ZoneFor(level.level, world::ZoneKind::Walker, o.x, floorY), nullptr);
      for (int32_t x = o.x - h / 2; x < o.x + h / 2; x += 4) EXPECT_NEAR(FloorUnder(x, o.y), floorY, 3) << x;
      const int32_t top = MonsterTop(g, i);
      const int32_t soles = top + LowestRow(r.image);
      EXPECT_GE(soles, floorY - 3);
      EXPECT_LE(soles, floorY);
      EXPECT_EQ(Overlap(r.image, r.frame / std::max(r.frameDivisor, 1), o.x - h / 2, top, floorY), 0)
          << "the body reaches into the roof or a wall";
    }
  }
  EXPECT_EQ(bosses, 1);
}

// Each pickup floats clear of the mask through its whole bob over a floor of
// the plan, and a player who walks there and stands still takes it.
TEST_F(LevelObjectsTest, PickupsFloatClearAndAPlayerStandingUnderThemTakesThem) {
  LoadCreatures();
  int32_t pickups = 0;
  for (const datagen::LevelObjects& level : datagen::LevelObjectPlan()) {
    for (const datagen::PlacedObject& o : level.objects) {
      if (!IsPickup(o.code)) continue;
      ++pickups;
      SCOPED_TRACE("level " + std::to_string(level.level) + " pickup " + std::to_string(o.code));
      Enter(level.level);
      ClearObjects(g.tables);
      const int32_t floorY = FloorUnder(o.x, o.y);
      bool planned = false;
      for (const world::Zone& z : world::kZones)
        planned = planned || (z.level == level.level && z.kind == world::ZoneKind::Pickup &&
                              std::abs(z.x0 - o.x) <= 10 && std::abs(z.y0 - floorY) <= 3);
      EXPECT_TRUE(planned) << "not over a pickup floor of the plan (floor " << floorY << ")";
      const int32_t image = 40 + (o.code == 11   ? 0
                                  : o.code == 13 ? 1
                                  : o.code == 14 ? 2
                                  : o.code == 16 ? 3
                                  : o.code == 21 ? 4
                                  : o.code == 22 ? 5
                                  : o.code == 23 ? 6
                                  : o.code == 27 ? 7
                                                 : 8);
      const int32_t w = PictureWidth(engine.gfx, image) * 70 / 256;
      const int32_t h = PictureHeight(engine.gfx, image) * 70 / 256;
      ASSERT_GT(h, 0);
      int32_t solid = 0;
      for (int32_t y = o.y - 20 - h / 2; y <= o.y + 20 + h / 2; ++y)
        for (int32_t x = o.x - w / 2; x <= o.x + w / 2; ++x) solid += Solid(x, y) ? 1 : 0;
      EXPECT_EQ(solid, 0) << "its picture dips into the mask while it bobs";
      // The player comes down onto the floor under it and settles.
      routecheck::PlacePlayer(g, o.x, floorY - 60);
      for (int32_t f = 0; f < 60; ++f) routecheck::StepPlayer(g, {});
      EXPECT_GE(WholePixel(g.player.y), floorY - 46) << "the player does not stand on that floor";
      EXPECT_LE(WholePixel(g.player.y), floorY - 34) << "the player does not stand on that floor";
      SpawnMonster(g, o.x, o.y, o.code);
      UpdateMonsters(g);
      EXPECT_EQ(g.tables.objects[0].active, 0) << "not taken by the player standing under it";
    }
  }
  EXPECT_GE(pickups, 8);
}

}  // namespace
