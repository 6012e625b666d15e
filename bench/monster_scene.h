#pragma once
// The heaviest monster load a level can hold: the object table full (101
// records of every kind: walkers, monster shots, pickups, gun shots, big
// monsters, the ground boss and rocks) and the debris table full (201
// pieces). FillMonsterTables tops both tables up again, so a benchmark can
// time frame after frame at the full load. Where the game folder's
// creature pictures are missing, stand-ins of the sizes the art uses are
// cut as the loader cuts them. Header only, for any benchmark to include.
#include <algorithm>
#include <cstdint>

#include "assets/image_preparation.h"
#include "game/game_state.h"
#include "game/objects.h"
#include "gfx/image_slots.h"
#include "shell/globals.h"

namespace monster_scene {

// The floor of the stand-in mask, and the player's place on it.
inline constexpr int32_t kFloor = 470;
inline constexpr int32_t kPlayerX = 400;
inline constexpr int32_t kPlayerY = kFloor - 43;

// A strip of `frames` square frames of side h holding an oval body (a
// little different per frame), as the creature art would.
inline void StandInStrip(GfxContext& gfx, int32_t slot, int32_t h, int32_t frames, uint32_t colour) {
  if (HasPixels(gfx, slot)) return;
  CreatePicture(gfx, slot, h * frames, h);
  const int32_t c = h / 2;
  for (int32_t f = 0; f < frames; ++f) {
    const int32_t rx = h / 3 + f % 3;
    const int32_t ry = h / 2 - 2;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < h; ++x) {
        const int64_t dx = x - c, dy = y - c;
        if (dx * dx * ry * ry + dy * dy * rx * rx <= int64_t{rx} * rx * ry * ry)
          SetPixel(gfx, slot, f * h + x, y, colour + static_cast<uint32_t>((x ^ y) & 15));
      }
  }
  ComputeRowSpans(gfx, slot);
}

// The creature strips with their cuts (the loader's table), the shots,
// pieces, rocks and pickups.
inline void MakeStandInPictures() {
  GfxContext& gfx = engine.gfx;
  struct Creature {
    int32_t strip, side, poses, count, cut;
  };
  static constexpr Creature kCreatures[] = {
      {120, 72, 415, 6, 0},  {126, 80, 427, 6, 1},  {132, 80, 439, 9, 0},  {150, 84, 457, 6, 2},
      {156, 84, 469, 6, 1},  {162, 180, 481, 2, 1}, {167, 160, 485, 5, 1}, {172, 72, 495, 5, 1},
      {177, 150, 505, 3, 1}, {182, 150, 511, 3, 1}, {187, 288, 0, 5, 1},   {192, 180, 517, 5, 1},
  };
  for (const Creature& c : kCreatures) {
    if (HasPixels(gfx, c.strip)) continue;
    StandInStrip(gfx, c.strip, c.side, c.count, 0xff604030u);
    if (c.poses != 0) MakeMirroredStrip(engine.gfx, c.strip + 1, c.strip);
    MakeBodyPieces(engine.gfx, c.strip + 4, c.strip + 3, c.strip + 2, c.strip, c.cut);
    if (c.poses != 0) MakePoseImages(engine.gfx, c.poses, c.strip + 1, c.strip, c.count);
  }
  if (!HasPixels(gfx, 138)) {
    StandInStrip(gfx, 138, 28, 1, 0xffc08020u);
    MakeBodyPieces(engine.gfx, 142, 141, 140, 138, 0);
  }
  for (int32_t i = 0; i < 3; ++i) {
    StandInStrip(gfx, 725 + i, 44, 1, 0xff707070u);
    StandInStrip(gfx, 733 + i, 20, 1, 0xff4080c0u);
    StandInStrip(gfx, 815 + i, 18, 1, 0xff808080u);
  }
  StandInStrip(gfx, 808, 16, 1, 0xffa09020u);
  for (int32_t s = 40; s <= 48; ++s) StandInStrip(gfx, s, 64, 1, 0xff30a0c0u);
}

