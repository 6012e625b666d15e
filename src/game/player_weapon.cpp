// The weapon in hand: warped onto the four marker pixels of the body's
// attack frame, once per pose, and kept in a picture of its own.
#include <algorithm>

#include "engine/engine_effects.h"
#include "game/game_state.h"
#include "game/level_build.h"
#include "game/player.h"
#include "game/player_internal.h"
#include "game/singletons.h"
#include "game/weapons.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"

namespace {

constexpr uint32_t kRedMarker = 0xffff0000u;
constexpr uint32_t kGreenMarker = 0xff00ff00u;
constexpr uint32_t kBlueMarker = 0xff0000ffu;
constexpr uint32_t kMagentaMarker = 0xffff00ffu;
constexpr int32_t kWorkPicture = 1;

MarkerPoint Plus(MarkerPoint a, int32_t dx, int32_t dy) { return {a.x + dx, a.y + dy}; }

// The marker corners of the current frame, with the long and broad blades
// applied to swords (the broadening works on the lengthened points).
WeaponMarkers WeaponCorners(GameState& g) {
  WeaponMarkers m = FindMarkers(fixed::Add(g.player.bodySlot, 1), g.player.attackFrame);
  const bool sword = IsSword(g.player.weapon);
  if (sword && g.progress.longBlade != 0) {
    m.green = Plus(m.green, (m.green.x - m.red.x) / 2, (m.green.y - m.red.y) / 2);
    m.magenta = Plus(m.magenta, (m.magenta.x - m.blue.x) / 2, (m.magenta.y - m.blue.y) / 2);
  }
  if (sword && g.progress.broadBlade != 0) {
    // Each end is widened by half, then the far end is moved outward along
    // the blade.
    const int32_t gripX = m.red.x - (m.red.x + m.blue.x) / 2, gripY = m.red.y - (m.red.y + m.blue.y) / 2;
    m.red = Plus(m.red, gripX / 2, gripY / 2);
    m.blue = Plus(m.blue, -(gripX / 2), -(gripY / 2));
    const int32_t farX = m.green.x - (m.green.x + m.magenta.x) / 2;
    const int32_t farY = m.green.y - (m.green.y + m.magenta.y) / 2;
    m.green = Plus(m.green, farX / 2, farY / 2);
    m.magenta = Plus(m.magenta, -(farX / 2), -(farY / 2));
    m.green = Plus(m.green, (m.green.x - m.red.x) * 8 / 28, (m.green.y - m.red.y) * 8 / 28);
    m.magenta = Plus(m.magenta, (m.magenta.x - m.blue.x) * 8 / 28, (m.magenta.y - m.blue.y) * 8 / 28);
  }
  return m;
}

}  // namespace

WeaponMarkers FindMarkers(int32_t strip, int32_t frame) {
  WeaponMarkers m;
  GfxContext& gfx = engine.gfx;
  if (!HasPixels(gfx, strip)) return m;
  const ImageSlot& s = gfx.slots[strip];
  const int32_t h = s.height;
  const int64_t left = int64_t{frame} * h;
  // Only the columns of the frame that lie inside the picture can match;
  // the last match in row-major order wins.
  const int64_t from = std::max<int64_t>(left, 0);
  const int64_t to = std::min<int64_t>(left + h, s.width);
  for (int32_t row = 0; row < h; ++row) {
    const uint32_t* line = s.pixels + int64_t{row} * s.width;
    for (int64_t col = from; col < to; ++col) {
      const uint32_t p = line[col];
      const MarkerPoint at{static_cast<int32_t>(col - left), row};
      if (p == kRedMarker) m.red = at;
      if (p == kGreenMarker) m.green = at;
      if (p == kBlueMarker) m.blue = at;
      if (p == kMagentaMarker) m.magenta = at;
    }
  }
  return m;
}

