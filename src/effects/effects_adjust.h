#pragma once
// Picture adjustments that the loaders apply to slots: a tone curve and a
// saturation change. Alpha bytes are left alone; a slot that is not loaded
// is left alone.
#include <cstdint>

struct EffectsSystem;
struct GfxContext;

// table[v] = clamp(((v - pivot) · gain >> 8) + pivot + offset, 0, 255) with
// pivot clamped to 0 .. 255; every colour byte goes through the table.
void ToneCurve(EffectsSystem& fx, GfxContext& gfx, int32_t slot, int32_t pivot, int32_t offset, int32_t gain);
// s clamped to 0 .. 8192 (256 keeps colours, 0 makes them grey): with
// Σ = b + g + r and k = ((s · Σ >> 8) - Σ) / 3, each colour byte c becomes
// clamp((s · c >> 8) - k, 0, 255).
void Saturation(EffectsSystem& fx, GfxContext& gfx, int32_t slot, int32_t s);
