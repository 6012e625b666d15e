#include "effects/effects_adjust.h"

#include <algorithm>

#include "effects/effects_internal.h"
#include "effects/effects_system.h"
#include "gfx/image_slots.h"

using fx_detail::ClampByte;

void ToneCurve(EffectsSystem& fx, GfxContext& gfx, int32_t slot, int32_t pivot, int32_t offset,
               int32_t gain) {
  pivot = std::clamp(pivot, 0, 255);
  for (int32_t v = 0; v <= 256; ++v) {
    const int64_t curved = ((int64_t{v - pivot} * gain) >> 8) + pivot + offset;
    fx.toneTable[v] = static_cast<uint8_t>(std::clamp<int64_t>(curved, 0, 255));
  }
  ImageSlot* s = UsableSlot(gfx, slot);
  if (s == nullptr) return;
  const int64_t count = int64_t{s->width} * s->height;
  for (int64_t i = 0; i < count; ++i) {
    const uint32_t p = s->pixels[i];
    const uint32_t b = fx.toneTable[p & 0xffu];
    const uint32_t g = fx.toneTable[(p >> 8) & 0xffu];
    const uint32_t r = fx.toneTable[(p >> 16) & 0xffu];
    s->pixels[i] = (p & 0xff000000u) | r << 16 | g << 8 | b;
  }
}

void Saturation(EffectsSystem&, GfxContext& gfx, int32_t slot, int32_t s) {
  s = std::clamp(s, 0, 8192);
  ImageSlot* picture = UsableSlot(gfx, slot);
  if (picture == nullptr) return;
  const int64_t count = int64_t{picture->width} * picture->height;
  for (int64_t i = 0; i < count; ++i) {
    const uint32_t p = picture->pixels[i];
    const int32_t sum = fx_detail::BrightnessOf(p);
    const int32_t k = ((s * sum >> 8) - sum) / 3;
    const auto adjust = [s, k](int32_t c) { return static_cast<uint32_t>(ClampByte((s * c >> 8) - k)); };
    const uint32_t b = adjust(fx_detail::BlueOf(p));
    const uint32_t g = adjust(fx_detail::GreenOf(p));
    const uint32_t r = adjust(fx_detail::RedOf(p));
    picture->pixels[i] = (p & 0xff000000u) | r << 16 | g << 8 | b;
  }
}
