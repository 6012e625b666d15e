#pragma once
// Monster tests on the real game folder: a first-started engine in a scratch
// folder whose data is the generated data set, the player, creature, shot
// and weapon pictures loaded and cut by the game's own loading steps, and a
// level's mask loaded as the level loader does.
#include <gtest/gtest.h>

#include <filesystem>

#include "assets/loading.h"
#include "datagen/generated_data_set.h"
#include "game/game_state.h"
#include "game/objects.h"
#include "gfx/image_slots.h"
#include "routecheck/route_world.h"
#include "shell/globals.h"
#include "shell/window.h"
#include "support/engine_test.h"

namespace vxtest {

class RealLevelTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartWindowed();
    ASSERT_EQ(engine.gfx.screenWidth, 800);
    LinkGeneratedData();
    // Pose and work pictures (1), the player's strips (5), their mirrors
    // and the creatures (6), shots (7), weapons and pickups (8).
    for (int32_t step : {1, 5, 6, 7, 8})
      LoadAssetsStep(g.levelPictures, -1, step, engine.gfx, engine.effects, engine.sound);
  }

  // The level's mask, nothing in the object table, the player away.
  void UseLevel(int32_t level) {
    ASSERT_TRUE(routecheck::LoadLevelMask(g, level)) << level;
    ClearObjects(g.tables);
    g.player.alive = 0;
    g.player.x = g.player.y = kOffScreenFixed;
    g.progress.difficultyBase = 35;
    g.fight.timeStart = 1;
  }

  bool Solid(int32_t x, int32_t y) { return GetPixel(engine.gfx, g.levelState.maskSlot, x, y) != 0; }

  // A plain walker (spawn code 0) at (x, y) heading `direction`, homed at
  // `home`, at record 0.
  MonsterRecord& Walker(int32_t x, int32_t y, int32_t direction, int32_t home) {
    SpawnMonster(g, x, y, 0);
    MonsterRecord& r = g.tables.objects[0];
    r.direction = direction;
    r.homeX = home;
    return r;
  }

  GameState& g = game;
};

}  // namespace vxtest
