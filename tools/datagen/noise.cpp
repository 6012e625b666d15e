#include "datagen/noise.h"

#include <cmath>

#include "datagen/random.h"
#include "maths/repro_math.h"

namespace datagen {
namespace {

double Lattice(int32_t x, int32_t y, uint32_t seed) { return (Hash3(x, y, seed) >> 8) * (1.0 / 16777216.0); }

double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

}  // namespace

double ValueNoise(double x, double y, uint32_t seed) {
  const double fx = std::floor(x), fy = std::floor(y);
  const int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
  const double u = Fade(x - fx), v = Fade(y - fy);
  const double a = Lattice(ix, iy, seed), b = Lattice(ix + 1, iy, seed);
  const double c = Lattice(ix, iy + 1, seed), d = Lattice(ix + 1, iy + 1, seed);
  return (a + (b - a) * u) * (1 - v) + (c + (d - c) * u) * v;
}

double Fbm(double x, double y, int octaves, uint32_t seed, double gain) {
  double sum = 0, amp = 1, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * ValueNoise(x, y, seed + static_cast<uint32_t>(i) * 7919u);
    norm += amp;
    amp *= gain;
    // A small rotation per octave hides the lattice.
    const double nx = x * 1.6 + y * 1.2, ny = -x * 1.2 + y * 1.6;
    x = nx + 3.1;
    y = ny + 1.7;
  }
  return sum / norm;
}

double Ridged(double x, double y, int octaves, uint32_t seed) {
  double sum = 0, amp = 1, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    const double n = ValueNoise(x, y, seed + static_cast<uint32_t>(i) * 104729u);
    sum += amp * (1 - std::fabs(2 * n - 1));
    norm += amp;
    amp *= 0.5;
    x = x * 2.03 + 5.3;
    y = y * 2.03 + 2.9;
  }
  return sum / norm;
}

double CellDistance(double x, double y, uint32_t seed) {
  const int32_t cx = static_cast<int32_t>(std::floor(x)), cy = static_cast<int32_t>(std::floor(y));
  double best = 9;
  for (int32_t j = -1; j <= 1; ++j) {
    for (int32_t i = -1; i <= 1; ++i) {
      const uint32_t h = Hash3(cx + i, cy + j, seed);
      const double px = cx + i + (h & 0xffff) / 65536.0;
      const double py = cy + j + (h >> 16) / 65536.0;
      const double d = rmath::Hypot(px - x, py - y);
      if (d < best) best = d;
    }
  }
  return best;
}

}  // namespace datagen
