#include "game/level_start.h"

#include <algorithm>
#include <cstdio>

#include "assets/loading.h"
#include "engine/engine_effects.h"
#include "game/fight.h"
#include "game/game_state.h"
#include "game/hint.h"
#include "game/level_build.h"
#include "game/levels.h"
#include "game/new_game_start.h"
#include "game/object_kinds.h"
#include "game/objects.h"
#include "game/placements.h"
#include "game/singletons.h"
#include "game/weapons.h"
#include "platform/game_files.h"
#include "platform/regular_file.h"

namespace {

// Level numbers can leave 0..100 through the editor's level commands, so
// neighbours are found in wrap-around arithmetic.
int32_t Neighbour(int32_t level, int32_t step) { return fixed::Add(level, step); }

bool ObjectFileOpens(int32_t level) {
  const std::string path = "data/" + ObjectFileName(level);
  // Where the game would read it (the player's folder first); never waits
  // on a pipe in its place.
  return platform::IsRegularFile(platform::GameFile(path.c_str()).c_str());
}

// A pickup the player already has is not offered again.
bool AlreadyOwned(const GameState& g, int32_t kind) {
  switch (kind) {
    case kSwordPickup:
      return g.progress.owned[kSword] != 0;
    case kSecondSwordPickup:
      return g.progress.owned[kSecondSword] != 0;
    case kGunPickup:
      return g.progress.owned[kGun] != 0;
    case kSecondGunPickup:
      return g.progress.owned[kSecondGun] != 0;
    case kLongBladePickup:
      return g.progress.longBlade != 0;
    case kArmourPickup:
      return g.progress.armour != 0;
    case kDoubleShotPickup:
      return g.progress.doubleShot != 0;
    case kRegenerationPickup:
      return g.progress.regeneration != 0;
    case kBroadBladePickup:
      return g.progress.broadBlade != 0;
    default:
      return false;
  }
}

// The rooms the player can walk into from `level` (the ways CheckRoomExit
// (game/room_exits.cpp) takes, shut gates included: they open while he is here) have their
// pictures read on the worker thread meanwhile, so that walking in only
// moves them into their slots. Nothing is read ahead while the log is on,
// since each read writes its lines there in order.
void ReadAheadNeighbours(int32_t level) {
  if (engine.log.enabled != 0) return;
  PicturePrefetch& ahead = engine.picturePrefetch;
  if (level % 5 < 4 && level != 10 && level != kEndingLevel) ahead.Request(Neighbour(level, 1));
  if (level % 5 > 0 && level != 11 && level != kEndingLevel) ahead.Request(Neighbour(level, -1));
  if (level < 20 && level != 0 && level != 4 && !(level >= 6 && level <= 9))
    ahead.Request(Neighbour(level, 5));
  if (level >= 5 && !(level >= 16 && level <= 19)) ahead.Request(Neighbour(level, -5));
}

}  // namespace

void ResetGame(GameState& g) {
  const int32_t w = engine.gfx.screenWidth;
  const int32_t hScaled = engine.gfx.heightScale;
  g.playerX = ToFixed(185 * w / 512);
  g.playerY = ToFixed(275 * hScaled / 512);
  g.playerAngle = 11520;
  for (int32_t i = 0; i <= kHighestLevel; ++i) g.probeFreeX[i] = g.probeFreeY[i] = kOffScreen;
  g.facing = 1;
  g.velX = g.velY = 0;
  g.lastDrawX = g.lastDrawY = kOffScreenFixed;
  g.drawX = g.drawY = g.drawAngle = 0;
  g.bodySlot = kGunBodySlot;
  g.attackFrame = 0;
  g.attackCooldown = 0;
  g.weapon = kSecondSword;
  g.prevSwitchKey = 0;
  g.prevAttackFrame = kOffScreen;
  g.jumpCooldown = 0;
  g.playerAlive = -1;
  g.deathTimer = 0;
  g.attackLatch = 0;
  g.playerLightOn = -1;
  g.hitStun = 0;
  g.health = kFullHealth;
  g.healthBarTimer = 0;
  g.progress.longBlade = g.progress.armour = g.progress.doubleShot = g.progress.regeneration =
      g.progress.broadBlade = 0;
  g.jumpBuffer = 0;
  g.dangerTimer = 0;
  g.cachedBody = g.cachedWeapon = -13;
  for (auto& side : g.weaponCacheValid) std::fill(std::begin(side), std::end(side), 0);

  StartLevel(g, newGameStart.level);

  std::fill(std::begin(g.progress.resultSeen), std::end(g.progress.resultSeen), 0);
  std::fill(std::begin(g.progress.owned), std::end(g.progress.owned), 0);
  g.progress.owned[g.weapon] = 1;
  ResetDifficulty(g);
  ResetFight(g);
  g.fight.barY = g.fight.barSlide = 0;
  std::fill(std::begin(g.progress.levelCleared), std::end(g.progress.levelCleared), 0);
  for (int32_t n = 0; n <= kHighestLevel; ++n)
    if (!ObjectFileOpens(n)) g.progress.levelCleared[n] = -1;
  ClearHint(g);
}

void RemoveSettledObjects(GameState& g) {
  // A won level has no monsters left to fight.
  if (g.settings.allOpen == 0 && g.progress.levelCleared[std::clamp(g.level, 0, kHighestLevel)] != 0) {
    for (MonsterRecord& o : g.objects)
      if (o.active != 0 && MonsterClass(o.kind) != 0) o.active = 0;
  }
  for (MonsterRecord& o : g.objects)
    if (o.active != 0 && AlreadyOwned(g, o.kind)) o.active = 0;
}

namespace {
int64_t gLevelStarts = 0;
}  // namespace

int64_t LevelStartCount() { return gLevelStarts; }

void StartLevel(GameState& g, int32_t n) {
  ++gLevelStarts;
  g.level = n;
  LoadLevelPictures(g.levelPictures, g.level, engine.gfx, engine.effects, &engine.picturePrefetch);
  g.level = std::clamp(g.level, 0, kHighestLevel);

  for (MonsterRecord& o : g.objects) o = MonsterRecord{};
  ClearDebris(g);
  ClearFlashes(engine);
  LoadPlacements(g);
  for (int32_t i = 0; i <= 103; ++i) g.probeFreeX[i] = g.probeFreeY[i] = kOffScreen;

  RemoveSettledObjects(g);
  BuildLevel(g, n);
  ResetFight(g);
  g.bossSightings = 0;
  g.endingTimer = 0;
  ReadAheadNeighbours(g.level);
}
