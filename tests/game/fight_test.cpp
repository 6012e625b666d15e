// The level fight: the difficulty and its limits, the start with its time
// per weighted monster, the won and lost ends, and the reinforcements with
// their passes, reach, chances and the free-record limit.
#include "game/fight.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <memory>

#include "game/fight_frame.h"
#include "game/game_fixture.h"
#include "game/objects.h"
#include "game/saved_game.h"

namespace {

class FightTest : public vxtest::GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    g.level = 2;
    g.player.weapon = 40;
    PlacePlayer(400, 300);
  }

  void SetDifficulty(int32_t d) { g.progress.difficultyOffset = g.progress.difficultyBase - d; }

  void RunningFight(int32_t time, int32_t start) {
    g.fight.state = 1;
    g.fight.time = time;
    g.fight.timeStart = start;
  }

  // The four tests of a placement in reach, drawn in order and stopping at
  // the first failure; true when all pass.
  static bool ModelTests(RandomSource& r, int32_t chance, int32_t rate) {
    if (Random(r, 0, 100) >= chance) return false;
    if (Random(r, 0, 100) >= chance) return false;
    if (Random(r, 0, 100) >= 2 * chance) return false;
    return Random(r, 0, 100) < rate;
  }

  // The draws that spawning `code` makes, taken from `r`; true when it
  // takes a record.
  bool ModelSpawn(RandomSource& r, int32_t code) {
    if (!scratch_) scratch_ = std::make_unique<GameState>();
    *scratch_ = GameState{};
    std::swap(engine.random, r);
    SpawnMonster(*scratch_, 0, 0, code);
    std::swap(engine.random, r);
    return scratch_->tables.objects[0].active != 0;
  }

  // One reinforcement step over placements that all lie in reach, with the
  // given chance and rate: the random source and fight time it leaves.
  struct Model {
    RandomSource random;
    int32_t fightTime;
    int32_t joined;   // placements that passed every test
    int32_t bonuses;  // of them, those that brought time
  };
  Model ModelReinforcements(int32_t passes, int32_t chance, int32_t rate, int32_t difficulty) {
    Model m{engine.random, g.fight.time, 0, 0};
    int32_t taken = 0;
    int32_t free = 0;
    for (const MonsterRecord& r : g.tables.objects) free += r.active == 0 ? 1 : 0;
    for (int32_t pass = 0; pass < passes; ++pass) {
      if (free - taken <= 15) continue;
      for (const PlacementRecord& p : g.tables.placements) {
        if (p.active == 0) continue;
        if (!ModelTests(m.random, chance, rate) || (p.type != 0 && p.type != 1)) continue;
        ++m.joined;
        if (ModelSpawn(m.random, p.type)) ++taken;
        if (Random(m.random, 0, 100) > 80 && Random(m.random, 0, 100) > 70) {
          m.fightTime += difficulty;
          ++m.bonuses;
        }
        m.fightTime = std::min(m.fightTime, g.fight.timeStart - 1);
      }
    }
    return m;
  }

 private:
  std::unique_ptr<GameState> scratch_;
};

TEST_F(FightTest, DifficultyIsPulledBackIntoRangeAtBothLimits) {
  ResetDifficulty(g.progress);
  EXPECT_EQ(Difficulty(g.progress), 35);
  EaseDifficulty(g.progress);
  EXPECT_EQ(g.progress.difficultyOffset, -8);
  EXPECT_EQ(Difficulty(g.progress), 43);
  TightenDifficulty(g.progress);
  EXPECT_EQ(Difficulty(g.progress), 38);

  g.progress.difficultyOffset = 25;  // 10: in range, kept
  EXPECT_EQ(Difficulty(g.progress), 10);
  EXPECT_EQ(g.progress.difficultyOffset, 25);
  g.progress.difficultyOffset = 26;  // 9: pulled back
  EXPECT_EQ(Difficulty(g.progress), 10);
  EXPECT_EQ(g.progress.difficultyOffset, 25);
  g.progress.difficultyOffset = -40;  // 75: kept
  EXPECT_EQ(Difficulty(g.progress), 75);
  EXPECT_EQ(g.progress.difficultyOffset, -40);
  g.progress.difficultyOffset = -41;  // 76: pulled back
  EXPECT_EQ(Difficulty(g.progress), 75);
  EXPECT_EQ(g.progress.difficultyOffset, -40);

  // Many quick wins in a row: the value stays at 10 and the offset never
  // runs away, so one lost fight eases it at once.
  ResetDifficulty(g.progress);
  for (int i = 0; i < 40; ++i) {
    TightenDifficulty(g.progress);
    TightenDifficulty(g.progress);
    Difficulty(g.progress);
  }
  EXPECT_EQ(Difficulty(g.progress), 10);
  EXPECT_EQ(g.progress.difficultyOffset, g.progress.difficultyBase - 10);
  EaseDifficulty(g.progress);
  EXPECT_EQ(Difficulty(g.progress), 18);
  for (int i = 0; i < 40; ++i) {
    EaseDifficulty(g.progress);
    Difficulty(g.progress);
  }
  EXPECT_EQ(g.progress.difficultyOffset, g.progress.difficultyBase - 75);

  // Words from a damaged saved game still give a value in range.
  g.progress.difficultyBase = INT_MIN;
  g.progress.difficultyOffset = 1;
  const int32_t d = Difficulty(g.progress);
  EXPECT_TRUE(d == 10 || d == 75);
  EXPECT_EQ(Difficulty(g.progress), d);
}

