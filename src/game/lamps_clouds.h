#pragma once
// The level's flickering lamps and drifting clouds.
#include <cstdint>

struct GameState;

void ClearLamps(GameState& g);
void AddLamp(GameState& g, int32_t x, int32_t y, int32_t strength);
void DrawLamps(GameState& g);
void ClearClouds(GameState& g);
void AddCloud(GameState& g, int32_t x, int32_t y);
void DrawClouds(GameState& g);
