#pragma once
// What the saved-game and menu tests share: an engine started as the
// program starts it, and the game words a save holds, as one list.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "game/game_state.h"
#include "game/level_start.h"
#include "shell/globals.h"
#include "shell/window.h"
#include "support/engine_test.h"

namespace vxtest {

// The saved words of a game in file order: owned 0..99, resultSeen
// 0..999, levelCleared 0..99, then level, playerX, playerY, weapon, the two
// difficulty words, the four items of line 121 and broadBlade.
inline std::vector<int32_t> SavedWords(const GameState& g) {
  std::vector<int32_t> w;
  w.reserve(1211);
  for (int32_t i = 0; i < 100; ++i) w.push_back(g.progress.owned[i]);
  for (int32_t i = 0; i < 1000; ++i) w.push_back(g.progress.resultSeen[i]);
  for (int32_t i = 0; i < 100; ++i) w.push_back(g.progress.levelCleared[i]);
  for (int32_t v : {g.level, g.player.x, g.player.y, g.player.weapon, g.progress.difficultyOffset,
                    g.progress.difficultyBase, g.progress.longBlade, g.progress.armour, g.progress.doubleShot,
                    g.progress.regeneration, g.progress.broadBlade}) {
    w.push_back(v);
  }
  return w;
}

// The words as a load of a save made from `g` gives them back.
inline std::vector<int32_t> LoadedWords(const GameState& g) {
  std::vector<int32_t> w = SavedWords(g);
  w[1202] = static_cast<int32_t>(static_cast<uint32_t>(g.player.y) - (17u << 16));
  return w;
}

// The saved words of a new game, whatever the game reset makes of them.
inline std::vector<int32_t> NewGameWords() {
  auto fresh = std::make_unique<GameState>();
  ResetGame(*fresh);
  StartLevel(*fresh, fresh->level);
  return SavedWords(*fresh);
}

// Puts the saved words back to program start, as a game reset would start
// from them.
inline void ClearSavedWords(GameState& g) {
  for (int32_t i = 0; i < kLevelEntries; ++i) g.progress.owned[i] = g.progress.levelCleared[i] = 0;
  for (int32_t& v : g.progress.resultSeen) v = 0;
  g.level = g.player.x = g.player.y = g.player.weapon = g.progress.difficultyOffset = g.progress.difficultyBase = 0;
  g.progress.longBlade = g.progress.armour = g.progress.doubleShot = g.progress.regeneration =
      g.progress.broadBlade = 0;
}

// A game in progress whose every saved word differs from its neighbours'
// (`seed` makes games that differ from each other).
inline void MakeGameInProgress(GameState& g, int32_t seed) {
  for (int32_t i = 0; i < 100; ++i) g.progress.owned[i] = (i + seed) % 3 == 0 ? 1 : 0;
  for (int32_t i = 0; i < 1000; ++i) g.progress.resultSeen[i] = (i * 7 + seed) % 5 == 0 ? 1 : 0;
  for (int32_t i = 0; i < 100; ++i) g.progress.levelCleared[i] = (i + seed) % 4 == 0 ? -1 : 0;
  g.level = 5 + seed % 20;
  g.player.x = ToFixed(123 + seed) + 0x8000;
  g.player.y = ToFixed(456 - seed) + 0x1234;
  g.player.weapon = 42;
  g.progress.difficultyOffset = -3 - seed;
  g.progress.difficultyBase = 35;
  g.progress.longBlade = -1;
  g.progress.armour = 0;
  g.progress.doubleShot = -1;
  g.progress.regeneration = seed % 2 == 0 ? -1 : 0;
  g.progress.broadBlade = -1;
  g.player.alive = -1;
}

// The engine as the program has it after its first timer message.
class StartedEngineTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartWindowed();
  }
};

}  // namespace vxtest
