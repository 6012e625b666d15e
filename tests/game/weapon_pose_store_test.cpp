// Weapon poses kept aside across weapon switches, on the real player and
// weapon pictures: a game that takes poses from the store sees, frame by
// frame, the same pose pictures and the same screen (after the level
// picture is drawn over the scratch area) as one that draws every pose
// again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "assets/loading.h"
#include "game/game_state.h"
#include "game/level_build.h"
#include "game/player.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "shell/globals.h"
#include "shell/window.h"
#include "support/engine_test.h"

namespace {

class WeaponPoseStoreTest : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartWindowed();
    LinkGeneratedData();
    for (int32_t step : {1, 5, 6, 8})
      LoadAssetsStep(game.levelPictures, -1, step, engine.gfx, engine.effects, engine.sound);
    // A composed level picture covering the screen, as every level has.
    CreatePicture(engine.gfx, kComposedSlot, 800, 600);
    for (int32_t y = 0; y < 600; ++y)
      for (int32_t x = 0; x < 800; ++x)
        SetPixel(engine.gfx, kComposedSlot, x, y, 0xff000000u | static_cast<uint32_t>(x * 7 + y * 131));
    PackTo24(engine.gfx, kComposedSlot);
  }

  static uint64_t Hash(const uint32_t* p, size_t n) {
    uint64_t h = 1469598103934665603ull;
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
    return h;
  }
  static uint64_t SlotHash(int32_t slot) {
    const ImageSlot& s = engine.gfx.slots[slot];
    if (s.pixels == nullptr) return 0;
    uint64_t h = Hash(s.pixels, static_cast<size_t>(s.width) * static_cast<size_t>(s.height));
    for (const int32_t* t : {s.opaqueLeft, s.opaqueRight, s.visibleLeft, s.visibleRight})
      h = h * 31 + Hash(reinterpret_cast<const uint32_t*>(t), static_cast<size_t>(s.height));
    return h;
  }

  // Swings of every weapon, switched back and forth, both ways, with and
  // without the long and broad blades, attack frames out of the pose range
  // included. Per step: the pose pictures, the screen once the level
  // picture is drawn (as the frame does next), and the work picture.
  struct Step {
    uint64_t poses, screen, work;
  };
  std::vector<Step> Play(size_t keep) {
    engine.weaponPoses = PictureStore(keep);
    // Both plays start from the same blank pose and work pictures.
    for (int32_t slot = 0; slot <= 694; slot = slot == 1 ? 670 : slot + 1) {
      ImageSlot& s = engine.gfx.slots[slot];
      if (s.pixels == nullptr) continue;
      std::fill_n(s.pixels, static_cast<size_t>(s.width) * static_cast<size_t>(s.height), 0u);
      for (int32_t* t : {s.opaqueLeft, s.opaqueRight, s.visibleLeft, s.visibleRight})
        std::fill_n(t, s.height, 0);
    }
    GameState& g = game;
    g.player.cachedBody = g.player.cachedWeapon = -13;
    std::vector<Step> steps;
    struct Held {
      int32_t weapon, longBlade, broadBlade;
    };
    // Back to a weapon as it was held before (the store's case), and to one
    // with a longer or broader blade since (drawn anew).
    const Held held[] = {{41, 0, 0}, {40, 0, 0},  {41, 0, 0},   {42, 0, 0},   {41, -1, 0},
                         {42, 0, 0}, {41, -1, 0}, {40, -1, -1}, {43, -1, -1}, {40, -1, -1}};
    for (const Held& h : held) {
      g.player.weapon = h.weapon;
      g.player.bodySlot = g.player.weapon <= 41 ? 21 : 24;
      g.progress.longBlade = h.longBlade;
      g.progress.broadBlade = h.broadBlade;
      for (int32_t facing : {1, -1}) {
        g.player.facing = facing;
        for (int32_t a = -2; a <= 15; ++a) {
          g.player.attackFrame = a;
          ClearScreen(engine.gfx, 0xff102030u + static_cast<uint32_t>(steps.size()));
          PrepareWeaponPicture(g);
          DrawPacked24(engine.gfx, kComposedSlot, 0, 0);
          uint64_t poses = 0;
          for (int32_t slot = 670; slot <= 694; ++slot) poses = poses * 131 + SlotHash(slot);
          steps.push_back({poses, Hash(engine.gfx.backBuffer, 800 * 600), SlotHash(1)});
        }
      }
    }
    return steps;
  }
};

TEST_F(WeaponPoseStoreTest, KeptPosesAreThoseDrawnAgain) {
  const std::vector<Step> drawn = Play(0);
  ASSERT_EQ(engine.weaponPoses.Size(), 0u);
  const std::vector<Step> kept = Play(128);
  EXPECT_GT(engine.weaponPoses.Size(), 40u);
  ASSERT_EQ(drawn.size(), kept.size());
  size_t restored = 0;
  for (size_t i = 0; i < drawn.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_EQ(drawn[i].poses, kept[i].poses);
    ASSERT_EQ(drawn[i].screen, kept[i].screen);
    // Only the work picture, which nothing else reads, shows that a pose
    // came from the store.
    restored += drawn[i].work != kept[i].work ? 1 : 0;
  }
  EXPECT_GT(restored, 20u);
}

// A store that is full keeps nothing more, and the game draws as before.
TEST_F(WeaponPoseStoreTest, AFullStoreKeepsNoMore) {
  const std::vector<Step> drawn = Play(0);
  const std::vector<Step> few = Play(3);
  EXPECT_EQ(engine.weaponPoses.Size(), 3u);
  ASSERT_EQ(drawn.size(), few.size());
  for (size_t i = 0; i < drawn.size(); ++i) {
    ASSERT_EQ(drawn[i].poses, few[i].poses) << i;
    ASSERT_EQ(drawn[i].screen, few[i].screen) << i;
  }
}

}  // namespace
