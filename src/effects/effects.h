#pragma once
// The effects system as its users see it: the data (effects_system.h), the
// operations of every room of it (lights, flash rings, fog, twinkles,
// shimmer, drift, picture adjustments) and the start-up. The effects files
// themselves include effects_system.h and the one operation header they
// define, never this one.
#include "effects/effects_system.h"

// The effects operations themselves, by room.
#include "effects/effects_adjust.h"
#include "effects/effects_drift.h"
#include "effects/effects_flashes.h"
#include "effects/effects_fog.h"
#include "effects/effects_lights.h"
#include "effects/effects_shimmer.h"
#include "effects/effects_twinkles.h"

struct GfxContext;

// Start-up: the tables, the light maps in slots 1001 .. 1031 (1841 draws of
// fx.random), the scratch buffers, an empty flash pool, the fog settings reset
// and a black back buffer. Needs the graphics context initialised first.
void InitEffects(EffectsSystem& fx, GfxContext& gfx);
