#pragma once
// The effects system's data: the pools of short-lived effects (flash rings,
// fog puffs and layers, twinkles, shimmer areas, drifting particles), their
// sizes and the tables of the light maps and rings. The operations on it are
// in the effects_*.h headers; effects/effects.h gathers them all.
//
// The pools are fixed arrays inside the effects object; nothing here is
// allocated while frames run. Every random draw comes from the random source
// the effects object holds (`random`, wired by the engine), in the order the
// operations document.
#include <cstdint>
#include <memory>

struct GfxContext;
struct RandomSource;

inline constexpr int32_t kFlashPool = 500;
inline constexpr int32_t kFogPool = 10001;
inline constexpr int32_t kTwinklePool = 3001;
inline constexpr int32_t kShimmerPool = 40;
inline constexpr int32_t kDriftPool = 1999;
inline constexpr int32_t kDriftLightPool = 500;
inline constexpr int32_t kFogLayerPool = 251;
inline constexpr int32_t kGlowPointPool = 20001;

inline constexpr int16_t kFogPuff = 88;
inline constexpr int16_t kFogLayer = 18;

// The procedural light maps: slots 1001 .. 1031, each a 368 x 93 picture
// whose buffer is read as a 368 x 368 byte map centred at (184, 184).
inline constexpr int32_t kLightMapFirstSlot = 1001;
inline constexpr int32_t kLightMapCount = 31;
inline constexpr int32_t kLightMapSide = 368;
inline constexpr int32_t kLightMapCentre = 184;
inline constexpr int32_t kLightMapRandomEntries = 1841;

// Flash rings: 1 .. 80 pixels; the ring's directions are looked up on a grid
// of 8-pixel cells over its bounding square.
inline constexpr int32_t kFlashMaxRadius = 80;
inline constexpr int32_t kRingGridSide = kFlashMaxRadius / 4 + 2;

struct FlashRecord {
  int32_t intensity = 0;  // radius · 256; below 1 the record is free
  int32_t x = 0;
  int32_t y = 0;
  int32_t decay = 0;
};

struct FogRecord {
  int16_t x = 0;  // puffs: half pixels; layers: the picture's top-left corner
  int16_t y = 0;
  int16_t life = 0;
  int16_t kind = 0;  // kFogPuff or kFogLayer
};

struct TwinkleRecord {
  int16_t active = 0;
  int16_t x = 0;
  int16_t y = 0;
  int16_t radius = 0;
  int16_t blue = 0;
  int16_t green = 0;
  int16_t red = 0;
  int16_t brightness = 0;
  int16_t phase = 0;  // 0 .. 255
  int16_t speed = 0;
  int16_t fastAdd = 0;
};

struct ShimmerArea {
  int32_t x1 = 0;
  int32_t y1 = 0;
  int32_t x2 = 0;
  int32_t y2 = 0;
  int32_t min = 0;  // brightness range (b + g + r) of the pixels that ripple
  int32_t max = 0;
  int32_t active = 0;
  int32_t phase = 0;  // the area's oscillator: value and speed
  int32_t speed = 0;
  int32_t amplitude = 0;  // 1 .. 8
  int32_t extra = 0;      // stored for the caller; the ripple does not use it
};

// A drifting particle in the 1024 x 768 virtual screen, 16.16 fixed point.
struct DriftParticle {
  int32_t x = 0;
  int32_t y = 0;
  int32_t swayOffset = 0;  // added to x; starts at the direction
  int32_t swaySpeed = 0;
  int32_t direction = 0;  // +8192 or -8192
  int32_t reach = 0;      // caller value 1: how far apart the four samples lie
  int32_t min = 0;        // caller values 2 and 3: brightness range sampled
  int32_t max = 0;
  int32_t extra = 0;  // caller value 4, stored only
};

struct DriftLight {
  int32_t x = 0;
  int32_t y = 0;
  int32_t radius = 0;
  int32_t red = 0;
  int32_t green = 0;
  int32_t blue = 0;
};

// One registered fog layer of the composition pass.
struct FogLayerEntry {
  int32_t slot = 0;
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  const uint8_t* pixels = nullptr;
  // The picture's black margins per row (its row spans; none before they
  // are computed): colourless pixels that mode 1 need not add.
  const int32_t* blackLeft = nullptr;
  const int32_t* blackRight = nullptr;
};

struct GlowPoint {
  int32_t x = 0;
  int32_t y = 0;
  int32_t red = 0;  // colour amounts, already divided by 256
  int32_t green = 0;
  int32_t blue = 0;
};

struct EffectsSystem {
  // The random source every effect draws from; set before the first
  // operation (the engine wires its own), never owned.
  RandomSource* random = nullptr;

  uint8_t sqrtTable[65536] = {};  // entry n = floor(sqrt(n))
  int32_t falloff[257] = {};      // ((v · v / 16) · 19 + 45 · v) / 64
  uint8_t toneTable[257] = {};

  FlashRecord flashes[kFlashPool];

  FogRecord fog[kFogPool];
  int32_t fogCount = 0;  // records 0 .. fogCount - 1 are in use
  int32_t puffBase = 0;
  int32_t puffFrames = 1;
  int32_t layerBase = 0;
  int32_t layerLife = 1;

  TwinkleRecord twinkles[kTwinklePool];
  ShimmerArea shimmer[kShimmerPool];

  DriftParticle drift[kDriftPool];
  int32_t driftCount = 0;
  DriftLight driftLights[kDriftLightPool];
  int32_t driftLightCount = 0;

  // The layer list of the fog composition and the union of its rectangles
  // (inclusive bounds; empty when x1 > x2).
  FogLayerEntry layers[kFogLayerPool];
  int32_t layerCount = 0;
  int32_t unionX1 = 0;
  int32_t unionY1 = 0;
  int32_t unionX2 = -1;
  int32_t unionY2 = -1;

  GlowPoint glowPoints[kGlowPointPool];
  int32_t glowPointCount = 0;

  // Per flash radius, the direction (degrees) of each grid node from the
  // ring's centre; node (i, j) lies at (8i - r, 8j - r).
  int16_t ringDirections[kFlashMaxRadius + 1][kRingGridSide * kRingGridSide] = {};
  // Per flash radius, the ring's own light by depth in quarter pixels, as
  // packed colours.
  uint32_t ringGlow[kFlashMaxRadius + 1][4 * kFlashMaxRadius + 1] = {};

  // Scratch, allocated once for the screen width (by InitEffects, or by the
  // first pass that needs it): the 8-bit fog composition's row sums
  // and a copy of one back-buffer row.
  std::unique_ptr<uint16_t[]> rowSums;
  std::unique_ptr<uint32_t[]> rowCopy;
  int32_t scratchWidth = 0;

  int32_t started = 0;
};
