// The danger warning: when enough threats crowd round the player, a warning
// sign shows over him for a while.
#include "engine/engine_effects.h"
#include "game/object_kinds.h"
#include "game/objects.h"
#include "game/singletons.h"
#include "gfx/drawing.h"
#include "monsters/monster_common.h"

namespace {

// How much a thing near the player weighs.
int32_t Threat(int32_t kind, int32_t cls) {
  if (kind == kWalker || kind == kQuickWalker) return 1;
  if (kind == kShootingWalker || kind == kSpittingWalker || kind == kLobbingWalker || kind == kSmallFlyer)
    return 6;
  if (cls == 0) return 3;
  return cls == 2 ? 18 : 30;
}

}  // namespace

void DangerWarning(GameState& g) {
  using monsters::Px;
  using monsters::Py;
  const int32_t plx = monsters::PlayerPx(g);
  const int32_t ply = monsters::PlayerPy(g);
  int32_t sum = 0;
  for (const MonsterRecord& r : g.tables.objects) {
    if (r.active == 0) continue;
    const int32_t cls = MonsterClass(r.kind);
    const int32_t d = fixed::Abs(plx - Px(r) - 10) + fixed::Abs(ply - Py(r) + 20) + 1;
    if (d < 50 * cls + 40) sum += Threat(r.kind, cls);
  }
  g.levelState.dangerSum = sum;
  if (g.player.alive == 0) return;
  if (sum > 19) g.levelState.dangerTimer = 270;
  if (g.levelState.dangerTimer > 0) {
    g.levelState.dangerTimer -= 1;
    if (g.levelState.dangerTimer > 0) {
      GfxContext& gfx = engine.gfx;
      ResetDrawMode(gfx);
      DrawPicture(gfx, 32, WholePixel(g.player.drawX) - 50, WholePixel(g.player.drawY) - 20);
      ResetDrawMode(gfx);
    }
  }
}
