#include "game/lamps_clouds.h"

void ClearLamps(GameState&) {}
void AddLamp(GameState&, int32_t, int32_t, int32_t) {}
void DrawLamps(GameState&) {}
void ClearClouds(GameState&) {}
void AddCloud(GameState&, int32_t, int32_t) {}
void DrawClouds(GameState&) {}
