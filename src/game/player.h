#pragma once
// The player: a body with a weapon in hand on one rotating leg.
#include <cstdint>

struct GameState;
struct PlayerRecord;

struct MarkerPoint {
  int32_t x = 0, y = 0;
};
// The red, green, blue and magenta marker pixels of one frame of a marker
// strip, relative to the frame's top-left corner.
struct WeaponMarkers {
  MarkerPoint red, green, blue, magenta;
};

// One frame of player logic with the five actions.
void UpdatePlayer(GameState& g, int32_t moveLeft, int32_t moveRight, int32_t jump, int32_t nextWeapon,
                  int32_t attack);
// The level-mask test shared by the player and the monsters.
bool IsSolid(GameState& g, int32_t x, int32_t y);
// Builds the weapon pose of the current attack frame and facing unless it is cached.
void PrepareWeaponPicture(GameState& g);
WeaponMarkers FindMarkers(int32_t strip, int32_t frame);
// Body, weapon, leg and health bar.
void DrawPlayer(GameState& g);
void MarkWeaponArea(PlayerRecord& player, int32_t left, int32_t top, int32_t right, int32_t bottom);
void MarkWeaponPixels(PlayerRecord& player);
void DrawPlayerLight(GameState& g);
