#pragma once
// Flash rings: short bright rings that bend the picture behind them. A ring
// of intensity i has radius i >> 8 and shrinks by its decay every frame.
#include <cstdint>

struct EffectsSystem;
struct GfxContext;

// Frees every record (intensity 0).
void ClearFlashes(EffectsSystem& fx);
// Takes the first free record (intensity below 1) for an intensity of at
// least 1, stored as at most 20400 (radius 79) with a decay of at least 1.
// With all 500 records in use the flash is dropped.
void AddFlash(EffectsSystem& fx, int32_t x, int32_t y, int32_t intensity, int32_t decay);
// Draws every record of radius 1 .. 80 and lowers each positive intensity
// by its decay. Rings above radius 16 draw 91 random numbers each.
void UpdateFlashes(EffectsSystem& fx, GfxContext& gfx);
// One ring at (x, y) (the drawing step of UpdateFlashes).
void DrawFlashRing(EffectsSystem& fx, GfxContext& gfx, int32_t x, int32_t y, int32_t radius);
// Start-up: the rings' light for every radius.
void FillRingGlow(EffectsSystem& fx);
