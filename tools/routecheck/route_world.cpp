#include "routecheck/route_world.h"

#include <algorithm>
#include <cstring>

#include "assets/loading.h"
#include "engine/engine_effects.h"
#include "game/player.h"
#include "gfx/image_slots.h"
#include "shell/globals.h"
#include "shell/mode_dispatcher.h"

namespace routecheck {
namespace {

constexpr int32_t kScreenWidth = 800;
constexpr int32_t kScreenHeight = 600;
constexpr int32_t kSwordBody = 21;
constexpr int32_t kFrameSide = 80;  // the body frame the player art is drawn for
constexpr int32_t kProbeCount = 101;

std::string HeldName(const Held& h) {
  std::string s;
  if (h.left) s += "left";
  if (h.right) s += s.empty() ? "right" : "+right";
  if (h.jump) s += s.empty() ? "jump" : "+jump";
  return s.empty() ? "none" : s;
}

}  // namespace

std::string Describe(const InputSequence& inputs) {
  std::string out;
  for (const Segment& s : inputs) {
    if (!out.empty()) out += ", ";
    out += HeldName(s.held) + " " + std::to_string(s.frames);
  }
  return out.empty() ? "(nothing)" : out;
}

int32_t TotalFrames(const InputSequence& inputs) {
  int32_t n = 0;
  for (const Segment& s : inputs) n += s.frames;
  return n;
}

const char* EdgeName(Edge e) {
  switch (e) {
    case Edge::Left:
      return "left";
    case Edge::Right:
      return "right";
    case Edge::Bottom:
      return "bottom";
    case Edge::Top:
      return "top";
    case Edge::None:
      break;
  }
  return "none";
}

BodyState SaveBody(const GameState& g, const RandomSource& r) {
  BodyState b{};
  b.playerX = g.player.x;
  b.playerY = g.player.y;
  b.playerAngle = g.player.angle;
  b.facing = g.player.facing;
  b.velX = g.player.velX;
  b.velY = g.player.velY;
  b.drawX = g.player.drawX;
  b.drawY = g.player.drawY;
  b.drawAngle = g.player.drawAngle;
  b.subStepCount = g.player.subStepCount;
  b.lastDrawX = g.player.lastDrawX;
  b.lastDrawY = g.player.lastDrawY;
  b.jumpCooldown = g.player.jumpCooldown;
  b.jumpBuffer = g.player.jumpBuffer;
  b.hitStun = g.player.hitStun;
  b.deathTimer = g.player.deathTimer;
  b.frameResult = g.frameResult;
  b.endingTimer = g.player.endingTimer;
  std::memcpy(b.probeFreeX, g.player.probeFreeX, sizeof b.probeFreeX);
  std::memcpy(b.probeFreeY, g.player.probeFreeY, sizeof b.probeFreeY);
  b.random = r.s;
  return b;
}

void RestoreBody(GameState& g, RandomSource& r, const BodyState& b) {
  g.player.x = b.playerX;
  g.player.y = b.playerY;
  g.player.angle = b.playerAngle;
  g.player.facing = b.facing;
  g.player.velX = b.velX;
  g.player.velY = b.velY;
  g.player.drawX = b.drawX;
  g.player.drawY = b.drawY;
  g.player.drawAngle = b.drawAngle;
  g.player.subStepCount = b.subStepCount;
  g.player.lastDrawX = b.lastDrawX;
  g.player.lastDrawY = b.lastDrawY;
  g.player.jumpCooldown = b.jumpCooldown;
  g.player.jumpBuffer = b.jumpBuffer;
  g.player.hitStun = b.hitStun;
  g.player.deathTimer = b.deathTimer;
  g.frameResult = b.frameResult;
  g.player.endingTimer = b.endingTimer;
  std::memcpy(g.player.probeFreeX, b.probeFreeX, sizeof b.probeFreeX);
  std::memcpy(g.player.probeFreeY, b.probeFreeY, sizeof b.probeFreeY);
  r.s = b.random;
}

void PrepareEngine() {
  GfxContext& gfx = engine.gfx;
  if (gfx.backBuffer != nullptr && engine.gfx.screenWidth == kScreenWidth &&
      engine.gfx.screenHeight == kScreenHeight)
    return;
  static std::vector<uint32_t> screen(static_cast<size_t>(kScreenWidth) * kScreenHeight);
  engine.gfx.screenWidth = kScreenWidth;
  engine.gfx.screenHeight = kScreenHeight;
  InitGraphics(gfx, screen.data(), kScreenWidth, kScreenHeight);
}

bool LoadLevelMask(GameState& g, int32_t level) {
  LevelPictureFiles files{};
  if (!FindLevelPictures(level, files)) return false;
  g.level = level;
  LoadLevelPictures(g.levelPictures, g.level, engine.gfx, engine.effects);
  g.levelState.maskSlot = files.maskSlot;
  g.levelState.foregroundSlot = files.foregroundSlot;
  GfxContext& gfx = engine.gfx;
  LoadPicture(gfx, kSwordBody, "data/mz2.vx1");
  // Only the body's height matters to the leg; without the player art an
  // empty strip of the drawn size stands in.
  if (!HasPixels(gfx, kSwordBody)) CreatePicture(gfx, kSwordBody, 11 * kFrameSide, kFrameSide);
  return HasPixels(gfx, g.levelState.maskSlot);
}

void PlacePlayer(GameState& g, int32_t x, int32_t y, int32_t angle) {
  g.player.x = ToFixed(x);
  g.player.y = ToFixed(y);
  g.player.angle = angle;
  g.player.facing = 1;
  g.player.velX = g.player.velY = 0;
  g.player.lastDrawX = g.player.lastDrawY = kOffScreenFixed;
  g.player.drawX = g.player.drawY = g.player.drawAngle = 0;
  g.player.weapon = 41;
  g.player.bodySlot = kSwordBody;
  g.player.attackFrame = g.player.attackCooldown = g.player.attackLatch = 0;
  g.player.prevSwitchKey = 0;
  g.player.jumpCooldown = g.player.jumpBuffer = g.player.hitStun = 0;
  g.player.alive = -1;
  g.player.deathTimer = 0;
  g.frameResult = 0;
  for (int32_t i = 0; i < kProbeCount; ++i) g.player.probeFreeX[i] = g.player.probeFreeY[i] = kOffScreen;
}

Edge PassedEdge(const GameState& g) {
  const int32_t px = WholePixel(g.player.x), py = WholePixel(g.player.y);
  const int32_t margin = static_cast<int32_t>((25 * int64_t{engine.gfx.sizeScale}) >> 10);
  if (px > engine.gfx.screenWidth) return Edge::Right;
  if (px < margin) return Edge::Left;
  if (py > engine.gfx.screenHeight) return Edge::Bottom;
  if (py < 0) return Edge::Top;
  return Edge::None;
}

void StepPlayer(GameState& g, const Held& held) {
  UpdatePlayer(g, held.left ? -1 : 0, held.right ? -1 : 0, held.jump ? -1 : 0, 0, 0);
}

}  // namespace routecheck
