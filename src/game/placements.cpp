#include "game/placements.h"

void ClearPlacements(GameState&) {}
void AddPlacement(GameState&, int32_t, int32_t, int32_t) {}
void LoadPlacements(GameState&) {}
void SavePlacements(GameState&) {}