namespace {

// The weapon poses drawn for one body and weapon are kept aside, so that
// switching back to a weapon finds them. A pose is taken from there only
// where drawing it again would give the same picture and leave nothing else
// changed: its two capture areas lie on the screen inside the areas cleared
// for them (so neither the work picture's old pixels nor the frame's earlier
// drawing reach it), and the level picture drawn next covers the whole
// screen (so the scratch drawing left on the back buffer is never seen).
// The work picture, which only this drawing reads, is left as it was.
bool PoseCanBeKept(PlayerRecord& player, int32_t target) {
  GfxContext& gfx = engine.gfx;
  const int64_t w = gfx.screenWidth, h = gfx.screenHeight;
  const auto inside = [](int64_t x, int64_t y, int64_t width, int64_t height, int64_t left, int64_t top,
                         int64_t right, int64_t bottom) {
    return x >= left && y >= top && x + width <= right && y + height <= bottom;
  };
  const int64_t half = PictureHeight(gfx, player.bodySlot) / 2;
  const int64_t ox = w / 2 - half, oy = h / 2 - half;
  const int64_t pw = PictureWidth(gfx, kWorkPicture), ph = PictureHeight(gfx, kWorkPicture);
  const int64_t cx = w / 2 - half - 160, cy = h / 2 - half - 160;
  const int64_t tw = PictureWidth(gfx, target), th = PictureHeight(gfx, target);
  const int64_t x0 = w / 2 - half - 80, x1 = w / 2 + half + 80;
  const int64_t y0 = h / 2 - half - 80, y1 = h / 2 + half + 80;
  return HasPixels(gfx, kWorkPicture) && HasPixels(gfx, target) && PictureWidth(gfx, kComposedSlot) >= w &&
         PictureHeight(gfx, kComposedSlot) >= h && inside(cx, cy, pw, ph, 0, 0, w, h) &&
         inside(cx, cy, pw, ph, ox - 161, oy - 161, ox + 4 * half + 161, oy + 4 * half + 161) &&
         inside(x0, y0, tw, th, 0, 0, w, h) && inside(x0, y0, tw, th, x0 - 3, y0 - 3, x1 + 3, y1 + 3);
}

// Everything the drawing of a pose depends on: the body, the weapon, the
// side, the attack frame whose markers place the weapon (several frames
// share a pose, and the pose is drawn from the frame that asked for it
// first), the blade's length and breadth, and the screen's size.
PictureKey PoseKey(const GameState& g, int32_t side) {
  return {g.player.bodySlot,
          g.player.weapon,
          side,
          g.player.attackFrame,
          g.progress.longBlade != 0 ? 1 : 0,
          g.progress.broadBlade != 0 ? 1 : 0,
          engine.gfx.screenWidth,
          engine.gfx.screenHeight};
}

}  // namespace

void PrepareWeaponPicture(GameState& g) {
  GfxContext& gfx = engine.gfx;
  const int32_t w = engine.gfx.screenWidth, h = engine.gfx.screenHeight;
  SetSupersampling(gfx, 1);
  if (g.player.bodySlot != g.player.cachedBody || g.player.weapon != g.player.cachedWeapon) {
    for (auto& side : g.player.weaponCacheValid)
      for (int32_t& valid : side) valid = 0;
    g.player.cachedBody = g.player.bodySlot;
    g.player.cachedWeapon = g.player.weapon;
  }
  const int32_t f = player_detail::PoseFrame(g.player.attackFrame);
  const int32_t side = g.player.facing == 1 ? 1 : 0;
  if (g.player.weaponCacheValid[side][f] != 0) return;
  const int32_t target = side == 0 ? player_detail::kRightPoses + f : player_detail::kLeftPoses + f;
  const bool keepable = PoseCanBeKept(g.player, target);
  if (keepable && engine.weaponPoses.Restore(gfx, target, PoseKey(g, side))) {
    ResetDrawMode(gfx);  // as the drawing below ends
    g.player.weaponCacheValid[side][f] = 1;
    return;
  }

  // The weapon is warped at twice the body's scale around the screen
  // centre, captured into the work picture and halved into the pose
  // picture, which smooths its edges. The back buffer is scratch here: the
  // level picture covers it afterwards.
  const WeaponMarkers m = WeaponCorners(g);
  const int32_t half = PictureHeight(gfx, g.player.bodySlot) / 2;
  const int32_t ox = w / 2 - half, oy = h / 2 - half;
  FillRect(gfx, ox - 161, h / 2 - half - 161, ox + 4 * half + 161, h / 2 - half + 4 * half + 161, 0);
  DrawToCorners(gfx, g.player.weapon, ox + 2 * m.red.x, oy + 2 * m.red.y, ox + 2 * m.green.x, oy + 2 * m.green.y,
                ox + 2 * m.blue.x, oy + 2 * m.blue.y, ox + 2 * m.magenta.x, oy + 2 * m.magenta.y, -1);
  CopyFromScreen(gfx, kWorkPicture, w / 2 - half - 160, h / 2 - half - 160);
  PrepareAlpha(gfx, kWorkPicture, 1);
  ComputeRowSpans(gfx, kWorkPicture);

  const int32_t half2 = PictureHeight(gfx, g.player.bodySlot) / 2;
  const int32_t x0 = w / 2 - half2 - 80, x1 = w / 2 + half2 + 80;
  const int32_t y0 = h / 2 - half2 - 80, y1 = h / 2 + half2 + 80;
  SetDrawMode(gfx, -2);
  FillRect(gfx, x0 - 3, y0 - 3, x1 + 3, y1 + 3, 0);
  if (side == 0) {
    DrawToCorners(gfx, kWorkPicture, x0, y0, x1, y0, x0, y1, x1, y1, -1);
  } else {
    DrawToCorners(gfx, kWorkPicture, x1, y0, x0, y0, x1, y1, x0, y1, -1);  // mirrored
  }
  CopyFromScreen(gfx, target, x0, y0);
  PrepareAlpha(gfx, target, 3);
  ComputeRowSpans(gfx, target);
  ResetDrawMode(gfx);
  g.player.weaponCacheValid[side][f] = 1;
  if (keepable) engine.weaponPoses.Keep(gfx, target, PoseKey(g, side));
}
