// Walkers (kinds 0, 1, 2, 5 and 7): they roam the floor about their spawn
// point, turn at ledges, walls, the screen margins and the end of their
// range, push the player, and three of them fire.
#include <algorithm>

#include "engine/engine_effects.h"
#include "game/fight.h"
#include "game/object_kinds.h"
#include "game/objects.h"
#include "game/screens.h"
#include "game/singletons.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "monsters/kinds.h"
#include "monsters/monster_common.h"

namespace monsters {

namespace {

int32_t Rand(int32_t lo, int32_t hi) { return Random(engine.random, lo, hi); }

int32_t ShownFrame(const MonsterRecord& r) { return r.frame / std::max(r.frameDivisor, 1); }

// Facing left on the ground: the mirrored strip and the left-facing poses.
bool FacesLeft(const MonsterRecord& r) { return r.direction < 1 && r.airFrames < 4; }

// The point the walker's shot leaves from, in front of its face.
int32_t Muzzle(const MonsterRecord& r, int32_t offset) { return Px(r) + (FacesLeft(r) ? -offset : offset); }

}  // namespace

void KillSmallMonster(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  const int32_t half = PictureHeight(engine.gfx, r.image) / 2;
  const int32_t top = MonsterTop(g, i);
  CutFlashes(Px(r), top, half);
  SpawnDebris(g, Px(r) - half, top, r.image, 0);
  r.active = 0;
  Sample(g, 1);
  StartFight(g);
}

bool SwordHitsSmallMonster(GameState& g, int32_t i) {
  if (g.player.swordActive == 0) return false;
  const MonsterRecord& r = g.tables.objects[i];
  const int32_t half = PictureHeight(engine.gfx, r.image) / 2;
  const int32_t strip = FacesLeft(r) ? r.image + 1 : r.image;
  return SwordTouches(g.player, strip, Px(r) - half, MonsterTop(g, i), ShownFrame(r));
}

void MoveWalker(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  const int32_t px = Px(r);
  const int32_t py = Py(r);
  if (Solid(g, px, py + 15)) {
    if (r.airFrames > 3) r.y = fixed::Add(r.y, fixed::Shl(3, 16));
    r.airFrames = 0;
    // The margins come last: they win over the way home.
    Roam(r, px, 65);
  } else {
    r.airFrames = fixed::Add(r.airFrames, 1);
    r.direction = r.direction == 1 ? -1 : 1;
  }
  if (Solid(g, px - 25, py - 35)) r.direction = 1;
  if (Solid(g, px + 25, py - 35)) r.direction = -1;
  if (r.airFrames < 4) r.x = fixed::Add(r.x, fixed::Mul(fixed::Mul(r.direction, r.speed), 1 << 15));
  r.frame = r.frame > r.lastFrame - 1 ? 0 : r.frame + 1;
  if (r.airFrames > 3) r.y = fixed::Add(r.y, fixed::Shl(3, 16));
  if (Outside(Px(r), Py(r), 300)) r.active = 0;
}

void TouchWalker(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  if (SwordHitsSmallMonster(g, i)) {
    KillSmallMonster(g, i);
    return;
  }
  const int32_t px = Px(r);
  const int32_t py = Py(r);
  const int32_t plx = PlayerPx(g);
  const int32_t ply = PlayerPy(g);
  const bool small = r.kind == kWalker || r.kind == kQuickWalker;
  if (g.player.hitStun < 8 && plx > 130 && plx < ScreenW() - 130) {
    const int32_t d = fixed::Abs(px - plx) + fixed::Abs(py - (ply + 22)) / 3 + 1;
    if (d < (small ? 15 : 20)) {
      PushPlayer(g, px, py, 10, small ? 10 : 13);
      if (small) g.player.y = fixed::Sub(g.player.y, fixed::Shl(3, 16));
      g.player.hitStun = 10;
      PushFlashes(g, px, py);
      Sample(g, 2);
    }
  }
  if (g.player.alive == 0) return;
  const int32_t h = PictureHeight(engine.gfx, r.image);
  const int32_t half = h / 2;
  if (r.kind == kShootingWalker) {
    if (Rand(0, 100) > 80 && Rand(0, 100) > 70) {
      const int32_t code = Rand(0, 100) < 61 ? 4 : 3;
      SpawnMonster(g, px, MonsterTop(g, i) + h / 4, code);
    }
  } else if (r.kind == kSpittingWalker) {
    if (Rand(0, 100) >= 81 && Rand(0, 100) >= 71 && Rand(0, 100) > 20) {
      const int32_t x = Muzzle(r, half / 3 + half / 9);
      SpawnMonster(g, x, MonsterTop(g, i) + half / 2 + half / 3 + half / 10, 6);
    }
  } else if (r.kind == kLobbingWalker) {
    const bool ready = Rand(0, 100) >= 71;
    if (ready && ShownFrame(r) < 3) {
      const int32_t offset = FacesLeft(r) ? -(half / 10) : half / 10;
      SpawnMonster(g, px + offset, MonsterTop(g, i) + half / 3 + half / 8, offset < 1 ? 9 : 8);
    }
  }
}

void DrawWalker(GameState& g, int32_t i) {
  const MonsterRecord& r = g.tables.objects[i];
  GfxContext& gfx = engine.gfx;
  ResetDrawMode(gfx);
  const int32_t h = PictureHeight(gfx, r.image);
  const int32_t frames = r.kind == kQuickWalker ? 9 : 6;
  const int32_t pose = r.poseImage + ShownFrame(r) + (FacesLeft(r) ? frames : 0);
  const int32_t top = MonsterTop(g, i);
  DrawPicture(gfx, pose, Px(r) - h / 2, top);
  if (r.kind == kShootingWalker) {
    Sparks(g, Px(r), top + h / 4, 6, 10, 3, 4);
    RaiseMessage(g, OpenScreen(kScreenShootingWalkerSeen), 7);
  } else if (r.kind == kSpittingWalker) {
    const int32_t half = h / 2;
    Sparks(g, Muzzle(r, half / 3 + half / 9), top + half / 2 + half / 3 + half / 10 + 6, 2, 10, 3, 4);
    RaiseMessage(g, OpenScreen(kScreenSpittingWalkerSeen), 7);
  }
}

}  // namespace monsters
