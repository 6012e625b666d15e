#include "routecheck/route_world.h"

#include <algorithm>
#include <cstring>

#include "assets/loading.h"
#include "engine/engine_effects.h"
#include "game/player.h"
#include "gfx/image_slots.h"
#include "shell/globals.h"

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
  b.playerX = g.playerX;
  b.playerY = g.playerY;
  b.playerAngle = g.playerAngle;
  b.facing = g.facing;
  b.velX = g.velX;
  b.velY = g.velY;
  b.drawX = g.drawX;
  b.drawY = g.drawY;
  b.drawAngle = g.drawAngle;
  b.subStepCount = g.subStepCount;
  b.lastDrawX = g.lastDrawX;
  b.lastDrawY = g.lastDrawY;
  b.jumpCooldown = g.jumpCooldown;
  b.jumpBuffer = g.jumpBuffer;
  b.hitStun = g.hitStun;
  b.deathTimer = g.deathTimer;
  b.frameResult = g.frameResult;
  b.endingTimer = g.endingTimer;
  std::memcpy(b.probeFreeX, g.probeFreeX, sizeof b.probeFreeX);
  std::memcpy(b.probeFreeY, g.probeFreeY, sizeof b.probeFreeY);
  b.random = r.s;
  return b;
}

void RestoreBody(GameState& g, RandomSource& r, const BodyState& b) {
  g.playerX = b.playerX;
  g.playerY = b.playerY;
  g.playerAngle = b.playerAngle;
  g.facing = b.facing;
  g.velX = b.velX;
  g.velY = b.velY;
  g.drawX = b.drawX;
  g.drawY = b.drawY;
  g.drawAngle = b.drawAngle;
  g.subStepCount = b.subStepCount;
  g.lastDrawX = b.lastDrawX;
  g.lastDrawY = b.lastDrawY;
  g.jumpCooldown = b.jumpCooldown;
  g.jumpBuffer = b.jumpBuffer;
  g.hitStun = b.hitStun;
  g.deathTimer = b.deathTimer;
  g.frameResult = b.frameResult;
  g.endingTimer = b.endingTimer;
  std::memcpy(g.probeFreeX, b.probeFreeX, sizeof b.probeFreeX);
  std::memcpy(g.probeFreeY, b.probeFreeY, sizeof b.probeFreeY);
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
  g.maskSlot = files.maskSlot;
  g.foregroundSlot = files.foregroundSlot;
  GfxContext& gfx = engine.gfx;
  LoadPicture(gfx, kSwordBody, "data/mz2.vx1");
  // Only the body's height matters to the leg; without the player art an
  // empty strip of the drawn size stands in.
  if (!HasPixels(gfx, kSwordBody)) CreatePicture(gfx, kSwordBody, 11 * kFrameSide, kFrameSide);
  return HasPixels(gfx, g.maskSlot);
}

void PlacePlayer(GameState& g, int32_t x, int32_t y, int32_t angle) {
  g.playerX = ToFixed(x);
  g.playerY = ToFixed(y);
  g.playerAngle = angle;
  g.facing = 1;
  g.velX = g.velY = 0;
  g.lastDrawX = g.lastDrawY = kOffScreenFixed;
  g.drawX = g.drawY = g.drawAngle = 0;
  g.weapon = 41;
  g.bodySlot = kSwordBody;
  g.attackFrame = g.attackCooldown = g.attackLatch = 0;
  g.prevSwitchKey = 0;
  g.jumpCooldown = g.jumpBuffer = g.hitStun = 0;
  g.playerAlive = -1;
  g.deathTimer = 0;
  g.frameResult = 0;
  for (int32_t i = 0; i < kProbeCount; ++i) g.probeFreeX[i] = g.probeFreeY[i] = kOffScreen;
}

Edge PassedEdge(const GameState& g) {
  const int32_t px = WholePixel(g.playerX), py = WholePixel(g.playerY);
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
