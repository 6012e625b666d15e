#include "monsters/monster_common.h"

#include <algorithm>

#include "engine/engine_effects.h"
#include "game/fight.h"
#include "game/objects.h"
#include "game/screens.h"
#include "game/singletons.h"
#include "gfx/image_slots.h"
#include "sound/sound_context.h"

namespace monsters {

int32_t ScreenW() { return engine.gfx.screenWidth; }
int32_t ScreenH() { return engine.gfx.screenHeight; }

bool Outside(int32_t px, int32_t py, int32_t margin) {
  return px < -margin || px > ScreenW() + margin || py < -margin || py > ScreenH() + margin;
}

bool Solid(const GameState& g, int32_t x, int32_t y) { return GetPixel(engine.gfx, g.levelState.maskSlot, x, y) != 0; }

int32_t TurnAngle(int32_t angle, int32_t step) {
  angle = fixed::Add(angle, step);
  if (angle < 0) {
    angle = fixed::Add(angle, kFullCircle);
  } else if (angle > kFullCircle) {
    angle = fixed::Sub(angle, kFullCircle);
  }
  return angle;
}

void Sample(const GameState& g, int32_t slot) {
  if (g.settings.soundOn != 0) PlaySound(engine.sound, slot);
}

void ExplosionSample(const GameSettings& settings) {
  if (settings.soundOn != 0) PlaySound(engine.sound, Random(engine.random, 15, 17));
}

void RaiseMessage(GameState& g, int32_t m, int32_t weight) {
  if (g.frameResult == kStayInGame && g.progress.resultSeen[m] == 0) {
    g.frameResult = m;
    g.resultCount[m] = fixed::Add(g.resultCount[m], weight);
  }
}

void Sparks(GameState& g, int32_t x, int32_t y, int32_t count, int32_t size, int32_t spreadX,
            int32_t spreadY) {
  for (int32_t i = 0; i < count; ++i) {
    const int32_t oy = Random(engine.random, -spreadY, spreadY);
    const int32_t ox = Random(engine.random, -spreadX, spreadX);
    EmitParticle(g, x + ox, y + oy, size);
  }
}

void Sparks(GameState& g, int32_t x, int32_t y, int32_t count, int32_t size, int32_t spread) {
  Sparks(g, x, y, count, size, spread, spread);
}

void CutFlashes(int32_t px, int32_t top, int32_t half) {
  for (int32_t i = 0; i < 33; ++i) {
    const int32_t oy = Random(engine.random, -5, 5);
    const int32_t ox = Random(engine.random, -2, 2);
    AddFlash(engine, px + ox, top + ((i / 2 + 8) * half) / 32 + oy, 1024, 512);
  }
}

void ShotBurst(GameState& g, int32_t x, int32_t y) {
  Sparks(g, x, y, 131, 13, 15);
  Sparks(g, x, y, 41, 20, 10);
  ExplosionSample(g.settings);
}

bool FarFromHome(int32_t px, const MonsterRecord& r) {
  const int64_t d = int64_t{px} - r.homeX;
  return (d < 0 ? -d : d) > r.roamRange;
}

void Roam(MonsterRecord& r, int32_t px, int32_t margin) {
  if (FarFromHome(px, r)) r.direction = r.homeX <= px ? -1 : 1;
  if (px < margin) r.direction = 1;
  if (px > ScreenW() - margin) r.direction = -1;
}

void Flashes(int32_t x, int32_t y, int32_t count, int32_t spread, int32_t intensity, int32_t decay) {
  for (int32_t i = 0; i < count; ++i) {
    const int32_t oy = Random(engine.random, -spread, spread);
    const int32_t ox = Random(engine.random, -spread, spread);
    AddFlash(engine, x + ox, y + oy, intensity, decay);
  }
}

int32_t DamageBand(GameState& g) {
  const int32_t s = Difficulty(g.progress);
  if (s >= 51) return 0;
  if (s >= 36) return 1;
  if (s >= 26) return 2;
  return 3;
}

void HurtPlayer(GameState& g, int32_t damage, int32_t fromX, int32_t fromY) {
  g.player.health = fixed::Sub(g.player.health, fixed::Shl(damage, 16));
  if (g.progress.armour == 0) g.player.health = fixed::Sub(g.player.health, fixed::Shl(damage, 16));
  g.player.healthBarTimer = 450;
  if (g.player.health < 0) {
    SpawnPlayerDebris(g, fromX, fromY);
    g.player.alive = 0;
    g.player.x = kOffScreenFixed;
    g.player.y = kOffScreenFixed;
  }
}

void PushPlayer(GameState& g, int32_t px, int32_t py, int32_t factor, int32_t verticalShift) {
  const int64_t dx = int64_t{PlayerPx(g)} - px;
  const int64_t dy = int64_t{PlayerPy(g)} + 22 - py;
  const int64_t n = (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy) + 1;
  const auto across = static_cast<int32_t>(factor * dx / n);
  const auto up = static_cast<int32_t>(std::min<int64_t>(0, factor * dy / n));
  g.player.velX = fixed::Add(g.player.velX, fixed::Shl(across, 13));
  g.player.velY = fixed::Add(g.player.velY, fixed::Shl(up, verticalShift));
}

void PushFlashes(GameState& g, int32_t px, int32_t py) {
  const int32_t cx = (px + PlayerPx(g)) / 2;
  const int32_t cy = (py + PlayerPy(g) + 22) / 2;
  Flashes(cx, cy, 6, 5, 2560, 512);
}

int32_t FreeRecords(const ObjectTables& tables) {
  int32_t n = 0;
  for (const MonsterRecord& r : tables.objects) n += r.active == 0 ? 1 : 0;
  return n;
}

}  // namespace monsters
