#include "effects/effects_maps.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "effects/effects_system.h"
#include "maths/repro_math.h"

namespace {

constexpr int32_t kSide = kLightMapSide;
constexpr int32_t kCentre = kLightMapCentre;
constexpr int32_t kTurn = 1440;            // directions in quarter degrees
constexpr int32_t kFrameTurn = 60;         // 15 degrees per frame
constexpr int32_t kRadiusSteps = 8 * 262;  // distances in 1/8 pixel, to the corners

// Where the random numbers go.
constexpr int32_t kLevelBase = 0;                  // 31: the frame's mean level
constexpr int32_t kTwistBase = 31;                 // 31: how much the rays bend outwards
constexpr int32_t kRingBase = 62;                  // 31 x 24: the frame's faint rings
constexpr int32_t kRayBase = kRingBase + 31 * 24;  // 12 + 24 + 48 + 96: the rays
static_assert(kRayBase + 180 <= kLightMapRandomEntries);

float Signed(const uint8_t* random, int32_t i) { return (static_cast<float>(random[i]) - 127.5f) / 127.5f; }

// Periodic value noise through `knots` numbers, eased between them.
float PeriodicNoise(const uint8_t* random, int32_t base, int32_t knots, float t) {
  const float pos = t * static_cast<float>(knots);
  const int32_t i = static_cast<int32_t>(std::floor(pos));
  const float f = pos - static_cast<float>(i);
  const float ease = f * f * (3.0f - 2.0f * f);
  const float a = Signed(random, base + ((i % knots) + knots) % knots);
  const float b = Signed(random, base + (((i + 1) % knots) + knots) % knots);
  return a + (b - a) * ease;
}

// Per pixel of the map: its direction and distance from the centre. The
// same for every frame, so worked out once per start-up.
struct MapGeometry {
  std::vector<int16_t> direction;  // quarter degrees
  std::vector<int16_t> distance;   // 1/8 pixel
};

const MapGeometry& Geometry() {
  static const MapGeometry geometry = [] {
    MapGeometry g;
    g.direction.resize(kSide * kSide);
    g.distance.resize(kSide * kSide);
    for (int32_t y = 0; y < kSide; ++y) {
      for (int32_t x = 0; x < kSide; ++x) {
        const double dx = x - kCentre;
        const double dy = y - kCentre;
        double a = rmath::Atan2(dx, -dy) * (kTurn / (2.0 * 3.14159265358979323846));
        if (a < 0) a += kTurn;
        g.direction[y * kSide + x] = static_cast<int16_t>(static_cast<int32_t>(a) % kTurn);
        g.distance[y * kSide + x] =
            static_cast<int16_t>(std::min(std::sqrt(dx * dx + dy * dy) * 8.0, kRadiusSteps - 1.0));
      }
    }
    return g;
  }();
  return geometry;
}

}  // namespace

void DrawLightMap(uint8_t* map, int32_t frame, const uint8_t* random) {
  frame = std::clamp(frame, 0, kLightMapCount - 1);
  const MapGeometry& g = Geometry();

  // The rays: four octaves of noise around the circle, strongest coarse.
  std::array<int16_t, kTurn> rays;
  constexpr int32_t kOctaves[4] = {12, 24, 48, 96};
  constexpr float kWeights[4] = {0.55f, 0.3f, 0.18f, 0.1f};
  for (int32_t a = 0; a < kTurn; ++a) {
    const float t = static_cast<float>(a) / kTurn;
    float v = 0;
    int32_t base = kRayBase;
    for (int32_t o = 0; o < 4; ++o) {
      v += kWeights[o] * PeriodicNoise(random, base, kOctaves[o], t);
      base += kOctaves[o];
    }
    rays[a] = static_cast<int16_t>(std::lround(v * 90.0f));
  }

  // Along the radius: the rays fade in away from the centre (no pinch point
  // where they meet) and bend a little; faint rings of the frame's own.
  const float level = 40.0f + static_cast<float>(random[kLevelBase + frame]) * 56.0f / 255.0f;
  const float twist = Signed(random, kTwistBase + frame) * 0.35f;  // quarter degrees per pixel
  std::vector<int16_t> rayScale(kRadiusSteps);
  std::vector<int16_t> bend(kRadiusSteps);
  std::vector<int16_t> rings(kRadiusSteps);
  for (int32_t s = 0; s < kRadiusSteps; ++s) {
    const float r = static_cast<float>(s) / 8.0f;
    const float u = std::clamp((r - 4.0f) / 40.0f, 0.0f, 1.0f);
    rayScale[s] = static_cast<int16_t>(std::lround(u * u * (3.0f - 2.0f * u) * 256.0f));
    bend[s] = static_cast<int16_t>(std::lround(twist * r));
    const float ringNoise = PeriodicNoise(random, kRingBase + frame * 24, 24, r / (24.0f * 16.0f));
    rings[s] = static_cast<int16_t>(std::lround(level + ringNoise * 22.0f));
  }

  const int32_t turn = frame * kFrameTurn;
  for (int32_t i = 0; i < kSide * kSide; ++i) {
    const int32_t s = g.distance[i];
    const int32_t a = ((g.direction[i] - turn - bend[s]) % kTurn + kTurn) % kTurn;
    const int32_t v = rings[s] + (rays[a] * rayScale[s] >> 8);
    map[i] = static_cast<uint8_t>(std::clamp(v, 0, 255));
  }
}
