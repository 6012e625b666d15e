#pragma once
// The monster tests start from program-start state with an 800 x 600 back
// buffer, the graphics context and the effects initialised, a level mask of
// their own in slot 251 and creature pictures made to measure: every frame
// of a strip is the same solid body, so the body and its hit mask are known.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "assets/image_preparation.h"
#include "effects/effects.h"
#include "engine/engine_effects.h"
#include "game/game_state.h"
#include "game/objects.h"
#include "gfx/image_slots.h"
#include "shell/globals.h"
#include "support/scene_test.h"

namespace vxtest {

class MonsterTest : public SceneTest {
 protected:
  static constexpr int32_t kMask = 251;
  static constexpr uint32_t kBody = 0xff808080u;
  static constexpr uint32_t kSolid = 0xffffffffu;

  void SetUp() override {
    SceneTest::SetUp();
    StartScene(4321);
    CreatePicture(engine.gfx, kMask, kW, kH);
    g.levelState.maskSlot = kMask;
    g.player.health = kFullHealth;
    // The player far away from everything unless a test moves him.
    PlacePlayer(-1000, -1000);
  }

  // Solid mask pixels in the inclusive rectangle.
  void SolidBlock(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    for (int32_t y = y1; y <= y2; ++y)
      for (int32_t x = x1; x <= x2; ++x) SetPixel(engine.gfx, kMask, x, y, kSolid);
  }

  // A creature strip in `slot` of `frames` square frames of side h, each
  // holding the same body: columns bx0..bx1, rows by0..by1 of the frame. The
  // mirrored strip, the pieces and the poses are cut as the loader does.
  void MakeCreature(int32_t slot, int32_t h, int32_t frames, int32_t poses, int32_t bx0, int32_t bx1,
                    int32_t by0, int32_t by1) {
    MakeStrip(slot, h, frames, bx0, bx1, by0, by1);
    MakeMirroredStrip(engine.gfx, slot + 1, slot);
    MakeBodyPieces(engine.gfx, slot + 4, slot + 3, slot + 2, slot, 0);
    if (frames > 0 && poses > 0) MakePoseImages(engine.gfx, poses, slot + 1, slot, frames);
  }
  void MakeStrip(int32_t slot, int32_t h, int32_t frames, int32_t bx0, int32_t bx1, int32_t by0,
                 int32_t by1) {
    CreatePicture(engine.gfx, slot, h * frames, h);
    for (int32_t f = 0; f < frames; ++f)
      for (int32_t y = by0; y <= by1; ++y)
        for (int32_t x = bx0; x <= bx1; ++x) SetPixel(engine.gfx, slot, f * h + x, y, kBody);
  }
  // The walker of spawn code 0 (strip 120, poses 415): 60-pixel frames, the
  // body in columns 20..39 and rows 10..59.
  void MakeWalkerPictures() { MakeCreature(120, 60, 6, 415, 20, 39, 10, 59); }
  // A shot picture (slot 138): a 16-pixel square, a solid disc-like block.
  void MakeShotPicture() { MakeStrip(138, 16, 1, 4, 11, 4, 11); }

  // An active record made directly (not through a spawn), for tests that
  // need exact values.
  MonsterRecord& Record(int32_t i, int32_t kind, int32_t x, int32_t y) {
    MonsterRecord& r = g.tables.objects[i];
    r = MonsterRecord{};
    r.active = 1;
    r.kind = kind;
    r.x = ToFixed(x);
    r.y = ToFixed(y);
    r.homeX = x;
    r.frameDivisor = 1;
    return r;
  }

  int32_t ActiveCount() const {
    int32_t n = 0;
    for (const MonsterRecord& r : g.tables.objects) n += r.active != 0 ? 1 : 0;
    return n;
  }
  int32_t CountKind(int32_t kind) const {
    int32_t n = 0;
    for (const MonsterRecord& r : g.tables.objects) n += r.active != 0 && r.kind == kind ? 1 : 0;
    return n;
  }

  // The colour that the weapon drawing leaves on its pixels.
  static uint32_t Marker(uint32_t pixel) { return (pixel & 0xfcfcfcu) + 0xe6020202u; }
  // Marks a back-buffer rectangle with the weapon marker, as the player
  // drawing leaves it, and opens a new attack frame.
  void Swing(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    for (int32_t y = y1; y <= y2; ++y)
      for (int32_t x = x1; x <= x2; ++x) Screen(x, y) = Marker(0xff3060c0u);
    g.player.swordActive = -1;
    g.player.attackFrame = 5;
    g.player.prevAttackFrame = 4;
  }
};

}  // namespace vxtest
