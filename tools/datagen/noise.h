#pragma once
// Smooth noise for procedural art: value noise, fractal sums of it, and
// cell (Worley) distances. All deterministic functions of their arguments.
#include <cstdint>

namespace datagen {

// Value noise in [0, 1], smooth, period 1 lattice.
double ValueNoise(double x, double y, uint32_t seed);
// Fractal sum of `octaves` value-noise layers, normalised to [0, 1].
double Fbm(double x, double y, int octaves, uint32_t seed, double gain = 0.5);
// 1 - |2n - 1| summed over octaves: sharp crests, for cracks and veins.
double Ridged(double x, double y, int octaves, uint32_t seed);
// Distance to the nearest of one random point per unit cell, in cells.
double CellDistance(double x, double y, uint32_t seed);

}  // namespace datagen
