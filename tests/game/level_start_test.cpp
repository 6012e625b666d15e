// The game reset, the level start and the room changes at the screen edges,
// with the row gates and the deadly falls.
#include "game/level_start.h"

#include <gtest/gtest.h>

#include <climits>

#include "effects/effects.h"
#include "engine/engine_effects.h"
#include "game/game_state.h"
#include "game/new_game_start.h"
#include "game/placements.h"
#include "game/room_exits.h"
#include "world_fixture.h"

namespace {

class RoomTest : public vxtest::WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    w = engine.gfx.screenWidth;
    h = engine.gfx.screenHeight;
    m = (25 * engine.gfx.sizeScale) >> 10;
  }
  // A live player at whole pixel (x, y) in `level`.
  void Place(int32_t level, int32_t x, int32_t y) {
    game.level = level;
    game.player.alive = -1;
    game.player.x = ToFixed(x);
    game.player.y = ToFixed(y);
  }
  static void Clear(int32_t first, int32_t last) {
    for (int32_t n = first; n <= last; ++n) game.progress.levelCleared[n] = -1;
  }
  int32_t w = 0, h = 0, m = 0;
};

// Past the right edge the next column, past the left the previous one,
// except at the row ends, beside the shaft (10 and 11) and at the ending;
// a closed side pushes the player back in.
TEST_F(RoomTest, SideEdgesEnterTheNeighbouringColumnExceptAtTheRowEndsTheShaftAndTheEnding) {
  ASSERT_EQ(m, 19);  // 25 pixels at a display scale of 1024; this screen's is 800
  for (const int32_t step : {1, -1}) {
    for (int32_t level = 0; level <= 24; ++level) {
      Place(level, step > 0 ? w + 1 : m - 1, 300);
      CheckRoomExit(game);
      const bool moves = step > 0 ? level % 5 < 4 && level != 10 && level != 24
                                  : level % 5 > 0 && level != 11 && level != 24;
      const int32_t entered = step > 0 ? 3 * m : w - 2 * m, pushed = step > 0 ? w - m - 1 : 2 * m + 1;
      EXPECT_EQ(game.level, moves ? level + step : level) << level << " " << step;
      EXPECT_EQ(game.player.x, ToFixed(moves ? entered : pushed)) << level << " " << step;
      EXPECT_EQ(game.player.y, ToFixed(moves ? 300 - 17 : 300)) << level << " " << step;
    }
    Place(2, step > 0 ? w : m, 300);  // on the edge itself: still inside
    CheckRoomExit(game);
    EXPECT_EQ(game.level, 2);
    EXPECT_EQ(game.player.x, ToFixed(step > 0 ? w : m));
  }
}

TEST_F(RoomTest, BottomAndTopEdgesWithEveryGateOpen) {
  game.settings.allOpen = -1;
  for (int32_t level = 0; level <= 24; ++level) {
    Place(level, 400, h + 1);
    CheckRoomExit(game);
    const bool down = level < 20 && level != 0 && level != 4 && !(level >= 6 && level <= 9);
    EXPECT_EQ(game.level, down ? level + 5 : level) << level;
    EXPECT_EQ(game.player.y, ToFixed(down ? 20 : h + 1)) << level;
    EXPECT_EQ(game.player.alive, -1) << level;  // h + 1 is no fall yet

    Place(level, 400, -1);
    CheckRoomExit(game);
    const bool up = level >= 5 && !(level >= 16 && level <= 19);
    EXPECT_EQ(game.level, up ? level - 5 : level) << level;
    EXPECT_EQ(game.player.y, ToFixed(up ? h - 96 : -1)) << level;
  }
  Place(7, 400, h);  // on the bottom edge: still inside
  CheckRoomExit(game);
  EXPECT_EQ(game.level, 7);
  Place(7, 400, 0);
  CheckRoomExit(game);
  EXPECT_EQ(game.level, 7);
}

