#include "game/level_start.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

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

namespace {

// Whether each level's object file opens where the game would read it (the
// player's folder first); never waits on a pipe in its place.
std::vector<bool> ObjectFilesOpen() {
  std::vector<std::string> names;
  for (int32_t n = 0; n <= kHighestLevel; ++n) names.push_back(ObjectFileName(n));
  return platform::RegularGameFiles("data", names);
}

// A pickup the player already has is not offered again.
bool AlreadyOwned(const ProgressRecord& progress, int32_t kind) {
  switch (kind) {
    case kSwordPickup:
      return progress.owned[kSword] != 0;
    case kSecondSwordPickup:
      return progress.owned[kSecondSword] != 0;
    case kGunPickup:
      return progress.owned[kGun] != 0;
    case kSecondGunPickup:
      return progress.owned[kSecondGun] != 0;
    case kLongBladePickup:
      return progress.longBlade != 0;
    case kArmourPickup:
      return progress.armour != 0;
    case kDoubleShotPickup:
      return progress.doubleShot != 0;
    case kRegenerationPickup:
      return progress.regeneration != 0;
    case kBroadBladePickup:
      return progress.broadBlade != 0;
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
  if (HasWayRight(level)) ahead.Request(Neighbour(level, 1));
  if (HasWayLeft(level)) ahead.Request(Neighbour(level, -1));
  if (HasWayDown(level)) ahead.Request(Neighbour(level, kLevelsPerRow));
  if (HasWayUp(level)) ahead.Request(Neighbour(level, -kLevelsPerRow));
}

}  // namespace

void ResetGame(GameState& g) {
  const int32_t w = engine.gfx.screenWidth;
  const int32_t hScaled = engine.gfx.heightScale;
  g.player.x = ToFixed(185 * w / 512);
  g.player.y = ToFixed(275 * hScaled / 512);
  g.player.angle = 11520;
  for (int32_t i = 0; i <= kHighestLevel; ++i) g.player.probeFreeX[i] = g.player.probeFreeY[i] = kOffScreen;
  g.player.facing = 1;
  g.player.velX = g.player.velY = 0;
  g.player.lastDrawX = g.player.lastDrawY = kOffScreenFixed;
  g.player.drawX = g.player.drawY = g.player.drawAngle = 0;
  g.player.bodySlot = kGunBodySlot;
  g.player.attackFrame = 0;
  g.player.attackCooldown = 0;
  g.player.weapon = kSecondSword;
  g.player.prevSwitchKey = 0;
  g.player.prevAttackFrame = kOffScreen;
  g.player.jumpCooldown = 0;
  g.player.alive = -1;
  g.player.deathTimer = 0;
  g.player.attackLatch = 0;
  g.player.lightOn = -1;
  g.player.hitStun = 0;
  g.player.health = kFullHealth;
  g.player.healthBarTimer = 0;
  g.progress.longBlade = g.progress.armour = g.progress.doubleShot = g.progress.regeneration =
      g.progress.broadBlade = 0;
  g.player.jumpBuffer = 0;
  g.levelState.dangerTimer = 0;
  g.player.cachedBody = g.player.cachedWeapon = -13;
  for (auto& side : g.player.weaponCacheValid) std::fill(std::begin(side), std::end(side), 0);

  StartLevel(g, newGameStart.level);

  std::fill(std::begin(g.progress.resultSeen), std::end(g.progress.resultSeen), 0);
  std::fill(std::begin(g.progress.owned), std::end(g.progress.owned), 0);
  g.progress.owned[g.player.weapon] = 1;
  ResetDifficulty(g.progress);
  ResetFight(g.fight);
  g.fight.barY = g.fight.barSlide = 0;
  std::fill(std::begin(g.progress.levelCleared), std::end(g.progress.levelCleared), 0);
  const std::vector<bool> withObjects = ObjectFilesOpen();
  for (int32_t n = 0; n <= kHighestLevel; ++n)
    if (!withObjects[static_cast<size_t>(n)]) g.progress.levelCleared[n] = -1;
  ClearHint(g.levelState);
}

void RemoveSettledObjects(GameState& g) {
  // A won level has no monsters left to fight.
  if (g.settings.allOpen == 0 && g.progress.levelCleared[std::clamp(g.level, 0, kHighestLevel)] != 0) {
    for (MonsterRecord& o : g.tables.objects)
      if (o.active != 0 && MonsterClass(o.kind) != kNotAMonster) o.active = 0;
  }
  for (MonsterRecord& o : g.tables.objects)
    if (o.active != 0 && AlreadyOwned(g.progress, o.kind)) o.active = 0;
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

  for (MonsterRecord& o : g.tables.objects) o = MonsterRecord{};
  ClearDebris(g.tables);
  ClearFlashes(engine);
  LoadPlacements(g);
  for (int32_t i = 0; i <= 103; ++i) g.player.probeFreeX[i] = g.player.probeFreeY[i] = kOffScreen;

  RemoveSettledObjects(g);
  BuildLevel(g, n);
  ResetFight(g.fight);
  g.tables.bossSightings = 0;
  g.player.endingTimer = 0;
  ReadAheadNeighbours(g.level);
}