TEST_F(FightTest, StartingAFightGrantsTimePerWeightedMonster) {
  Object(0, 0);              // small monster: 1
  Object(1, 17);             // big jumper: 25
  Object(2, 28);             // ground boss: 80
  Object(3, 3);              // a shot: nothing
  Object(4, 11);             // a pickup: nothing
  Object(5, 20).active = 0;  // free: nothing
  Object(6, 10);             // the player's gun shot: nothing
  EXPECT_EQ(WeightedMonsterCount(g.tables), 106);

  SetDifficulty(5);  // pulled back to 10 by the start
  StartFight(g);
  EXPECT_EQ(g.fight.state, 1);
  EXPECT_EQ(g.fight.time, 10 * 106 + 10);
  EXPECT_EQ(g.fight.timeStart, 10 * 106 + 11);
  EXPECT_EQ(g.progress.difficultyOffset, 25);
  EXPECT_EQ(g.frameResult, 106) << "the first fight of a game explains itself";
  EXPECT_EQ(g.resultCount[106], 3);
  EXPECT_EQ(g.fight.barY, 0);

  // Later strikes during the fight change nothing.
  Object(7, 32);
  g.fight.time = 5;
  StartFight(g);
  EXPECT_EQ(g.fight.time, 5);
  EXPECT_EQ(g.resultCount[106], 3);

  // The bar's place by row; the message once per game, never over another.
  for (auto [level, barY] : {std::pair{5, 400}, {9, 400}, {10, -100}, {24, -100}, {4, 0}}) {
    ResetFight(g.fight);
    g.level = level;
    g.fight.barY = 77;
    g.frameResult = 135;
    StartFight(g);
    EXPECT_EQ(g.fight.barY, barY) << level;
    EXPECT_EQ(g.frameResult, 135);
  }
  ResetFight(g.fight);
  g.frameResult = 0;
  g.progress.resultSeen[106] = 1;
  StartFight(g);
  EXPECT_EQ(g.frameResult, 0);
  EXPECT_EQ(g.resultCount[106], 3);
}

TEST_F(FightTest, TheStrikeThatKillsTheLastMonsterWinsOnTheNextFrame) {
  ResetDifficulty(g.progress);
  ResetFight(g.fight);
  Object(0, 0);
  g.tables.objects[0].active = 0;  // the strike frees the record, then starts the fight
  StartFight(g);
  EXPECT_EQ(g.fight.time, 10);
  EXPECT_EQ(g.fight.timeStart, 11);

  g.frameResult = 0;  // the next in-game frame
  FightFrame(g);
  EXPECT_EQ(g.fight.state, -1);
  EXPECT_EQ(g.fight.time, 0);
  EXPECT_EQ(g.progress.levelCleared[2], -1);
  EXPECT_EQ(g.levelState.hintTimer, 150);
  FinishSaving();
  EXPECT_NE(vxtest::ReadFile("gamesave.sav").find("\n111,screen stats h, ,0,0,-1,"), std::string::npos)
      << "the win is saved";
  EXPECT_EQ(g.progress.difficultyOffset, 10) << "9 of 11 left is a quick win: tightened twice";
  EXPECT_GE(g.frameResult, 107);
  EXPECT_LE(g.frameResult, 109);
  for (int code : {107, 108, 109}) EXPECT_EQ(g.resultCount[code], 3) << code;
}

