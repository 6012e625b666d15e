#pragma once
// The game-world tests start from program-start state with an 800 x 600
// back buffer, the graphics context and the effects initialised, a seeded
// random source, and pictures made to measure in the slots they need.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "effects/effects.h"
#include "engine/engine_effects.h"
#include "game/game_state.h"
#include "gfx/image_slots.h"
#include "random/random_source.h"
#include "shell/globals.h"
#include "support/engine_test.h"

namespace vxtest {

class GameTest : public EngineTest {
 protected:
  static constexpr int32_t kW = 800;
  static constexpr int32_t kH = 600;

  void SetUp() override {
    EngineTest::SetUp();
    screen_.assign(static_cast<size_t>(kW) * kH, 0);
    engine.gfx.screenWidth = kW;
    engine.gfx.screenHeight = kH;
    InitGraphics(engine.gfx, screen_.data(), kW, kH);
    engine.gfx.timeStep = 29;
    SeedRandom(engine.random, 2024);
    InitEffects(engine.effects, engine.gfx);
    ConfigureFog(engine, 940, 60, 740, 60);
    g.settings.textFileName = "data/text1.txt";
    g.settings.altTextFile = -1;
    g.playerAlive = -1;
    g.difficultyBase = 35;
    g.fightState = -1;
    g.fightTimeStart = 1;
    g.editorSelection = -1;
  }

  // A loaded picture of one colour.
  void Solid(int32_t slot, int32_t width, int32_t height, uint32_t colour) {
    CreatePicture(engine.gfx, slot, width, height);
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) SetPixel(engine.gfx, slot, x, y, colour);
    ComputeRowSpans(engine.gfx, slot);
  }

  void PlacePlayer(int32_t x, int32_t y) {
    g.playerX = ToFixed(x);
    g.playerY = ToFixed(y);
  }

  MonsterRecord& Object(int32_t i, int32_t kind) {
    MonsterRecord& r = g.objects[i];
    r = MonsterRecord{};
    r.active = 1;
    r.kind = kind;
    return r;
  }

  PlacementRecord& Placement(int32_t i, int32_t x, int32_t y, int32_t type) {
    PlacementRecord& p = g.placements[i];
    p = PlacementRecord{};
    p.active = 1;
    p.x = x;
    p.y = y;
    p.type = type;
    return p;
  }

  uint32_t Screen(int32_t x, int32_t y) const { return screen_[static_cast<size_t>(y) * kW + x]; }
  std::vector<uint32_t>& ScreenPixels() { return screen_; }
  void ClearScreenPixels() { screen_.assign(screen_.size(), 0); }

  GameState& g = game;

 private:
  std::vector<uint32_t> screen_;
};

}  // namespace vxtest
