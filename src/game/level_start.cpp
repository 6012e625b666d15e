#include "game/level_start.h"

#include <algorithm>
#include <cstdio>

#include "assets/loading.h"
#include "engine/engine_effects.h"
#include "game/fight.h"
#include "game/game_state.h"
#include "game/hint.h"
#include "game/level_build.h"
#include "game/new_game_start.h"
#include "game/placements.h"
#include "game/singletons.h"
#include "menus/saved_game.h"
#include "monsters/debris.h"
#include "monsters/monster_update.h"
#include "platform/game_files.h"
#include "platform/regular_file.h"

namespace {

// Level numbers can leave 0..100 through the editor's level commands, so
// neighbours are found in wrap-around arithmetic.
int32_t Neighbour(int32_t level, int32_t step) {
  return static_cast<int32_t>(static_cast<uint32_t>(level) + static_cast<uint32_t>(step));
}

int32_t MinusFixed(int32_t fixed, int32_t pixels) {
  return static_cast<int32_t>(static_cast<uint32_t>(fixed) - static_cast<uint32_t>(ToFixed(pixels)));
}

bool AllCleared(const GameState& g, int32_t first, int32_t last) {
  for (int32_t n = first; n <= last; ++n)
    if (g.levelCleared[n] == 0) return false;
  return true;
}

bool ObjectFileOpens(int32_t level) {
  const std::string path = "data/" + ObjectFileName(level);
  // Where the game would read it (the player's folder first); never waits
  // on a pipe in its place.
  return platform::IsRegularFile(platform::GameFile(path.c_str()).c_str());
}

// A pickup the player already has is not offered again.
bool AlreadyOwned(const GameState& g, int32_t kind) {
  switch (kind) {
    case 11:
      return g.owned[40] != 0;
    case 13:
      return g.owned[41] != 0;
    case 14:
      return g.owned[42] != 0;
    case 16:
      return g.owned[43] != 0;
    case 21:
      return g.longBlade != 0;
    case 22:
      return g.armour != 0;
    case 23:
      return g.doubleShot != 0;
    case 27:
      return g.regeneration != 0;
    case 31:
      return g.broadBlade != 0;
    default:
      return false;
  }
}

// The gate of the level's row: the bottom exits of rows 0, 1 and 3 stay shut
// until the row (and the rows before it) are won.
int32_t RowGate(const GameState& g) {
  int32_t progress = 0;
  if (AllCleared(g, 0, 4)) progress = 1;
  if (AllCleared(g, 5, 9)) progress = 2;
  if (AllCleared(g, 15, 19)) progress = 3;
  if (g.settings.allOpen != 0) progress = 3;
  const int32_t level = g.level;
  int32_t gate = 0;
  if (level >= 1 && level <= 3 && progress == 0) gate = 1;
  if (level >= 5 && level <= 9 && progress <= 1) gate = 2;
  if (level >= 15 && level <= 19 && progress <= 2) gate = 3;
  if (g.settings.allOpen != 0) gate = 0;
  return gate;
}

// The rooms the player can walk into from `level` (the ways CheckRoomExit
// takes, shut gates included: they open while he is here) have their
// pictures read on the worker thread meanwhile, so that walking in only
// moves them into their slots. Nothing is read ahead while the log is on,
// since each read writes its lines there in order.
void ReadAheadNeighbours(int32_t level) {
  if (engine.log.enabled != 0) return;
  PicturePrefetch& ahead = engine.picturePrefetch;
  if (level % 5 < 4 && level != 10 && level != 24) ahead.Request(Neighbour(level, 1));
  if (level % 5 > 0 && level != 11 && level != 24) ahead.Request(Neighbour(level, -1));
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
  g.bodySlot = 24;
  g.attackFrame = 0;
  g.attackCooldown = 0;
  g.weapon = 41;
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
  g.longBlade = g.armour = g.doubleShot = g.regeneration = g.broadBlade = 0;
  g.jumpBuffer = 0;
  g.dangerTimer = 0;
  g.cachedBody = g.cachedWeapon = -13;
  for (auto& side : g.weaponCacheValid) std::fill(std::begin(side), std::end(side), 0);

  StartLevel(g, newGameStart.level);

  std::fill(std::begin(g.resultSeen), std::end(g.resultSeen), 0);
  std::fill(std::begin(g.owned), std::end(g.owned), 0);
  g.owned[g.weapon] = 1;
  ResetDifficulty(g);
  ResetFight(g);
  g.fightBarY = g.fightBarAux = 0;
  std::fill(std::begin(g.levelCleared), std::end(g.levelCleared), 0);
  for (int32_t n = 0; n <= kHighestLevel; ++n)
    if (!ObjectFileOpens(n)) g.levelCleared[n] = -1;
  ClearHint(g);
}

void RemoveSettledObjects(GameState& g) {
  // A won level has no monsters left to fight.
  if (g.settings.allOpen == 0 && g.levelCleared[std::clamp(g.level, 0, kHighestLevel)] != 0) {
    for (MonsterRecord& o : g.objects)
      if (o.active != 0 && MonsterClass(g, o.kind) != 0) o.active = 0;
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

void CheckRoomExit(GameState& g) {
  if (g.playerAlive == 0) return;
  const int32_t w = engine.gfx.screenWidth;
  const int32_t h = engine.gfx.screenHeight;
  const int32_t px = WholePixel(g.playerX);
  const int32_t py = WholePixel(g.playerY);
  const int32_t m = static_cast<int32_t>((int64_t{25} * engine.gfx.sizeScale) >> 10);
  const int32_t gate = RowGate(g);
  const int32_t level = g.level;

  if (px > w) {
    if (level % 5 < 4 && level != 10 && level != 24) {
      StartLevel(g, Neighbour(level, 1));
      g.playerX = ToFixed(3 * m);
      g.playerY = MinusFixed(g.playerY, 17);
      SaveGame(g);
      return;
    }
    g.playerX = ToFixed(w - m - 1);
  }
  if (px < m) {
    if (level % 5 > 0 && level != 11 && level != 24) {
      StartLevel(g, Neighbour(level, -1));
      g.playerX = ToFixed(w - 2 * m);
      g.playerY = MinusFixed(g.playerY, 17);
      SaveGame(g);
      return;
    }
    g.playerX = ToFixed(2 * m + 1);
  }
  if (py > h && level < 20 && level != 0 && level != 4 && !(level >= 6 && level <= 9)) {
    if (gate == 0) {
      StartLevel(g, Neighbour(level, 5));
      g.playerY = ToFixed(20);
      SaveGame(g);
      return;
    }
    // A shut gate: the player falls out of the world.
    g.playerAlive = 0;
    g.playerX = g.playerY = kOffScreenFixed;
    if (g.frameResult == 0) g.frameResult = gate == 1 ? 119 : gate == 2 ? 120 : 134;
  }
  if (py < 0 && level >= 5 && !(level >= 16 && level <= 19)) {
    StartLevel(g, Neighbour(level, -5));
    g.playerY = ToFixed(h - 96);
    SaveGame(g);
    return;
  }
  if ((level == 0 || level == 4 || (level >= 20 && level <= 24)) && py > h + 50) {
    g.playerAlive = 0;
    g.playerX = g.playerY = kOffScreenFixed;
  }
}

std::string ObjectFileName(int32_t n) {
  std::string name = "lvobj00.txt";
  name[5] = static_cast<char>('0' + std::clamp(n / 10, 0, 9));
  name[6] = static_cast<char>('0' + std::clamp(n % 10, 0, 9));
  return name;
}
