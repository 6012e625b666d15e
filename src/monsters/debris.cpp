#include "monsters/debris.h"

void SpawnDebris(GameState&, int32_t, int32_t, int32_t, int32_t) {}
void SpawnPlayerDebris(GameState&, int32_t, int32_t) {}
void ClearDebris(GameState&) {}
void UpdateDebris(GameState&) {}
