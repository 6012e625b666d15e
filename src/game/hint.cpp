#include "game/hint.h"

#include "game/game_state.h"
#include "game/singletons.h"
#include "gfx/drawing.h"

namespace {

bool Cleared(const GameState& g, int32_t level) { return g.progress.levelCleared[level] != 0; }

bool AllCleared(const GameState& g, int32_t first, int32_t last) {
  for (int32_t n = first; n <= last; ++n) {
    if (!Cleared(g, n)) return false;
  }
  return true;
}

}  // namespace

void StartHint(GameState& g) { g.hintTimer = 150; }
void ClearHint(GameState& g) { g.hintTimer = 0; }

// The route: row 0 westwards to 0 and back east to 4, then down through
// the holes of 1 or 3; row 1 to both ends, then down the well of 5; row 3
// eastwards and down the well of 19.
int32_t HintDirection(const GameState& g) {
  switch (g.level) {
    case 0:
      return kHintRight;
    case 1:
      if (!Cleared(g, 0)) return kHintLeft;
      return AllCleared(g, 1, 4) ? kHintDown : kHintRight;
    case 2:
      return AllCleared(g, 0, 1) ? kHintRight : kHintLeft;
    case 3:
      if (!Cleared(g, 4)) return kHintRight;
      return AllCleared(g, 0, 2) ? kHintDown : kHintLeft;
    case 4:
      return kHintLeft;
    case 5:
      return AllCleared(g, 6, 9) ? kHintDown : kHintRight;
    case 6:
      return Cleared(g, 5) && !AllCleared(g, 6, 9) ? kHintRight : kHintLeft;
    case 7:
      return AllCleared(g, 8, 9) ? kHintLeft : kHintRight;
    case 8:
      return Cleared(g, 9) ? kHintLeft : kHintRight;
    case 9:
      return kHintLeft;
    case 15:
      return kHintRight;
    case 16:
      return Cleared(g, 15) ? kHintRight : kHintLeft;
    case 17:
      return AllCleared(g, 15, 16) ? kHintRight : kHintLeft;
    case 18:
      return AllCleared(g, 15, 17) ? kHintRight : kHintLeft;
    case 19:
      return AllCleared(g, 15, 18) ? kHintDown : kHintLeft;
    default:
      return kHintNone;
  }
}

void DrawHintArrow(GameState& g) {
  if (g.hintTimer > 0) --g.hintTimer;
  // 12 frames on in every 26.
  if (g.hintTimer % 26 <= 13) return;
  if (g.level < 0 || g.level > kHighestLevel || !Cleared(g, g.level)) return;
  const int32_t direction = HintDirection(g);
  if (direction == kHintNone) return;
  static constexpr int32_t kOffset[4][2] = {{-70, 0}, {30, 0}, {-40, -60}, {-40, 50}};
  const int32_t px = WholePixel(g.playerX);
  const int32_t py = WholePixel(g.playerY);
  ResetDrawMode(engine.gfx);
  DrawPicture(engine.gfx, 35 + direction, px + kOffset[direction][0], py + kOffset[direction][1]);
}
