#include "engine/engine_effects.h"
#include "game/game_state.h"
#include "game/levels.h"
#include "game/object_kinds.h"
#include "game/objects.h"
#include "game/singletons.h"
#include "monsters/kinds.h"
#include "monsters/monster_common.h"

namespace {

using namespace monsters;

enum class Pass { kMove, kTouch, kDraw };

void Step(GameState& g, int32_t i, Pass pass) {
  switch (g.tables.objects[i].kind) {
    case kWalker:
    case kShootingWalker:
    case kQuickWalker:
    case kSpittingWalker:
    case kLobbingWalker:
      if (pass == Pass::kMove) MoveWalker(g, i);
      if (pass == Pass::kTouch) TouchWalker(g, i);
      if (pass == Pass::kDraw) DrawWalker(g, i);
      break;
    case kAimedShot:
    case kSpinningShot:
    case kSpit:
    case kLobbedShot:
    case kArcingShot:
    case kHovererShot:
      if (pass == Pass::kMove) MoveShot(g, i);
      if (pass == Pass::kTouch) TouchShot(g, i);
      if (pass == Pass::kDraw) DrawShot(g, i);
      break;
    case kGunShot:
      if (pass == Pass::kMove) MoveGunShot(g, i);
      if (pass == Pass::kTouch) TouchGunShot(g, i);
      if (pass == Pass::kDraw) DrawShot(g, i);
      break;
    case kBouncingShot:
      if (pass == Pass::kMove) MoveBouncingShot(g, i);
      if (pass == Pass::kTouch) TouchBouncingShot(g, i);
      if (pass == Pass::kDraw) DrawShot(g, i);
      break;
    case kSwordPickup:
    case kSecondSwordPickup:
    case kGunPickup:
    case kSecondGunPickup:
    case kLongBladePickup:
    case kArmourPickup:
    case kDoubleShotPickup:
    case kRegenerationPickup:
    case kBroadBladePickup:
      if (pass == Pass::kMove) MovePickup(g, i);
      if (pass == Pass::kDraw) DrawPickup(g, i);
      break;
    case kBigJumper:
    case kSecondBigJumper:
      if (pass == Pass::kMove) MoveJumper(g, i);
      if (pass == Pass::kTouch) TouchJumper(g, i);
      if (pass == Pass::kDraw) DrawJumper(g, i);
      break;
    case kBreedingFlyer:
    case kSmallFlyer:
      if (pass == Pass::kMove) MoveFlyer(g, i);
      if (pass == Pass::kTouch) TouchFlyer(g, i);
      if (pass == Pass::kDraw) DrawFlyer(g, i);
      break;
    case kHoverer:
      if (pass == Pass::kMove) MoveHoverer(g, i);
      if (pass == Pass::kTouch) TouchHoverer(g, i);
      if (pass == Pass::kDraw) DrawHoverer(g, i);
      break;
    case kGroundBoss:
      if (pass == Pass::kMove) MoveGroundBoss(g, i);
      if (pass == Pass::kTouch) TouchGroundBoss(g, i);
      if (pass == Pass::kDraw) DrawGroundBoss(g, i);
      break;
    case kRock:
      if (pass == Pass::kMove) MoveRock(g, i);
      if (pass == Pass::kTouch) TouchRock(g, i);
      if (pass == Pass::kDraw) DrawRock(g, i);
      break;
    default:
      break;
  }
}

}  // namespace

void UpdateMonsters(GameState& g) {
  // Each pass reads `active` as it reaches an index: a record freed earlier
  // is skipped, one spawned further on is handled in the same pass.
  HoldMonsterTops(true);
  for (Pass pass : {Pass::kMove, Pass::kTouch, Pass::kDraw}) {
    for (int32_t i = 0; i < kObjectCount; ++i) {
      if (g.tables.objects[i].active != 0) Step(g, i, pass);
    }
  }
  HoldMonsterTops(false);
}

void DrawMonsters(GameState& g) {
  HoldMonsterTops(true);
  for (int32_t i = 0; i < kObjectCount; ++i) {
    if (g.tables.objects[i].active != 0) Step(g, i, Pass::kDraw);
  }
  HoldMonsterTops(false);
}

int32_t MonsterClass(int32_t kind) {
  switch (kind) {
    case kWalker:
    case kShootingWalker:
    case kQuickWalker:
    case kSpittingWalker:
    case kLobbingWalker:
    case kSmallFlyer:
      return kSmallMonster;
    case kBigJumper:
    case kBreedingFlyer:
    case kHoverer:
    case kSecondBigJumper:
      return kBigMonster;
    case kGroundBoss:
      return kBossMonster;
    default:
      return kNotAMonster;
  }
}

void EmitParticle(GameState& g, int32_t x, int32_t y, int32_t size) {
  // The deeper levels are crowded: there about two puffs in three are dropped.
  if (IsDeepLevel(g.level) && Random(engine.random, 0, 100) < 66) return;
  SpawnFog(engine, x, y, 0, size);
}
