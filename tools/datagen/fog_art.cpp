// The fog sequence: 60 pictures of one puff of smoke that gathers, billows
// and thins away, drawn for a 1024 × 768 screen. The game shows them added
// onto the picture (black adds nothing) as puffs, layers and clouds, and
// packs the layer copies to 8-bit brightness, so the smoke stays below a
// brightness whose packed value could overflow. In the vaults (levels 5 to
// 9) a dozen layers crowd one band and are added up without any clamping,
// so the smoke is kept faint: their sum stays below what a channel holds
// over the dark walls, instead of carrying into the next colour.
#include <cmath>

#include "datagen/canvas.h"
#include "datagen/data_set.h"
#include "datagen/noise.h"
#include "maths/repro_math.h"

namespace datagen {
namespace {

constexpr int kFogSide = 256;
constexpr int kWorkSide = 128;  // smoke is soft: drawn at half size, then enlarged

Canvas FogFrame(int frame) {
  const float t = frame / 59.0f;
  // Gathers over the first quarter, fades over the last third.
  const float envelope = Smooth(0.0f, 0.25f, t) * (1 - Smooth(0.62f, 1.0f, t));
  const float radius = 0.55f + 0.35f * t;  // of the half-side
  Canvas work(kWorkSide, kWorkSide);
  for (int y = 0; y < kWorkSide; ++y) {
    for (int x = 0; x < kWorkSide; ++x) {
      const float u = (x + 0.5f) / kWorkSide * 2 - 1, v = (y + 0.5f) / kWorkSide * 2 - 1;
      // The smoke drifts up and curls: warp the noise by a slower noise.
      const double wx = Fbm(u * 1.6 + t * 0.6, v * 1.6 - t * 0.9, 3, 900) - 0.5;
      const double wy = Fbm(u * 1.6 - 7.3, v * 1.6 - t * 0.9 + 2.1, 3, 901) - 0.5;
      const float n = static_cast<float>(Fbm(u * 2.4 + wx * 1.8, v * 2.4 + wy * 1.8 + t * 1.2, 5, 902));
      const float r = rmath::Hypot(u, (v + 0.1f * t) * 1.15f) / radius;
      const float mask = 1 - Smooth(0.35f, 1.0f, r);
      const float density = Clamp01((n - 0.3f) * 3.2f) * mask * envelope;
      work.at(x, y) = Mix(Hex(0x4a5566), Hex(0x9aa6b8), Clamp01(n * 1.3f - 0.2f)) * (density * 0.54f);
    }
  }
  Canvas out(kFogSide, kFogSide);
  for (int y = 0; y < kFogSide; ++y)
    for (int x = 0; x < kFogSide; ++x) {
      const float sx = (x + 0.5f) * kWorkSide / kFogSide - 0.5f,
                  sy = (y + 0.5f) * kWorkSide / kFogSide - 0.5f;
      const int x0 = std::clamp(static_cast<int>(std::floor(sx)), 0, kWorkSide - 1);
      const int y0 = std::clamp(static_cast<int>(std::floor(sy)), 0, kWorkSide - 1);
      const int x1 = std::min(x0 + 1, kWorkSide - 1), y1 = std::min(y0 + 1, kWorkSide - 1);
      const float fx = Clamp01(sx - x0), fy = Clamp01(sy - y0);
      const Rgb top = Mix(work.at(x0, y0), work.at(x1, y0), fx);
      const Rgb bottom = Mix(work.at(x0, y1), work.at(x1, y1), fx);
      Rgb p = Mix(top, bottom, fy);
      // The edges stay black, whatever the noise does.
      const float edge = std::min(std::min(x, kFogSide - 1 - x), std::min(y, kFogSide - 1 - y));
      out.at(x, y) = p * Smooth(0, 12, edge);
    }
  return out;
}

}  // namespace

void WriteFog(DataSetWriter& out) {
  for (int i = 0; i < 60; ++i) {
    char name[40];
    std::snprintf(name, sizeof name, "data/fog/fogp%02d.vx1", i + 20);
    out.WritePicture(name, FogFrame(i));
  }
}

}  // namespace datagen
