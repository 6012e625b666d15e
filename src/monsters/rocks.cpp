// Falling rocks (kind 29), brought down by the ground boss's landing.
#include "engine/engine_effects.h"
#include "game/objects.h"
#include "game/singletons.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "monsters/kinds.h"
#include "monsters/monster_common.h"

namespace monsters {

void MoveRock(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  r.y = fixed::Add(r.y, r.vy);
  r.vy = fixed::Add(r.vy, kHalfPixel);
  r.angle = TurnAngle(r.angle, fixed::Shl(8, 16));
  if (Outside(Px(r), Py(r), 300)) r.active = 0;
}

void TouchRock(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  const int32_t px = Px(r);
  const int32_t py = Py(r);
  const int32_t d = fixed::Abs(px - PlayerPx(g)) + fixed::Abs(py - (PlayerPy(g) + 22)) / 3 + 1;
  if (d >= 30) return;
  r.active = 0;
  AddRadialLight(engine, px, py, 60, 110, 80, 20);
  ShotBurst(g, px, py);
  static constexpr int32_t kDamage[4] = {15, 17, 19, 25};
  HurtPlayer(g, kDamage[DamageBand(g)], px, py);
}

void DrawRock(GameState& g, int32_t i) {
  const MonsterRecord& r = g.tables.objects[i];
  GfxContext& gfx = engine.gfx;
  ResetDrawMode(gfx);
  const int32_t h = PictureHeight(gfx, r.image);
  DrawRotated(gfx, r.image, Px(r) - h / 2, Py(r) - h / 2, WholePixel(r.angle));
  // A few sparks where it scrapes through the air.
  Sparks(g, Px(r), Py(r), 3, 10, 8);
}

}  // namespace monsters
