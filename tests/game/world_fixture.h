#pragma once
// The game world's tests start from a first-started engine (graphics tables,
// back buffer, effects) in a scratch folder without data, and make the level
// pictures they need in their slots.
#include <gtest/gtest.h>

#include <cstdint>

#include "gfx/image_slots.h"
#include "shell/globals.h"
#include "shell/window.h"
#include "support/engine_test.h"

namespace vxtest {

class WorldTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartWindowed();
    CreatePicture(engine.gfx, 13, engine.gfx.screenWidth, engine.gfx.screenHeight);
  }

  // A screen-sized picture in `slot`, every pixel from `pixel(x, y)`.
  template <typename F>
  void MakePicture(int32_t slot, F pixel) {
    GfxContext& gfx = engine.gfx;
    CreatePicture(gfx, slot, engine.gfx.screenWidth, engine.gfx.screenHeight);
    for (int32_t y = 0; y < engine.gfx.screenHeight; ++y)
      for (int32_t x = 0; x < engine.gfx.screenWidth; ++x) SetPixel(gfx, slot, x, y, pixel(x, y));
  }

  // Level pictures made here, and marked loaded so that the loader leaves
  // them as they are.
  template <typename F>
  void MakeForeground(int32_t level, int32_t slot, F pixel) {
    MakePicture(slot, pixel);
    game.levelPictures.loaded[level] = -1;
  }
};

}  // namespace vxtest
