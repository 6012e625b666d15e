#include "monsters/spawn.h"

void SpawnMonster(GameState&, int32_t, int32_t, int32_t) {}
void ClearObjects(GameState&) {}
