#include "game/fight_frame.h"

#include <algorithm>
#include <cstdint>

#include "game/fight.h"
#include "game/game_state.h"
#include "game/hint.h"
#include "game/level_start.h"
#include "game/levels.h"
#include "game/saved_game.h"
#include "game/screens.h"
#include "game/singletons.h"
#include "random/random_source.h"

void FightFrame(GameState& g) {
  if (g.fight.state != 1) return;
  Reinforcements(g);
  g.fight.time = fixed::Sub(g.fight.time, IsDeepLevel(g.level) ? 2 : 1);
  DrawFightDisplay(g);
  // The last monster can fall in the very frame the time runs out; that
  // fight is won, not left running for ever with nothing to end it.
  if (WeightedMonsterCount(g.tables) < 1) FightWon(g);
  if (WeightedMonsterCount(g.tables) >= 1 && g.fight.time < 1) FightLost(g);
}

void FightWon(GameState& g) {
  TightenDifficulty(g.progress);
  if (int64_t{g.fight.time} > int64_t{g.fight.timeStart} * 5 / 8) TightenDifficulty(g.progress);
  g.fight.state = -1;
  g.fight.time = 0;
  g.fight.shownSegments = 0;
  g.level = std::clamp(g.level, 0, kHighestLevel);
  g.progress.levelCleared[g.level] = -1;
  SaveGame(g);
  StartHint(g.levelState);
  if (g.level <= kLastFirstRowLevel && AllCleared(g.progress, FirstOfRow(0), LastOfRow(0))) g.frameResult = OpenScreen(kScreenFirstRowWon);
  if (InRow(g.level, 1) && AllCleared(g.progress, FirstOfRow(1), LastOfRow(1))) g.frameResult = OpenScreen(kScreenSecondRowWon);
  if (g.frameResult == kStayInGame) {
    constexpr int32_t kFirst = OpenScreen(kScreenFightWon), kLast = OpenScreen(kScreenFightWonLast);
    g.frameResult = Random(engine.random, kFirst, kLast);
    for (int32_t code = kFirst; code <= kLast; ++code)
      g.resultCount[code] = fixed::Add(g.resultCount[code], 3);
  }
}

void FightLost(GameState& g) {
  StartLevel(g, g.level);
  g.fight.state = -1;
  g.fight.time = 0;
  g.fight.shownSegments = 0;
  EaseDifficulty(g.progress);
  SaveGame(g);
}
