#include "game/player.h"

// The player arrives with its own change.
void UpdatePlayer(GameState&, int32_t, int32_t, int32_t, int32_t, int32_t) {}
bool IsSolid(GameState&, int32_t, int32_t) { return false; }
void PrepareWeaponPicture(GameState&) {}
WeaponMarkers FindMarkers(int32_t, int32_t) { return {}; }
void DrawPlayer(GameState&) {}
void MarkWeaponArea(GameState&, int32_t, int32_t, int32_t, int32_t) {}
void MarkWeaponPixels(GameState&) {}
void DrawPlayerLight(GameState&) {}
