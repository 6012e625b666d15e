#pragma once
// The player's tests start from program-start state with an 800 x 600
// screen, and build the pictures they need in slots: a level mask, body and
// marker strips, weapons, and the pose pictures the loader would create.
#include <functional>

#include "game/game_state.h"
#include "game/player.h"
#include "gfx/image_slots.h"
#include "shell/globals.h"
#include "shell/window.h"
#include "support/engine_test.h"

namespace vxtest {

class PlayerTest : public EngineTest {
 protected:
  static constexpr int32_t kMask = 1190;  // a slot no level picture uses
  static constexpr int32_t kFloor = 470;  // floor top of the flat test level
  static constexpr uint32_t kSolid = 0xff808080u;

  void SetUp() override {
    EngineTest::SetUp();
    StartWindowed();
    ASSERT_EQ(engine.gfx.screenWidth, 800);
    ASSERT_EQ(engine.gfx.sizeScale, 800);
    CreatePicture(engine.gfx, kMask, 800, 600);
    game.levelState.maskSlot = kMask;
    // The sword body strip gives the leg its place: 11 frames of 80.
    CreatePicture(engine.gfx, 21, 880, 80);
    CreatePicture(engine.gfx, 24, 880, 80);
  }
  // Fills the mask: solid where `solid` says so, free elsewhere.
  void DrawMask(const std::function<bool(int32_t, int32_t)>& solid) {
    ImageSlot& m = engine.gfx.slots[kMask];
    for (int32_t y = 0; y < m.height; ++y)
      for (int32_t x = 0; x < m.width; ++x) m.pixels[y * m.width + x] = solid(x, y) ? kSolid : 0;
  }
  void FlatFloor(int32_t top = kFloor) {
    DrawMask([top](int32_t, int32_t y) { return y >= top; });
  }
  // The player as a new game leaves him, at (x, y) whole pixels.
  static void Place(int32_t x, int32_t y) {
    GameState& g = game;
    g.player.x = ToFixed(x);
    g.player.y = ToFixed(y);
    g.player.angle = 11520;
    g.player.facing = 1;
    g.player.velX = g.player.velY = 0;
    g.player.lastDrawX = g.player.lastDrawY = kOffScreenFixed;
    g.player.weapon = 41;
    g.player.bodySlot = 21;
    g.progress.owned[41] = 1;
    g.player.alive = -1;
    g.player.prevAttackFrame = kOffScreen;
    g.player.health = kFullHealth;
    for (int32_t i = 0; i <= 103; ++i) g.player.probeFreeX[i] = g.player.probeFreeY[i] = kOffScreen;
  }
  static void Frames(int32_t n, int32_t left = 0, int32_t right = 0, int32_t jump = 0) {
    for (int32_t i = 0; i < n; ++i) UpdatePlayer(game, left, right, jump, 0, 0);
  }
  static int32_t Px() { return WholePixel(game.player.x); }

  // The pictures the drawing needs, as the loader would make them: the
  // sword body strip 21 (a grey block in every frame) with its marker strip
  // 22 and left-facing strip 23, weapon 41 (a white bar of 40 x 6), the
  // work picture 1 and the pose pictures 670..694.
  static constexpr uint32_t kBodyColour = 0xff606060u;
  static constexpr uint32_t kLeftBodyColour = 0xff505070u;
  void MakePlayerPictures() {
    GfxContext& gfx = engine.gfx;
    CreatePicture(gfx, 1, 480, 480);
    for (int32_t slot = 670; slot <= 694; ++slot) CreatePicture(gfx, slot, 240, 240);
    CreatePicture(gfx, 22, 880, 80);
    CreatePicture(gfx, 23, 880, 80);
    for (int32_t f = 0; f < 11; ++f) {
      for (int32_t y = 20; y < 60; ++y)
        for (int32_t x = 30; x < 50; ++x) {
          SetPixel(gfx, 21, f * 80 + x, y, kBodyColour);
          SetPixel(gfx, 23, f * 80 + x, y, kLeftBodyColour);
        }
    }
    ComputeRowSpans(gfx, 21);
    ComputeRowSpans(gfx, 23);
    CreatePicture(gfx, 41, 40, 6);
    for (int32_t y = 0; y < 6; ++y)
      for (int32_t x = 0; x < 40; ++x) SetPixel(gfx, 41, x, y, 0xffffffffu);
    ComputeRowSpans(gfx, 41);
  }
  // The four markers of frame f of strip 22, grip at x = left, far end at
  // x = right, the blade from y = top to top + 6.
  static void PutMarkers(int32_t f, int32_t left, int32_t right, int32_t top) {
    GfxContext& gfx = engine.gfx;
    SetPixel(gfx, 22, f * 80 + left, top, 0xffff0000u);
    SetPixel(gfx, 22, f * 80 + right, top, 0xff00ff00u);
    SetPixel(gfx, 22, f * 80 + left, top + 6, 0xff0000ffu);
    SetPixel(gfx, 22, f * 80 + right, top + 6, 0xffff00ffu);
  }
  static int32_t Py() { return WholePixel(game.player.y); }
};

}  // namespace vxtest
