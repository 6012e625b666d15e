#include "game/room_exits.h"

#include <cstdint>

#include "game/game_state.h"
#include "game/level_start.h"
#include "game/levels.h"
#include "game/saved_game.h"
#include "game/screens.h"
#include "game/singletons.h"

namespace {

int32_t MinusFixed(int32_t value, int32_t pixels) { return fixed::Sub(value, ToFixed(pixels)); }

// The gate of the level's row: the bottom exits of rows 0, 1 and 3 stay shut
// until the row (and the rows before it) are won.
int32_t RowGate(const GameState& g) {
  int32_t progress = 0;
  if (AllCleared(g.progress, FirstOfRow(0), LastOfRow(0))) progress = 1;
  if (AllCleared(g.progress, FirstOfRow(1), LastOfRow(1))) progress = 2;
  if (AllCleared(g.progress, FirstOfRow(3), LastOfRow(3))) progress = 3;
  if (g.settings.allOpen != 0) progress = 3;
  const int32_t level = g.level;
  int32_t gate = 0;
  if (level > FirstOfRow(0) && level < LastOfRow(0) && progress == 0) gate = 1;
  if (InRow(level, 1) && progress <= 1) gate = 2;
  if (InRow(level, 3) && progress <= 2) gate = 3;
  if (g.settings.allOpen != 0) gate = 0;
  return gate;
}

}  // namespace

void CheckRoomExit(GameState& g) {
  if (g.player.alive == 0) return;
  const int32_t w = engine.gfx.screenWidth;
  const int32_t h = engine.gfx.screenHeight;
  const int32_t px = WholePixel(g.player.x);
  const int32_t py = WholePixel(g.player.y);
  const int32_t m = static_cast<int32_t>((int64_t{25} * engine.gfx.sizeScale) >> 10);
  const int32_t gate = RowGate(g);
  const int32_t level = g.level;

  if (px > w) {
    if (HasWayRight(level)) {
      StartLevel(g, Neighbour(level, 1));
      g.player.x = ToFixed(3 * m);
      g.player.y = MinusFixed(g.player.y, 17);
      SaveGame(g);
      return;
    }
    g.player.x = ToFixed(w - m - 1);
  }
  if (px < m) {
    if (HasWayLeft(level)) {
      StartLevel(g, Neighbour(level, -1));
      g.player.x = ToFixed(w - 2 * m);
      g.player.y = MinusFixed(g.player.y, 17);
      SaveGame(g);
      return;
    }
    g.player.x = ToFixed(2 * m + 1);
  }
  if (py > h && HasWayDown(level)) {
    if (gate == 0) {
      StartLevel(g, Neighbour(level, kLevelsPerRow));
      g.player.y = ToFixed(20);
      SaveGame(g);
      return;
    }
    // A shut gate: the player falls out of the world.
    g.player.alive = 0;
    g.player.x = g.player.y = kOffScreenFixed;
    if (g.frameResult == kStayInGame) {
      g.frameResult = OpenScreen(gate == 1   ? kScreenFirstGateShut
                                 : gate == 2 ? kScreenSecondGateShut
                                             : kScreenThirdGateShut);
    }
  }
  if (py < 0 && HasWayUp(level)) {
    StartLevel(g, Neighbour(level, -kLevelsPerRow));
    g.player.y = ToFixed(h - 96);
    SaveGame(g);
    return;
  }
  if (FallsOutAtTheBottom(level) && py > h + 50) {
    g.player.alive = 0;
    g.player.x = g.player.y = kOffScreenFixed;
  }
}