// A screen-sized mask: a floor with two ledges and a wall.
inline void MakeStandInMask(GameState& g, int32_t slot) {
  GfxContext& gfx = engine.gfx;
  const int32_t w = engine.gfx.screenWidth, h = engine.gfx.screenHeight;
  if (!HasPixels(gfx, slot)) {
    CreatePicture(gfx, slot, w, h);
    for (int32_t y = kFloor; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) SetPixel(gfx, slot, x, y, 0xffffffffu);
    for (int32_t y = 300; y < 320; ++y)
      for (int32_t x = 100; x < 260; ++x) SetPixel(gfx, slot, x, y, 0xffffffffu);
    for (int32_t y = 280; y < kFloor; ++y)
      for (int32_t x = 740; x < 760; ++x) SetPixel(gfx, slot, x, y, 0xffffffffu);
  }
  g.levelState.maskSlot = slot;
}

// The mix of a full table, by record index: 40 walkers, 25 monster shots,
// 9 pickups, 6 gun shots, 10 big monsters, the ground boss and 10 rocks.
inline int32_t CodeFor(int32_t i) {
  static constexpr int32_t kWalkers[] = {0, 1, 2, 5, 7};
  static constexpr int32_t kShots[] = {3, 4, 6, 8, 18, 25};
  static constexpr int32_t kPickups[] = {11, 13, 14, 16, 21, 22, 23, 27, 31};
  static constexpr int32_t kBig[] = {17, 19, 20, 24, 32};
  if (i < 40) return kWalkers[i % 5];
  if (i < 65) return kShots[i % 6];
  if (i < 74) return kPickups[i - 65];
  if (i < 80) return i % 2 == 0 ? 10 : 15;
  if (i < 90) return kBig[i % 5];
  if (i == 90) return 28;
  return 29;
}

// Where a record of that code starts: walkers and jumpers on the floor,
// flyers and shots in the air, pickups above the floor, rocks up high.
inline void PlaceFor(int32_t i, int32_t code, int32_t& x, int32_t& y) {
  x = 80 + (i * 131) % 640;
  switch (code) {
    case 0:
    case 1:
    case 2:
    case 5:
    case 7:
      y = kFloor - 14;
      break;
    case 17:
    case 32:
      y = kFloor - 92;
      break;
    case 28:
      x = 560;
      y = kFloor - 144;
      break;
    case 29:
      y = 20 + (i * 37) % 200;
      break;
    case 11:
    case 13:
    case 14:
    case 16:
    case 21:
    case 22:
    case 23:
    case 27:
    case 31:
      y = kFloor - 90;
      break;
    default:
      y = 120 + (i * 53) % 260;
      break;
  }
}

// Tops both tables up to full and puts the player back, alive and
// unstunned, in the middle of the floor with a fight running.
inline void FillMonsterTables(GameState& g) {
  g.player.alive = -1;
  g.player.x = ToFixed(kPlayerX);
  g.player.y = ToFixed(kPlayerY);
  g.player.health = kFullHealth;
  g.player.hitStun = 0;
  g.player.velX = 0;
  g.player.velY = 0;
  g.fight.time = 5000;
  g.fight.timeStart = 10000;
  for (int32_t i = 0; i < kObjectCount; ++i) {
    if (g.tables.objects[i].active != 0) continue;
    const int32_t code = CodeFor(i);
    int32_t x = 0, y = 0;
    PlaceFor(i, code, x, y);
    if (code == 25 || code == 30) g.tables.currentShooter = 0;
    SpawnMonster(g, x, y, code);
  }
  static constexpr int32_t kPieces[] = {120, 126, 132, 150, 156, 162, 167, 172, 177, 182, 187, 192, 138, 731};
  for (int32_t k = 0; k < 200; ++k) {
    bool full = true;
    for (const DebrisRecord& d : g.tables.debris) full = full && d.active != 0;
    if (full) break;
    const int32_t image = kPieces[k % 14];
    SpawnDebris(g, 60 + (k * 89) % 680, 60 + (k * 47) % 300, image,
                image == 138 ? 2 : (image == 731 ? 1 : 0));
  }
}

}  // namespace monster_scene
