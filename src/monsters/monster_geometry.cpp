// Where a monster stands on screen and what touches it: the top edge at
// which it is drawn and hit-tested (walkers sink their feet into the ground
// line), and the sword test against the weapon marker colour.
#include <algorithm>
#include <climits>
#include <vector>

#include "engine/engine_effects.h"
#include "game/object_kinds.h"
#include "game/objects.h"
#include "game/singletons.h"
#include "gfx/image_slots.h"
#include "monsters/monster_common.h"

namespace {

using monsters::Px;
using monsters::Py;

bool IsWalker(int32_t kind) {
  return kind == kWalker || kind == kShootingWalker || kind == kQuickWalker || kind == kSpittingWalker ||
         kind == kLobbingWalker;
}

int32_t ComputeTop(GameState& g, const MonsterRecord& r) {
  const int32_t h = PictureHeight(engine.gfx, r.image);
  int32_t top = Py(r) - h / 2;
  const int32_t shown = r.frame / std::max(r.frameDivisor, 1);
  if (IsWalker(r.kind)) {
    const int32_t facingLeft = r.direction <= 0 && r.airFrames <= 3 ? (r.kind == kQuickWalker ? 9 : 6) : 0;
    const int32_t pose = r.poseImage + shown + facingLeft;
    top -= GroundSink(g.levelState, Px(r) - h / 2, top, pose, r.kind == kShootingWalker ? 35 : 40);
  } else if (r.kind == kBreedingFlyer) {
    if (shown == 2 || shown == 3) top -= 10;
    if (shown == 4) top -= 5;
  } else if (r.kind == kSmallFlyer) {
    if (shown == 2 || shown == 3) top -= 5;
    if (shown == 4) top -= 2;
  } else if (r.kind == kGroundBoss) {
    top += WholePixel(r.bob);
  }
  return top;
}

// While the update runs, the mask and the pictures stay as they are, so a
// record's top depends only on its own words: the walkers' ground test is
// done once per record and state instead of once per question.
struct TopMemo {
  bool valid = false;
  int32_t x, y, image, frame, frameDivisor, direction, airFrames, poseImage, kind, bob, maskSlot;
  int32_t top;
  bool Matches(const MonsterRecord& r, int32_t mask) const {
    return valid && x == r.x && y == r.y && image == r.image && frame == r.frame &&
           frameDivisor == r.frameDivisor && direction == r.direction && airFrames == r.airFrames &&
           poseImage == r.poseImage && kind == r.kind && bob == r.bob && maskSlot == mask;
  }
};
bool gMemoOn = false;
TopMemo gMemo[kObjectCount];

// Scratch of the ground test, grown once to the largest pose seen.
std::vector<int32_t> gRowFirst, gRowLast;

}  // namespace

namespace monsters {

void HoldMonsterTops(bool on) {
  gMemoOn = on;
  for (TopMemo& m : gMemo) m.valid = false;
}

}  // namespace monsters

int32_t MonsterTop(GameState& g, int32_t index) {
  if (index < 0 || index >= kObjectCount) return 0;
  const MonsterRecord& r = g.tables.objects[index];
  if (r.active == 0) return 0;
  if (!gMemoOn) return ComputeTop(g, r);
  TopMemo& m = gMemo[index];
  if (!m.Matches(r, g.levelState.maskSlot)) {
    m = {true,        r.x,         r.y,    r.image, r.frame,    r.frameDivisor,  r.direction,
         r.airFrames, r.poseImage, r.kind, r.bob,   g.levelState.maskSlot, ComputeTop(g, r)};
  }
  return m.top;
}