TEST_F(FightTest, AWinTightensByItsSpeedAndNamesTheRowWhenItIsComplete) {
  // 81 * 5 / 8 = 50: above it is a quick win.
  for (auto [left, offset] : {std::pair{50, 5}, {51, 10}}) {
    RunningFight(left, 81);
    g.progress.difficultyOffset = 0;
    g.fight.shownSegments = 4;
    g.frameResult = 0;
    RandomSource replica = engine.random;
    FightWon(g);
    EXPECT_EQ(g.progress.difficultyOffset, offset) << left;
    EXPECT_EQ(g.fight.shownSegments, 0);
    EXPECT_EQ(g.frameResult, Random(replica, 107, 109)) << "one of three, drawn";
    EXPECT_EQ(engine.random.s, replica.s);
  }
  EXPECT_EQ(g.resultCount[108], 6);

  // The last level of row 0: screen 18, with no random message drawn.
  for (int n : {0, 1, 2, 4}) g.progress.levelCleared[n] = -1;
  g.level = 3;
  g.frameResult = 0;
  RandomSource before = engine.random;
  FightWon(g);
  EXPECT_EQ(g.frameResult, 118);
  EXPECT_EQ(engine.random.s, before.s);

  // Row 1 complete: screen 21, even over a message asked for this frame.
  for (int n : {5, 6, 8, 9}) g.progress.levelCleared[n] = -1;
  g.level = 7;
  g.frameResult = 110;
  FightWon(g);
  EXPECT_EQ(g.frameResult, 121);

  // A message already asked for this frame stands; nothing is drawn.
  g.level = 16;
  g.frameResult = 110;
  before = engine.random;
  FightWon(g);
  EXPECT_EQ(g.frameResult, 110);
  EXPECT_EQ(engine.random.s, before.s);
  EXPECT_EQ(g.progress.levelCleared[16], -1);

  // A level number out of range is clamped before it marks anything.
  g.level = 140;
  g.frameResult = 0;
  FightWon(g);
  EXPECT_EQ(g.level, 100);
  EXPECT_EQ(g.progress.levelCleared[100], -1);
}

TEST_F(FightTest, RunningOutOfTimeRestartsTheLevelAndEasesTheDifficulty) {
  // The level file holds one walker; the fight has thinned the level out.
  vxtest::WriteFile("data/lvobj02.txt", "0, , ,1,200,300,0,0,0,0,0,0,0\n13131313,not found,not found\n");
  Object(5, 2);
  Object(6, 3);
  RunningFight(1, 100);
  g.fight.barY = 300;
  FightFrame(g);
  EXPECT_EQ(g.fight.state, -1);
  EXPECT_EQ(g.fight.time, 0);
  EXPECT_EQ(g.fight.barY, 0);
  EXPECT_EQ(g.progress.difficultyOffset, -8);
  EXPECT_EQ(g.progress.levelCleared[2], 0);
  EXPECT_EQ(g.level, 2);
  // Entered anew: the walker of the file, nothing else.
  EXPECT_EQ(g.tables.objects[0].active, 1);
  EXPECT_EQ(g.tables.objects[0].kind, 0);
  EXPECT_EQ(WholePixel(g.tables.objects[0].x), 200);
  EXPECT_EQ(g.tables.objects[5].active, 0);
  EXPECT_EQ(g.tables.objects[6].active, 0);
  FinishSaving();
  EXPECT_TRUE(std::filesystem::exists("gamesave.sav")) << "a lost fight saves the game";

  // Above level 9 the time runs twice as fast.
  g.level = 12;
  Object(0, 0);
  RunningFight(2, 100);
  FightFrame(g);
  EXPECT_EQ(g.fight.state, -1);
  g.level = 9;
  Object(0, 0);
  RunningFight(2, 100);
  FightFrame(g);
  EXPECT_EQ(g.fight.state, 1);
  EXPECT_EQ(g.fight.time, 1);

  // The last monster killed in the very frame the time runs out: the fight
  // is won (a slow win), not left open with nothing that could end it.
  g.tables.objects[0].active = 0;
  g.progress.difficultyOffset = 0;
  FightFrame(g);
  EXPECT_EQ(g.fight.state, -1);
  EXPECT_EQ(g.fight.time, 0);
  EXPECT_EQ(g.progress.difficultyOffset, 5) << "tightened once: no quick win";
  EXPECT_EQ(g.progress.levelCleared[9], -1);

  // No fight: the frame does nothing.
  ResetFight(g.fight);
  FightFrame(g);
  EXPECT_EQ(g.fight.time, 0);
}

TEST_F(FightTest, ReinforcementPassesFollowTheDifficulty) {
  // One shot placement in reach: tested every pass, never spawned.
  Placement(0, 450, 300, 3);
  RunningFight(999, 1000);
  const std::pair<int32_t, int32_t> cases[] = {{75, 1}, {61, 1}, {60, 2}, {46, 2}, {45, 3}, {29, 3},
                                               {28, 5}, {21, 5}, {20, 6}, {16, 6}, {15, 7}, {10, 7}};
  for (auto [d, passes] : cases) {
    SetDifficulty(d);
    const Model m = ModelReinforcements(passes, 9, 65 * 3 / 2, d);
    Reinforcements(g);
    EXPECT_EQ(engine.random.s, m.random.s) << "difficulty " << d;
  }
  // No fight, no reinforcements.
  g.fight.state = -1;
  const RandomSource before = engine.random;
  Reinforcements(g);
  EXPECT_EQ(engine.random.s, before.s);
}

