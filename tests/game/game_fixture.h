#pragma once
// The game-world tests start from program-start state with an 800 x 600
// back buffer, the graphics context and the effects initialised, a seeded
// random source, and pictures made to measure in the slots they need.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "effects/effects.h"
#include "gfx/image_slots.h"
#include "shell/globals.h"
#include "support/scene_test.h"

namespace vxtest {

class GameTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    StartScene(2024);
    g.settings.textFileName = "data/text1.txt";
    g.settings.altTextFile = -1;
    g.fight.state = -1;
    g.levelState.editorSelection = -1;
  }

  // A loaded picture of one colour.
  void Solid(int32_t slot, int32_t width, int32_t height, uint32_t colour) {
    CreatePicture(engine.gfx, slot, width, height);
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) SetPixel(engine.gfx, slot, x, y, colour);
    ComputeRowSpans(engine.gfx, slot);
  }

  MonsterRecord& Object(int32_t i, int32_t kind) {
    MonsterRecord& r = g.tables.objects[i];
    r = MonsterRecord{};
    r.active = 1;
    r.kind = kind;
    return r;
  }

  PlacementRecord& Placement(int32_t i, int32_t x, int32_t y, int32_t type) {
    PlacementRecord& p = g.tables.placements[i];
    p = PlacementRecord{};
    p.active = 1;
    p.x = x;
    p.y = y;
    p.type = type;
    return p;
  }
};

}  // namespace vxtest
