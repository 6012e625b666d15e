#pragma once
// The level's flickering lamps and drifting clouds.
#include <cstdint>

struct ObjectTables;

void ClearLamps(ObjectTables& tables);
void AddLamp(ObjectTables& tables, int32_t x, int32_t y, int32_t strength);
void DrawLamps(ObjectTables& tables);
void ClearClouds(ObjectTables& tables);
void AddCloud(ObjectTables& tables, int32_t x, int32_t y);
void DrawClouds(ObjectTables& tables);
