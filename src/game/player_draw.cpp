// Drawing the player: body, cached weapon pose, leg and health bar, and the
// tagging of the weapon's pixels that the monsters read as sword hits.
#include <algorithm>

#include "engine/engine_effects.h"
#include "game/game_state.h"
#include "game/player.h"
#include "game/player_internal.h"
#include "game/singletons.h"
#include "gfx/angles.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"

namespace {

constexpr int32_t kLegPicture = 20;
constexpr int32_t kBodyTurnOffset = 24;  // the left-facing body is drawn this far left
constexpr uint32_t kSwordMarkerBase = 0xe6020202u;

struct ScreenBox {
  int32_t left, top, right, bottom;  // inclusive, inside the screen
  bool empty;
};

ScreenBox ClipToScreen(const GfxContext& gfx, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  ScreenBox b{std::max(left, 0), std::max(top, 0), std::min(right, gfx.screenWidth - 1),
              std::min(bottom, gfx.screenHeight - 1), false};
  b.empty = gfx.backBuffer == nullptr || b.left > b.right || b.top > b.bottom;
  return b;
}

void DrawLeg(PlayerRecord& player, int32_t dx, int32_t dy, int32_t half) {
  GfxContext& gfx = engine.gfx;
  const int64_t s = gfx.sizeScale;
  const auto k = static_cast<int32_t>((25 * s) >> 10);
  const int32_t a = k / 3;
  const auto q = static_cast<int32_t>((37 * s) >> 10);
  const int32_t cx = dx - 15, cy = dy + half - 20;
  // Facing left the leg picture is flipped top to bottom.
  const int32_t top = player.facing == 1 ? cy + q : cy - q;
  const int32_t bottom = player.facing == 1 ? cy - q : cy + q;
  int32_t x[4] = {cx - a, cx + a, cx - a, cx + a};
  int32_t y[4] = {top, top, bottom, bottom};
  const int32_t angle = player.drawAngle / 256;
  for (int32_t i = 0; i < 4; ++i) RotatePoint(gfx, x[i], y[i], angle, cx, cy);
  DrawToCorners(gfx, kLegPicture, x[0], y[0], x[1], y[1], x[2], y[2], x[3], y[3], -1);
}

int32_t AddCapped(int32_t health, int32_t amount) {
  return static_cast<int32_t>(std::min<int64_t>(int64_t{health} + amount, kFullHealth));
}

// Health regrows while the bar is shown after a hit (faster in its last
// 120 frames) and is whole again once the bar has gone.
void DrawHealthBar(GameState& g, int32_t dx, int32_t dy) {
  if (g.player.healthBarTimer < 1) {
    g.player.health = kFullHealth;
    return;
  }
  --g.player.healthBarTimer;
  if (g.progress.regeneration != 0) g.player.health = AddCapped(g.player.health, 0x3000);
  if (g.player.healthBarTimer <= 119) g.player.health = AddCapped(g.player.health, 0x6000);
  GfxContext& gfx = engine.gfx;
  const int32_t x = dx - 35, y = dy - 40;
  const int32_t n = std::clamp(WholePixel(g.player.health), 0, 40);
  FillRect(gfx, x - 3, y - 3, x + 43, y + 8, 0xf5f5f5);
  FillRect(gfx, x - 1, y - 1, x + 41, y + 6, 0);
  FillRect(gfx, x, y, x + 40, y + 5, 0xff0000);
  FillRect(gfx, x, y, x + n, y + 5, 0x00c864);
}

}  // namespace

void DrawPlayer(GameState& g) {
  if (g.player.alive == 0) return;
  GfxContext& gfx = engine.gfx;
  ResetDrawMode(gfx);
  const int32_t half = PictureHeight(gfx, g.player.bodySlot) / 2;
  const int32_t dx = WholePixel(g.player.drawX), dy = WholePixel(g.player.drawY);
  const bool left = g.player.facing == 1;
  if (left) {
    DrawFrame(gfx, fixed::Add(g.player.bodySlot, 2), dx - half - kBodyTurnOffset, dy - half, g.player.attackFrame);
  } else {
    DrawFrame(gfx, g.player.bodySlot, dx - half, dy - half, g.player.attackFrame);
  }
  SetSupersampling(gfx, 1);
  ResetDrawMode(gfx);
  const int32_t f = player_detail::PoseFrame(g.player.attackFrame);
  if (left) {
    MarkWeaponArea(g.player, dx - half - 104, dy - half - 80, dx + half + 56, dy + half + 80);
    DrawPicture(gfx, player_detail::kLeftPoses + f, dx - half - 104, dy - half - 80);
  } else {
    MarkWeaponArea(g.player, dx - half - 80, dy - half - 80, dx + half + 80, dy + half + 80);
    DrawPicture(gfx, player_detail::kRightPoses + f, dx - half - 80, dy - half - 80);
  }
  MarkWeaponPixels(g.player);
  SetSupersampling(gfx, 1);
  DrawLeg(g.player, dx, dy, half);
  SetSupersampling(gfx, 1);
  DrawHealthBar(g, dx, dy);
}

void MarkWeaponArea(PlayerRecord& player, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  player.weaponRect[0] = left;
  player.weaponRect[1] = top;
  player.weaponRect[2] = right;
  player.weaponRect[3] = bottom;
  GfxContext& gfx = engine.gfx;
  const ScreenBox b = ClipToScreen(gfx, left, top, right, bottom);
  if (b.empty) return;
  // With the alpha bytes cleared, only what is drawn next can carry a high
  // alpha inside the area.
  for (int32_t y = b.top; y <= b.bottom; ++y) {
    uint32_t* row = gfx.backBuffer + int64_t{y} * gfx.screenWidth;
    for (int32_t x = b.left; x <= b.right; ++x) row[x] &= 0x00ffffffu;
  }
}

void MarkWeaponPixels(PlayerRecord& player) {
  GfxContext& gfx = engine.gfx;
  const ScreenBox b = ClipToScreen(gfx, player.weaponRect[0], player.weaponRect[1], player.weaponRect[2], player.weaponRect[3]);
  if (b.empty) return;
  for (int32_t y = b.top; y <= b.bottom; ++y) {
    uint32_t* row = gfx.backBuffer + int64_t{y} * gfx.screenWidth;
    for (int32_t x = b.left; x <= b.right; ++x) {
      // Alpha 230 and each colour byte's two low bits 2: the colour the
      // monsters look for under their bodies.
      if ((row[x] >> 24) > 240) row[x] = (row[x] & 0x00fcfcfcu) + kSwordMarkerBase;
    }
  }
}
