#include "monsters/monster_update.h"

void UpdateMonsters(GameState&) {}
int32_t MonsterTop(GameState&, int32_t) { return 0; }
int32_t GroundSink(GameState&, int32_t, int32_t, int32_t, int32_t) { return 0; }
bool SwordTouches(GameState&, int32_t, int32_t, int32_t, int32_t) { return false; }
int32_t MonsterClass(GameState&, int32_t kind) {
  switch (kind) {
    case 0:
    case 1:
    case 2:
    case 5:
    case 7:
    case 20:
      return 1;
    case 17:
    case 19:
    case 24:
    case 32:
      return 2;
    case 28:
      return 3;
    default:
      return 0;
  }
}
void EmitParticle(GameState&, int32_t, int32_t, int32_t) {}
void DangerWarning(GameState&) {}