TEST_F(RoomTest, FallingFarBelowTheOpenBottomsOfTheDeadlyLevelsKills) {
  for (int32_t level = 0; level <= 24; ++level) {
    Place(level, 400, h + 50);
    game.settings.allOpen = -1;
    CheckRoomExit(game);
    const bool deadly = level == 0 || level == 4 || level >= 20;
    if (deadly) {
      EXPECT_EQ(game.player.alive, -1) << level;  // 50 below the edge is still alive
      Place(level, 400, h + 51);
      CheckRoomExit(game);
      EXPECT_EQ(game.player.alive, 0) << level;
      EXPECT_EQ(game.player.x, kOffScreenFixed);
      EXPECT_EQ(game.player.y, kOffScreenFixed);
      EXPECT_EQ(game.frameResult, 0) << "a fall opens no message";
    } else {
      EXPECT_EQ(game.player.alive, -1) << level;
    }
    game.level = 0;
  }
  // Levels 6..9 have no bottom exit and no deadly fall.
  Place(8, 400, h + 500);
  CheckRoomExit(game);
  EXPECT_EQ(game.level, 8);
  EXPECT_EQ(game.player.alive, -1);
}

TEST_F(RoomTest, ShutGatesEndTheLifeWithTheirRowsMessage) {
  struct Case {
    int32_t level;
    int32_t result;
  };
  for (const Case c :
       {Case{1, 119}, Case{2, 119}, Case{3, 119}, Case{5, 120}, Case{15, 134}, Case{19, 134}}) {
    std::fill(std::begin(game.progress.levelCleared), std::end(game.progress.levelCleared), 0);
    if (c.level >= 5) Clear(0, 4);
    if (c.level >= 15) Clear(5, 9);  // the gate of row 3 is still shut: 15..19 are not won
    Place(c.level, 400, h + 1);
    game.frameResult = 0;
    CheckRoomExit(game);
    EXPECT_EQ(game.level, c.level);
    EXPECT_EQ(game.player.alive, 0) << c.level;
    EXPECT_EQ(game.player.x, kOffScreenFixed);
    EXPECT_EQ(game.player.y, kOffScreenFixed);
    EXPECT_EQ(game.frameResult, c.result) << c.level;
  }
  // A message already asked for in this frame is kept.
  std::fill(std::begin(game.progress.levelCleared), std::end(game.progress.levelCleared), 0);
  Place(2, 400, h + 1);
  game.frameResult = 105;
  CheckRoomExit(game);
  EXPECT_EQ(game.player.alive, 0);
  EXPECT_EQ(game.frameResult, 105);
  // A dead player leaves the edges alone.
  game.player.x = ToFixed(w + 5);
  game.player.y = ToFixed(300);
  CheckRoomExit(game);
  EXPECT_EQ(game.player.x, ToFixed(w + 5));
}

TEST_F(RoomTest, GatesOpenWithTheirRowsProgressOrAllOpen) {
  struct Case {
    int32_t level;
    std::pair<int32_t, int32_t> cleared;  // the rows won before the fall
    bool allOpen;
  };
  const Case cases[] = {
      {2, {0, 4}, false},  // row 0 won
      {2, {0, 0}, true},   // nothing won, every level open
      {1, {5, 9}, false},  // row 1 won alone: the later test overrides, progress 2
      {5, {5, 9}, false},  // row 1 won
      {5, {0, 0}, true},  {15, {15, 19}, false},
      {15, {0, 0}, true}, {10, {0, 0}, false},  // the shaft has no gate
  };
  for (const Case& c : cases) {
    std::fill(std::begin(game.progress.levelCleared), std::end(game.progress.levelCleared), 0);
    if (c.cleared.second > 0) Clear(c.cleared.first, c.cleared.second);
    game.settings.allOpen = c.allOpen ? -1 : 0;
    Place(c.level, 400, h + 1);
    game.frameResult = 0;
    CheckRoomExit(game);
    EXPECT_EQ(game.level, c.level + 5) << c.level;
    EXPECT_EQ(game.player.alive, -1) << c.level;
    EXPECT_EQ(game.frameResult, 0) << c.level;
  }
  // Row 0 won but not row 1: level 5 stays shut.
  std::fill(std::begin(game.progress.levelCleared), std::end(game.progress.levelCleared), 0);
  game.settings.allOpen = 0;
  Clear(0, 4);
  Clear(5, 8);
  Place(5, 400, h + 1);
  CheckRoomExit(game);
  EXPECT_EQ(game.frameResult, 120);
}