TEST_F(FightTest, ReinforcementsComeOnlyFromPlacementsInReachOfTheWeapon) {
  RunningFight(999, 1000);
  SetDifficulty(75);  // one pass
  struct Case {
    int32_t weapon, near, far;
  };
  for (const Case c : {Case{40, 40, 130}, {41, 40, 100}, {42, 60, 126}, {43, 60, 145}}) {
    g.player.weapon = c.weapon;
    for (PlacementRecord& p : g.tables.placements) p = PlacementRecord{};
    Placement(10, 400 + c.near, 300, 3);                                 // too near
    Placement(11, 400, 300 - c.near - 1, 3);                             // in reach
    Placement(12, 400 - c.far / 2, 300 + c.far / 2 + c.far % 2 - 1, 3);  // in reach
    Placement(13, 400 - c.far, 300, 3);                                  // too far
    Placement(14, 400, 310 + c.near, 91);  // in reach, but a type that is never spawned
    Placement(15, 400, 310 + c.near, 3).active = 0;
    // Only the two in reach draw.
    RandomSource replica = engine.random;
    const int32_t chance = c.weapon == 42 ? 12 : c.weapon == 43 ? 16 : 9;
    for (int k = 0; k < 2; ++k) ModelTests(replica, chance, 97);
    Reinforcements(g);
    EXPECT_EQ(engine.random.s, replica.s) << "weapon " << c.weapon;
  }
}

TEST_F(FightTest, ReinforcementsStopWhileFifteenOrFewerRecordsAreFree) {
  RunningFight(999, 1000);
  SetDifficulty(10);
  for (int i = 0; i < kPlacementCount; ++i) Placement(i, 450, 300, 3);
  for (int i = 0; i < kObjectCount - 15; ++i) Object(i, 11);
  RandomSource before = engine.random;
  Reinforcements(g);
  EXPECT_EQ(engine.random.s, before.s);
  g.tables.objects[0].active = 0;  // 16 free
  const Model m = ModelReinforcements(7, 9, 97, 10);
  Reinforcements(g);
  EXPECT_EQ(engine.random.s, m.random.s);
  EXPECT_NE(engine.random.s, before.s);
}

TEST_F(FightTest, WalkersJoinByWeaponTimeAndLevelAndSometimesBringTime) {
  struct Case {
    int32_t weapon, level, time, chance, rate;
  };
  // The time of 300: below a third 15, below a half 37, else 65; then x 3/2
  // on row 0, x 7/4 on row 1, x 3 beyond.
  const Case cases[] = {{40, 2, 150, 9, 97},    {41, 2, 149, 9, 55},   {42, 2, 100, 12, 55},
                        {43, 2, 99, 16, 22},    {43, 7, 150, 16, 113}, {43, 7, 99, 16, 26},
                        {42, 12, 120, 12, 111}, {43, 15, 50, 16, 45}};
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    for (const Case& c : cases) {
      for (MonsterRecord& r : g.tables.objects) r = MonsterRecord{};
      for (int i = 0; i < kPlacementCount; ++i) Placement(i, 470, 300 + (i % 2), i % 3 == 0 ? 1 : 0);
      SeedRandom(engine.random, seed * 7919);
      g.player.weapon = c.weapon;
      g.level = c.level;
      RunningFight(c.time, 301);
      SetDifficulty(16);  // six passes
      const Model m = ModelReinforcements(6, c.chance, c.rate, 16);
      Reinforcements(g);
      ASSERT_EQ(engine.random.s, m.random.s)
          << "seed " << seed << " weapon " << c.weapon << " level " << c.level;
      ASSERT_EQ(g.fight.time, m.fightTime);
    }
  }
  // The time bonus never lifts the time above the start.
  for (int i = 0; i < kPlacementCount; ++i) Placement(i, 470, 300, 0);
  g.player.weapon = 43;
  g.level = 12;
  bool bonus = false;
  for (uint32_t seed = 1; seed <= 40 && !bonus; ++seed) {
    for (MonsterRecord& r : g.tables.objects) r = MonsterRecord{};
    SeedRandom(engine.random, seed * 104729);
    RunningFight(300, 301);
    SetDifficulty(10);
    const Model m = ModelReinforcements(7, 16, 195, 10);
    Reinforcements(g);
    ASSERT_EQ(g.fight.time, m.fightTime);
    EXPECT_LE(g.fight.time, 300);
    bonus = m.bonuses > 0;
  }
  EXPECT_TRUE(bonus) << "some seed must bring time";
}

}  // namespace
