#include "game/lamps_clouds.h"

#include <algorithm>

#include "game/game_state.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "game/singletons.h"
#include "engine/engine_effects.h"

namespace {

constexpr int32_t kFirstCloudPicture = 880;  // 60 pictures, three frames each
constexpr int32_t kLastCloudFrame = 179;

int16_t Short(int32_t v) { return static_cast<int16_t>(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX)); }

}  // namespace

void ClearLamps(ObjectTables& tables) {
  for (LampRecord& l : tables.lamps) l.active = 0;
}

void AddLamp(ObjectTables& tables, int32_t x, int32_t y, int32_t strength) {
  for (LampRecord& l : tables.lamps) {
    if (l.active != 0) continue;
    l.active = 1;
    l.flicker = Random(engine.random, 0, 28);
    l.flickerStep = 2 * Random(engine.random, 0, 1) - 1;
    l.x = x;
    l.y = y;
    l.size = static_cast<int32_t>(int64_t{strength} * 40 / 256);
    return;
  }
}

void DrawLamps(ObjectTables& tables) {
  GfxContext& gfx = engine.gfx;
  // The display scale is at least 1 once the graphics run; before that a
  // lamp still draws rather than dividing by zero.
  const int32_t s = std::max(gfx.sizeScale, 1);
  for (LampRecord& l : tables.lamps) {
    if (l.active == 0) continue;
    l.flicker = Random(engine.random, 0, 28);
    l.flickerStep = 2 * Random(engine.random, 0, 1) - 1;
    l.flicker += l.flickerStep;
    if (l.flicker <= 0) l.flickerStep = 1;
    if (l.flicker > 28) l.flickerStep = -1;
    const int32_t x = static_cast<int32_t>((int64_t{l.x} * engine.gfx.screenWidth) >> 10);
    const int32_t y = static_cast<int32_t>((int64_t{l.y} * gfx.heightScale) >> 10);
    const int32_t jitter = Random(engine.random, 0, 5);
    const int32_t radius = jitter + static_cast<int32_t>((int64_t{l.size} * gfx.sizeScale) >> 10);
    AddTexturedLight(engine, x, y, radius, 20480 / s, 15360 / s, 0, l.flicker);
  }
}

void ClearClouds(ObjectTables& tables) {
  for (CloudRecord& c : tables.clouds) c.active = 0;
}

void AddCloud(ObjectTables& tables, int32_t x, int32_t y) {
  GfxContext& gfx = engine.gfx;
  for (CloudRecord& c : tables.clouds) {
    if (c.active != 0) continue;
    c.x = Short(x - PictureWidth(gfx, kFirstCloudPicture) / 2);
    c.y = Short(y - PictureHeight(gfx, kFirstCloudPicture) / 2);
    // The draw may give 180, one past the last cloud picture's frames.
    c.frame = Short(std::min(Random(engine.random, 0, 180), kLastCloudFrame));
    c.active = 1;
    return;
  }
}

void DrawClouds(ObjectTables& tables) {
  GfxContext& gfx = engine.gfx;
  const int32_t steps = std::max(gfx.timeStep / 32, 1);
  const int32_t width = PictureWidth(gfx, kFirstCloudPicture);
  for (CloudRecord& c : tables.clouds) {
    if (c.active == 0) continue;
    for (int32_t i = 0; i < steps; ++i) {
      if (c.frame < kLastCloudFrame) {
        ++c.frame;
      } else if (Random(engine.random, 0, 100) > 80 && Random(engine.random, 0, 100) > 80 &&
                 Random(engine.random, 0, 100) > 40) {
        c.frame = 0;  // a finished cloud waits at its last picture, then starts again
      }
    }
    c.x = Short(c.x - 2);
    if (c.x < -width) c.x = Short(engine.gfx.screenWidth + 1);
  }
  SetDrawMode(gfx, -1);
  for (const CloudRecord& c : tables.clouds)
    if (c.active != 0) DrawPicture(gfx, kFirstCloudPicture + c.frame / 3, c.x, c.y);
  ResetDrawMode(gfx);
}
