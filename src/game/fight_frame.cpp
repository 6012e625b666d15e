#include "game/fight_frame.h"

#include <algorithm>
#include <cstdint>

#include "game/fight.h"
#include "game/game_state.h"
#include "game/hint.h"
#include "game/level_start.h"
#include "game/saved_game.h"
#include "game/singletons.h"
#include "random/random_source.h"

namespace {

bool AllCleared(const GameState& g, int32_t first, int32_t last) {
  for (int32_t n = first; n <= last; ++n) {
    if (g.levelCleared[n] == 0) return false;
  }
  return true;
}

}  // namespace

void FightFrame(GameState& g) {
  if (g.fightState != 1) return;
  Reinforcements(g);
  g.fightTime = fixed::Sub(g.fightTime, g.level > 9 ? 2 : 1);
  DrawFightDisplay(g);
  // The last monster can fall in the very frame the time runs out; that
  // fight is won, not left running for ever with nothing to end it.
  if (WeightedMonsterCount(g) < 1) FightWon(g);
  if (WeightedMonsterCount(g) >= 1 && g.fightTime < 1) FightLost(g);
}

void FightWon(GameState& g) {
  TightenDifficulty(g);
  if (int64_t{g.fightTime} > int64_t{g.fightTimeStart} * 5 / 8) TightenDifficulty(g);
  g.fightState = -1;
  g.fightTime = 0;
  g.fightAux = 0;
  g.level = std::clamp(g.level, 0, kHighestLevel);
  g.levelCleared[g.level] = -1;
  SaveGame(g);
  StartHint(g);
  if (g.level < 5 && AllCleared(g, 0, 4)) g.frameResult = 118;
  if (g.level >= 5 && g.level <= 9 && AllCleared(g, 5, 9)) g.frameResult = 121;
  if (g.frameResult == 0) {
    g.frameResult = Random(engine.random, 107, 109);
    for (int32_t code = 107; code <= 109; ++code) g.resultCount[code] = fixed::Add(g.resultCount[code], 3);
  }
}

void FightLost(GameState& g) {
  StartLevel(g, g.level);
  g.fightState = -1;
  g.fightTime = 0;
  g.fightAux = 0;
  EaseDifficulty(g);
  SaveGame(g);
}
