#pragma once
// Program-start state over an 800 x 600 back buffer of the test's own: the
// graphics context and the effects initialised, the fog pictures named, a
// seeded random source and a live player, for the tests of the game world
// and its monsters.
#include <cstdint>
#include <vector>

#include "engine/engine_effects.h"
#include "game/game_state.h"
#include "random/random_source.h"
#include "support/engine_test.h"

namespace vxtest {

class SceneTest : public EngineTest {
 protected:
  static constexpr int32_t kW = 800;
  static constexpr int32_t kH = 600;

  void StartScene(uint32_t seed) {
    screen_.assign(static_cast<size_t>(kW) * kH, 0);
    engine.gfx.screenWidth = kW;
    engine.gfx.screenHeight = kH;
    InitGraphics(engine.gfx, screen_.data(), kW, kH);
    engine.gfx.timeStep = 29;
    SeedRandom(engine.random, seed);
    InitEffects(engine.effects, engine.gfx);
    ConfigureFog(engine, 940, 60, 740, 60);
    g.player.alive = -1;
    g.progress.difficultyBase = 35;
    g.fight.timeStart = 1;
  }

  void PlacePlayer(int32_t x, int32_t y) {
    g.player.x = ToFixed(x);
    g.player.y = ToFixed(y);
  }

  uint32_t& Screen(int32_t x, int32_t y) { return screen_[static_cast<size_t>(y) * kW + x]; }
  std::vector<uint32_t>& ScreenPixels() { return screen_; }
  void ClearScreenPixels() { screen_.assign(screen_.size(), 0); }

  GameState& g = game;

 private:
  std::vector<uint32_t> screen_;
};

}  // namespace vxtest
