#include "game/hint.h"

#include "game/game_state.h"
#include "game/singletons.h"
#include "gfx/drawing.h"

namespace {

constexpr int32_t kHintFrames = 150;   // how long the arrow blinks after a won fight
constexpr int32_t kBlinkPeriod = 26;   // frames of one blink; the arrow shows in the last 12
constexpr int32_t kBlinkOffUntil = 13;
constexpr int32_t kFirstArrowPicture = 35;  // the arrows left, right, up, down (kHintLeft ..)

bool Cleared(const ProgressRecord& progress, int32_t level) { return progress.levelCleared[level] != 0; }

}  // namespace

void StartHint(LevelState& levelState) { levelState.hintTimer = kHintFrames; }
void ClearHint(LevelState& levelState) { levelState.hintTimer = 0; }

// The route: row 0 westwards to 0 and back east to 4, then down through
// the holes of 1 or 3; row 1 to both ends, then down the well of 5; row 3
// eastwards and down the well of 19.
int32_t HintDirection(const GameState& g) {
  switch (g.level) {
    case 0:
      return kHintRight;
    case 1:
      if (!Cleared(g.progress, 0)) return kHintLeft;
      return AllCleared(g.progress, 1, 4) ? kHintDown : kHintRight;
    case 2:
      return AllCleared(g.progress, 0, 1) ? kHintRight : kHintLeft;
    case 3:
      if (!Cleared(g.progress, 4)) return kHintRight;
      return AllCleared(g.progress, 0, 2) ? kHintDown : kHintLeft;
    case 4:
      return kHintLeft;
    case 5:
      return AllCleared(g.progress, 6, 9) ? kHintDown : kHintRight;
    case 6:
      return Cleared(g.progress, 5) && !AllCleared(g.progress, 6, 9) ? kHintRight : kHintLeft;
    case 7:
      return AllCleared(g.progress, 8, 9) ? kHintLeft : kHintRight;
    case 8:
      return Cleared(g.progress, 9) ? kHintLeft : kHintRight;
    case 9:
      return kHintLeft;
    case 15:
      return kHintRight;
    case 16:
      return Cleared(g.progress, 15) ? kHintRight : kHintLeft;
    case 17:
      return AllCleared(g.progress, 15, 16) ? kHintRight : kHintLeft;
    case 18:
      return AllCleared(g.progress, 15, 17) ? kHintRight : kHintLeft;
    case 19:
      return AllCleared(g.progress, 15, 18) ? kHintDown : kHintLeft;
    default:
      return kHintNone;
  }
}

void DrawHintArrow(GameState& g) {
  if (g.levelState.hintTimer > 0) --g.levelState.hintTimer;
  if (g.levelState.hintTimer % kBlinkPeriod <= kBlinkOffUntil) return;
  if (g.level < 0 || g.level > kHighestLevel || !Cleared(g.progress, g.level)) return;
  const int32_t direction = HintDirection(g);
  if (direction == kHintNone) return;
  static constexpr int32_t kOffset[4][2] = {{-70, 0}, {30, 0}, {-40, -60}, {-40, 50}};
  const int32_t px = WholePixel(g.player.x);
  const int32_t py = WholePixel(g.player.y);
  ResetDrawMode(engine.gfx);
  DrawPicture(engine.gfx, kFirstArrowPicture + direction, px + kOffset[direction][0], py + kOffset[direction][1]);
}
