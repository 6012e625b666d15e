// The versions of the effects' hot loops that the effects call.
#include "gfx/effects_kernels.h"

namespace fx_kernels {

void AddPacked(uint32_t* line, int32_t count, uint32_t packed) { AddPackedPlain(line, count, packed); }

void AddClamped(uint32_t* line, int32_t count, int32_t blue, int32_t green, int32_t red) {
  AddClampedPlain(line, count, blue, green, red);
}

const EllipseKernel& EllipseKernelFor(EffectsSystem& fx, int32_t radius) {
  if (fx.ellipse.radius != radius) BuildEllipseKernel(fx.ellipse, radius);
  return fx.ellipse;
}

void ApplyEllipse(const EllipseKernel& kernel, uint32_t* pixels, int32_t width, int32_t height, int32_t x,
                  int32_t y, int32_t red, int32_t green, int32_t blue, int32_t mode) {
  ApplyEllipsePlain(kernel, pixels, width, height, x, y, red, green, blue, mode);
}

void FlashRingRow(const RingRow& ring, uint32_t* pixels, int32_t width, int32_t height, int32_t row,
                  int32_t left, int32_t right) {
  FlashRingRowPlain(ring, pixels, width, height, row, left, right);
}

void SumLayerRow32(uint16_t* sums, const uint32_t* layer, int32_t count) {
  SumLayerRow32Plain(sums, layer, count);
}
void SumLayerRow8(uint16_t* sums, const uint8_t* layer, int32_t count) {
  SumLayerRow8Plain(sums, layer, count);
}
void ApplyLayerSums32(uint32_t* line, const uint16_t* sums, int32_t count) {
  ApplyLayerSums32Plain(line, sums, count);
}
void ApplyLayerSums8(uint32_t* line, const uint16_t* sums, int32_t count) {
  ApplyLayerSums8Plain(line, sums, count);
}

}  // namespace fx_kernels
