#include "gfx/effects.h"

void InitEffects(EffectsSystem& fx, GfxContext&) { fx.started = -1; }
void Saturation(EffectsSystem&, GfxContext&, int32_t, int32_t) {}
void ToneCurve(EffectsSystem&, GfxContext&, int32_t, int32_t, int32_t, int32_t) {}