int32_t GroundSink(LevelState& levelState, int32_t left, int32_t top, int32_t pose, int32_t depth) {
  GfxContext& gfx = engine.gfx;
  const ImageSlot* p = UsableSlot(gfx, pose);
  const ImageSlot* mask = UsableSlot(gfx, levelState.maskSlot);
  const int32_t w = monsters::ScreenW();
  const int32_t h = monsters::ScreenH();
  if (p == nullptr || mask == nullptr || mask->width != w || mask->height != h || depth < 0) return 0;
  // The sampled pixels: rows r0, r0 + 2, ... and in each row every second
  // column of its visible span. A pixel at row r0 + 2j finds ground at the
  // sinks d = depth, depth - 2, ..., that is at the mask rows
  // base + 2j .. base + 2(j + depth / 2), base = top + r0 - depth; so one
  // parity of mask rows serves the whole pose, column by column.
  const int32_t hp = p->height;
  const int32_t pw = p->width;
  const int32_t r0 = 5 * hp / 8;
  if (r0 >= hp) return 0;
  const int32_t rows = (hp - 1 - r0) / 2 + 1;
  const int32_t reach = depth / 2;
  gRowFirst.resize(std::max<size_t>(gRowFirst.size(), static_cast<size_t>(rows)));
  gRowLast.resize(gRowFirst.size());
  for (int32_t j = 0; j < rows; ++j) {
    const RowSpanEnds span = RowSpan(gfx, pose, r0 + 2 * j, 1);
    gRowFirst[j] = std::max(span.left, 0);
    gRowLast[j] = std::min(pw - span.right - 1, pw - 1);
  }
  const int64_t base = int64_t{top} + r0 - depth;
  int32_t best = -1;
  for (int32_t c = 0; c < pw; ++c) {
    const int64_t x = int64_t{left} + c;
    if (x < 0 || x >= w) continue;
    // The lowest sampled row of this column bounds the mask rows it needs.
    int32_t lastRow = -1;
    for (int32_t j = rows - 1; j >= 0; --j) {
      const int32_t first = gRowFirst[j];
      if (c < first || c > gRowLast[j] || (c - first) % 2 != 0) continue;
      if (p->pixels[static_cast<int64_t>(r0 + 2 * j) * pw + c] == 0) continue;
      lastRow = j;
      break;
    }
    if (lastRow < 0) continue;
    // Walk the mask rows upwards, keeping the nearest solid row at or below.
    int32_t nearest = INT32_MAX;
    for (int32_t j = lastRow + reach; j >= 0; --j) {
      const int64_t y = base + 2 * int64_t{j};
      if (y >= 0 && y < h && mask->pixels[y * w + x] != 0) nearest = j;
      if (j > lastRow) continue;
      const int32_t first = gRowFirst[j];
      if (c < first || c > gRowLast[j] || (c - first) % 2 != 0) continue;
      if (p->pixels[static_cast<int64_t>(r0 + 2 * j) * pw + c] == 0) continue;
      if (nearest - j <= reach) best = std::max(best, depth - 2 * (nearest - j));
    }
    if (best == depth) break;
  }
  return std::max(best, 0);
}

bool SwordTouches(PlayerRecord& player, int32_t image, int32_t left, int32_t top, int32_t frame) {
  if (player.attackFrame == player.prevAttackFrame) return false;
  GfxContext& gfx = engine.gfx;
  const ImageSlot* s = UsableSlot(gfx, image);
  if (s == nullptr || gfx.backBuffer == nullptr) return false;
  const int64_t h = s->height;
  const int64_t sw = gfx.screenWidth;
  const int64_t sh = gfx.screenHeight;
  // Columns where both the screen and the frame's pixels exist.
  const int64_t frameLeft = int64_t{frame} * h;
  const int64_t c0 = std::max<int64_t>({0, -int64_t{left}, -frameLeft});
  const int64_t c1 = std::min<int64_t>({h, sw - left, s->width - frameLeft});
  for (int64_t r = 0; r < h; ++r) {
    const int64_t y = int64_t{top} + r;
    if (y < 0 || y >= sh) continue;
    const int64_t screenRow = y * sw + left;
    const int64_t bodyRow = r * s->width + frameLeft;
    for (int64_t c = c0; c < c1; ++c) {
      const uint32_t v = gfx.backBuffer[screenRow + c];
      // The weapon marker: top byte 230, each colour byte ending in binary 10.
      if ((v & 0xff030303u) == 0xe6020202u && s->pixels[bodyRow + c] != 0) return true;
    }
  }
  return false;
}