TEST_F(RoomTest, LevelsOutsideTheGridMoveWithoutOverflow) {
  Place(INT32_MAX, 400, -1);  // only the editor's level commands reach such numbers
  CheckRoomExit(game);
  EXPECT_EQ(game.level, INT32_MAX - 5);
  Place(-3, w + 1, 300);  // -3 % 5 is -3: the right edge is open
  CheckRoomExit(game);
  EXPECT_EQ(game.level, -2);
  Place(-3, 400, h + 1);
  CheckRoomExit(game);
  EXPECT_EQ(game.level, 2);
}

class LevelStartTest : public vxtest::WorldTest {};

TEST_F(LevelStartTest, ClearsTheObjectsProbesAndFlashesAndKeepsTheGivenNumber) {
  for (MonsterRecord& o : game.tables.objects) {
    o.active = 1;
    o.kind = 7;
    o.spare[36] = 99;
  }
  std::fill(std::begin(game.player.probeFreeX), std::end(game.player.probeFreeX), 5);
  std::fill(std::begin(game.player.probeFreeY), std::end(game.player.probeFreeY), 5);
  AddFlash(engine, 100, 100, 5000, 10);
  game.tables.bossSightings = 4;
  game.player.endingTimer = 77;

  StartLevel(game, 7);
  EXPECT_EQ(game.level, 7);
  for (const MonsterRecord& o : game.tables.objects) {
    EXPECT_EQ(o.active, 0);
    EXPECT_EQ(o.kind, 0);
    EXPECT_EQ(o.spare[36], 0);
  }
  for (int i = 0; i < kLevelEntries; ++i) {
    EXPECT_EQ(game.player.probeFreeX[i], i <= 103 ? kOffScreen : 5) << i;
    EXPECT_EQ(game.player.probeFreeY[i], i <= 103 ? kOffScreen : 5) << i;
  }
  for (const FlashRecord& f : engine.effects.flashes) EXPECT_EQ(f.intensity, 0);
  EXPECT_EQ(game.tables.bossSightings, 0);
  EXPECT_EQ(game.player.endingTimer, 0);
  EXPECT_EQ(game.levelPictures.loaded[7], -1);

  // Numbers outside 0..100 are kept as given; the tables see them clamped.
  for (const int32_t n : {-1, 101, 250, INT32_MIN, INT32_MAX}) {
    game.progress.levelCleared[0] = game.progress.levelCleared[100] = -1;
    StartLevel(game, n);
    EXPECT_EQ(game.level, n);
  }
}

