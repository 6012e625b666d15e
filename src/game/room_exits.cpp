#include "game/room_exits.h"

#include <cstdint>

#include "game/game_state.h"
#include "game/level_start.h"
#include "game/levels.h"
#include "game/saved_game.h"
#include "game/screens.h"
#include "game/singletons.h"

namespace {

// Level numbers can leave 0..100 through the editor's level commands, so
// neighbours are found in wrap-around arithmetic.
int32_t Neighbour(int32_t level, int32_t step) { return fixed::Add(level, step); }

int32_t MinusFixed(int32_t value, int32_t pixels) { return fixed::Sub(value, ToFixed(pixels)); }

bool AllCleared(const GameState& g, int32_t first, int32_t last) {
  for (int32_t n = first; n <= last; ++n)
    if (g.progress.levelCleared[n] == 0) return false;
  return true;
}

// The gate of the level's row: the bottom exits of rows 0, 1 and 3 stay shut
// until the row (and the rows before it) are won.
int32_t RowGate(const GameState& g) {
  int32_t progress = 0;
  if (AllCleared(g, 0, 4)) progress = 1;
  if (AllCleared(g, 5, 9)) progress = 2;
  if (AllCleared(g, 15, 19)) progress = 3;
  if (g.settings.allOpen != 0) progress = 3;
  const int32_t level = g.level;
  int32_t gate = 0;
  if (level >= 1 && level <= 3 && progress == 0) gate = 1;
  if (level >= 5 && level <= 9 && progress <= 1) gate = 2;
  if (level >= 15 && level <= 19 && progress <= 2) gate = 3;
  if (g.settings.allOpen != 0) gate = 0;
  return gate;
}

}  // namespace

void CheckRoomExit(GameState& g) {
  if (g.playerAlive == 0) return;
  const int32_t w = engine.gfx.screenWidth;
  const int32_t h = engine.gfx.screenHeight;
  const int32_t px = WholePixel(g.playerX);
  const int32_t py = WholePixel(g.playerY);
  const int32_t m = static_cast<int32_t>((int64_t{25} * engine.gfx.sizeScale) >> 10);
  const int32_t gate = RowGate(g);
  const int32_t level = g.level;

  if (px > w) {
    if (level % 5 < 4 && level != 10 && level != kEndingLevel) {
      StartLevel(g, Neighbour(level, 1));
      g.playerX = ToFixed(3 * m);
      g.playerY = MinusFixed(g.playerY, 17);
      SaveGame(g);
      return;
    }
    g.playerX = ToFixed(w - m - 1);
  }
  if (px < m) {
    if (level % 5 > 0 && level != 11 && level != kEndingLevel) {
      StartLevel(g, Neighbour(level, -1));
      g.playerX = ToFixed(w - 2 * m);
      g.playerY = MinusFixed(g.playerY, 17);
      SaveGame(g);
      return;
    }
    g.playerX = ToFixed(2 * m + 1);
  }
  if (py > h && level < 20 && level != 0 && level != 4 && !(level >= 6 && level <= 9)) {
    if (gate == 0) {
      StartLevel(g, Neighbour(level, 5));
      g.playerY = ToFixed(20);
      SaveGame(g);
      return;
    }
    // A shut gate: the player falls out of the world.
    g.playerAlive = 0;
    g.playerX = g.playerY = kOffScreenFixed;
    if (g.frameResult == kStayInGame) {
      g.frameResult = OpenScreen(gate == 1   ? kScreenFirstGateShut
                                 : gate == 2 ? kScreenSecondGateShut
                                             : kScreenThirdGateShut);
    }
  }
  if (py < 0 && level >= 5 && !(level >= 16 && level <= 19)) {
    StartLevel(g, Neighbour(level, -5));
    g.playerY = ToFixed(h - 96);
    SaveGame(g);
    return;
  }
  if ((level == 0 || level == 4 || (level >= 20 && level <= 24)) && py > h + 50) {
    g.playerAlive = 0;
    g.playerX = g.playerY = kOffScreenFixed;
  }
}
