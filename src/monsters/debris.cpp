#include "engine/engine_effects.h"
#include "game/objects.h"
#include "game/singletons.h"
#include "gfx/angles.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "monsters/monster_common.h"

namespace {

DebrisRecord* FreeDebris(GameState& g) {
  for (DebrisRecord& d : g.tables.debris) {
    if (d.active == 0) return &d;
  }
  return nullptr;
}

// 100 · d / n along each axis, n = |dx| + |dy| + 1.
struct Away {
  int32_t ux, uy;
};
Away AwayFrom(int64_t dx, int64_t dy) {
  const int64_t n = (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy) + 1;
  return {static_cast<int32_t>(100 * dx / n), static_cast<int32_t>(100 * dy / n)};
}

// A piece never hangs still in the air: no spin becomes 3 degrees a frame.
int32_t DrawSpin() {
  const int32_t spin = Random(engine.random, -5, 5);
  return fixed::Shl(spin == 0 ? 3 : spin, 16);
}

void StartPiece(DebrisRecord& d, int32_t x, int32_t y, int32_t image, int32_t mode) {
  d.active = 1;
  d.x = ToFixed(x);
  d.y = ToFixed(y);
  d.angle = 0;
  d.spin = DrawSpin();
  d.image = image;
  d.drawFrame = -1;
  d.mode = mode;
}

}  // namespace

void SpawnDebris(GameState& g, int32_t x, int32_t y, int32_t image, int32_t mode) {
  const int32_t pieces = mode == 3 ? 1 : 3;
  const int32_t h = PictureHeight(engine.gfx, image);
  const int64_t dx = int64_t{x} + h / 2 - monsters::PlayerPx(g);
  const int64_t dy = int64_t{y} + h / 4 - (int64_t{monsters::PlayerPy(g)} + 15);
  Away a = AwayFrom(dx, dy);
  if (mode == 1) a = {-a.ux, -a.uy};
  for (int32_t p = 0; p < pieces; ++p) {
    DebrisRecord* d = FreeDebris(g);
    if (d == nullptr) continue;
    StartPiece(*d, x, y, image + p + 2, mode);
    d->vy = fixed::Add(fixed::Shl(a.uy, 11), fixed::Shl(Random(engine.random, -2, 2), 15));
    d->vx = fixed::Add(fixed::Shl(a.ux, 12), fixed::Shl(Random(engine.random, -4, 4), 15));
  }
}

void SpawnPlayerDebris(GameState& g, int32_t x, int32_t y) {
  const int32_t plx = monsters::PlayerPx(g);
  const int32_t ply = monsters::PlayerPy(g);
  struct Piece {
    int32_t px, py, image;
  };
  const Piece pieces[2] = {{plx - 10, ply + 15, 30}, {plx - 40, ply - 40, 31}};
  for (const Piece& p : pieces) {
    DebrisRecord* d = FreeDebris(g);
    if (d == nullptr) continue;
    const Away a = AwayFrom(int64_t{p.px} - x, int64_t{p.py} - y);
    StartPiece(*d, p.px, p.py, p.image, 13);
    d->vy = fixed::Add(fixed::Shl(a.uy, 11), fixed::Shl(Random(engine.random, -3, 3), 15));
    d->vx = fixed::Add(fixed::Shl(a.ux, 12), fixed::Shl(Random(engine.random, -4, 4), 15));
  }
}

void ClearDebris(ObjectTables& tables) {
  for (DebrisRecord& d : tables.debris) d.active = 0;
}

void UpdateDebris(GameState& g) {
  GfxContext& gfx = engine.gfx;
  for (DebrisRecord& d : g.tables.debris) {
    if (d.active == 0) continue;
    d.angle = fixed::Add(d.angle, d.spin);
    if (d.angle < 0) {
      d.angle = fixed::Add(d.angle, monsters::kFullCircle);
    } else if (d.angle >= monsters::kFullCircle) {
      d.angle = fixed::Sub(d.angle, monsters::kFullCircle);
    }
    d.x = fixed::Add(d.x, d.vx);
    d.y = fixed::Add(d.y, d.vy);
    d.vy = fixed::Add(d.vy, monsters::kQuarterPixel);
    if (d.mode == 2) {
      SetDrawMode(gfx, -1);
    } else {
      ResetDrawMode(gfx);
    }
    const int32_t h = PictureHeight(gfx, d.image) / 2;
    const int32_t cx = WholePixel(d.x) + h;
    const int32_t cy = WholePixel(d.y) + h;
    int32_t xs[4] = {cx - h, cx + h, cx - h, cx + h};
    int32_t ys[4] = {cy - h, cy - h, cy + h, cy + h};
    const int32_t turn = WholePixel(d.angle);
    for (int32_t k = 0; k < 4; ++k) RotatePoint(gfx, xs[k], ys[k], turn, cx, cy);
    DrawToCorners(gfx, d.image, xs[0], ys[0], xs[1], ys[1], xs[2], ys[2], xs[3], ys[3], d.drawFrame);
    ResetDrawMode(gfx);
    if (Random(engine.random, 0, 100) > 60) {
      const int32_t mx = (xs[0] + xs[1] + xs[2] + xs[3]) / 4;
      const int32_t my = (ys[0] + ys[1] + ys[2] + ys[3]) / 4;
      const int32_t oy = Random(engine.random, -4, 4);
      const int32_t ox = Random(engine.random, -4, 4);
      EmitParticle(g, mx + ox, my + oy, 10);
    }
    if (WholePixel(d.y) > monsters::ScreenH()) d.active = 0;
  }
}