TEST_F(LevelStartTest, WonLevelsLoseTheirMonstersAndOwnedPickupsGo) {
  const auto fill = [] {
    const int32_t kinds[] = {0, 17, 28, 4, 11, 13, 14, 16, 21, 22, 23, 27, 31, 29};
    int i = 0;
    for (const int32_t kind : kinds) {
      game.tables.objects[i].active = 1;
      game.tables.objects[i].kind = kind;
      ++i;
    }
  };
  const auto active = [](int32_t index) { return game.tables.objects[index].active != 0; };

  game.level = 3;
  fill();
  RemoveSettledObjects(game);  // nothing won, nothing owned
  for (int i = 0; i < 14; ++i) EXPECT_TRUE(active(i)) << i;

  game.progress.levelCleared[3] = -1;
  RemoveSettledObjects(game);
  EXPECT_FALSE(active(0));  // classes 1, 2 and 3 go
  EXPECT_FALSE(active(1));
  EXPECT_FALSE(active(2));
  for (int i = 3; i < 14; ++i) EXPECT_TRUE(active(i)) << i;  // shots and pickups stay

  fill();
  game.settings.allOpen = -1;  // every level open: the monsters stay
  RemoveSettledObjects(game);
  EXPECT_TRUE(active(0));

  game.progress.owned[40] = game.progress.owned[42] = 1;
  game.progress.armour = game.progress.broadBlade = -1;
  RemoveSettledObjects(game);
  EXPECT_FALSE(active(4));  // 11: weapon 40
  EXPECT_TRUE(active(5));   // 13: weapon 41 not owned
  EXPECT_FALSE(active(6));  // 14: weapon 42
  EXPECT_TRUE(active(7));
  EXPECT_TRUE(active(8));
  EXPECT_FALSE(active(9));  // 22: armour
  EXPECT_TRUE(active(10));
  EXPECT_TRUE(active(11));
  EXPECT_FALSE(active(12));  // 31: broad blade
  EXPECT_TRUE(active(13));

  game.level = -40;  // read as level 0, which is not won
  fill();
  game.settings.allOpen = 0;
  game.progress.owned[40] = game.progress.owned[42] = 0;
  game.progress.armour = game.progress.broadBlade = 0;
  RemoveSettledObjects(game);
  EXPECT_TRUE(active(0));
}

class GameResetTest : public vxtest::WorldTest {};

TEST_F(GameResetTest, NewGameEntersLevelTwoWithFreshProgress) {
  vxtest::WriteFile("data/lvobj03.txt", "");
  vxtest::WriteFile("data/lvobj90.txt", "");
  std::fill(std::begin(game.progress.resultSeen), std::end(game.progress.resultSeen), 1);
  std::fill(std::begin(game.progress.owned), std::end(game.progress.owned), 1);
  std::fill(std::begin(game.progress.levelCleared), std::end(game.progress.levelCleared), 7);
  game.progress.longBlade = game.progress.regeneration = -1;
  game.player.alive = 0;
  game.player.health = 3;
  game.player.weaponCacheValid[1][13] = 1;

  ResetGame(game);
  EXPECT_EQ(game.level, 2);
  EXPECT_EQ(game.player.x, ToFixed(185 * 800 / 512));
  EXPECT_EQ(game.player.y, ToFixed(275 * 800 / 512));  // of the scaled height, 800
  EXPECT_EQ(game.player.alive, -1);
  EXPECT_EQ(game.player.health, kFullHealth);
  EXPECT_EQ(game.player.weapon, 41);
  EXPECT_EQ(game.progress.longBlade, 0);
  EXPECT_EQ(game.progress.regeneration, 0);
  EXPECT_EQ(game.player.cachedBody, -13);
  EXPECT_EQ(game.player.weaponCacheValid[1][13], 0);
  for (int i = 0; i < kResultCodes; ++i) ASSERT_EQ(game.progress.resultSeen[i], 0) << i;
  for (int i = 0; i < kLevelEntries; ++i) EXPECT_EQ(game.progress.owned[i], i == 41 ? 1 : 0) << i;
  // Levels whose object file is missing count as won; 90 and 100 share lvobj90.
  for (int i = 0; i < kLevelEntries; ++i) {
    const bool hasFile = i == 3 || i == 90 || i == 100;
    EXPECT_EQ(game.progress.levelCleared[i], i > 100 ? 0 : hasFile ? 0 : -1) << i;
  }
}

TEST_F(GameResetTest, ATestStartEntersItsOwnLevel) {
  newGameStart.level = 17;
  ResetGame(game);
  EXPECT_EQ(game.level, 17);
  EXPECT_EQ(game.levelState.maskSlot, 277);
}

TEST(ObjectFileName, DigitsAreCappedAtNine) {
  EXPECT_EQ(ObjectFileName(0), "lvobj00.txt");
  EXPECT_EQ(ObjectFileName(7), "lvobj07.txt");
  EXPECT_EQ(ObjectFileName(24), "lvobj24.txt");
  EXPECT_EQ(ObjectFileName(100), "lvobj90.txt");
  EXPECT_EQ(ObjectFileName(-5), "lvobj00.txt");
}

}  // namespace
