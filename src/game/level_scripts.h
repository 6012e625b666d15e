#pragma once
// The decoration script of each level that has pictures: its twinkle and
// shimmer areas, fog layers, clouds, drift and lamps. Positions are in
// 1/1024 of the screen width and of the scaled height.
#include <cstdint>
#include <span>

struct TwinkleArea {
  int16_t x1, y1, x2, y2;
  int16_t min, max, bright, chance, scale;
};

struct ShimmerSpot {
  int16_t x1, y1, x2, y2;
  int16_t amplitude;
};

// `count` layers, each at a random point of the rectangle.
struct FogGroup {
  int16_t count;
  int16_t xLow, xHigh, yLow, yHigh;
};

struct LampSpot {
  int16_t x, y;
};

struct LevelScript {
  std::span<const TwinkleArea> twinkles;
  std::span<const ShimmerSpot> shimmer;
  std::span<const FogGroup> fog;
  int32_t clouds;
  int32_t driftReach, driftLow;  // the first two values each drift spawn gets
  std::span<const LampSpot> lamps;
};

// The level's script, or nullptr for a level without pictures (11..14,
// 20..23, anything outside 0..24).
const LevelScript* FindLevelScript(int32_t level);
