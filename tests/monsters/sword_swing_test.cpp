// A swing of the starting sword, drawn by the game's own player drawing with
// the player's real pictures, against imps with their real pictures on a
// real level: the one standing in the arc is cut down, the one whose body
// begins just beyond the farthest pixel the blade reaches survives, and
// brought nearer a pixel at a time it falls exactly where the weapon drawn
// on screen first meets its drawn body. The blade is read from the marker
// colour the drawing leaves on screen, so the test holds the drawing and the
// monsters' hit test to each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "game/player.h"
#include "gfx/drawing.h"
#include "monsters/real_level_fixture.h"

namespace {

using vxtest::RealLevelTest;

constexpr int32_t kFloor = 460;  // the drowned gate's causeway
constexpr int32_t kPlayerX = 300;
constexpr int32_t kSwingFrames = 14;

using Marks = std::set<std::pair<int32_t, int32_t>>;

class SwordSwing : public RealLevelTest {
 protected:
  void SetUp() override {
    RealLevelTest::SetUp();
    UseLevel(4);
    routecheck::PlacePlayer(g, kPlayerX, kFloor - 60);
  }

  // One game frame of what matters here, in the in-game frame's order; a
  // cleared screen stands in for the level picture.
  void Frame(int32_t attack) {
    UpdatePlayer(g, 0, 0, 0, 0, attack);
    PrepareWeaponPicture(g);
    ClearScreen(engine.gfx, 0);
    DrawPlayer(g);
    UpdateMonsters(g);
  }

  static bool IsMarker(uint32_t p) { return (p >> 24) == 230 && (p & 0x030303u) == 0x020202u; }

  // A whole swing from one press: per frame, the marker pixels on screen
  // when the monsters look for them (none in a frame in which the weapon
  // has not moved on, when they do not look).
  std::vector<Marks> Swing() {
    std::vector<Marks> frames(kSwingFrames);
    for (int32_t f = 0; f < kSwingFrames; ++f) {
      Frame(f == 0 ? -1 : 0);
      if (g.player.attackFrame == g.player.prevAttackFrame) continue;
      for (int32_t y = 0; y < engine.gfx.screenHeight; ++y)
        for (int32_t x = 0; x < engine.gfx.screenWidth; ++x)
          if (IsMarker(engine.gfx.backBuffer[static_cast<size_t>(y) * engine.gfx.screenWidth + x]))
            frames[f].insert({x, y});
    }
    EXPECT_EQ(g.player.attackFrame, 0) << "the swing is over";
    return frames;
  }

  // An imp (spawn code 0) standing still at x, facing `direction`, on the
  // causeway, at the start of its walk cycle.
  int32_t Imp(int32_t x, int32_t direction) {
    int32_t i = 0;
    while (i < kObjectCount - 1 && g.tables.objects[i].active != 0) ++i;  // the record the spawn takes
    SpawnMonster(g, x, kFloor - 14, 0);
    g.tables.objects[i].speed = 0;
    g.tables.objects[i].direction = direction;
    g.tables.objects[i].frame = 0;
    return i;
  }

  // Where an imp's body is drawn in walk frame `frame`: the strip it is hit
  // tested in (mirrored when it faces left) and the frame's top-left.
  struct Drawn {
    int32_t strip, left, top, side;
  };
  Drawn ImpAt(int32_t x, int32_t direction, int32_t frame) {
    const int32_t i = Imp(x, direction);
    MonsterRecord& r = g.tables.objects[i];
    r.frame = frame;
    const int32_t side = PictureHeight(engine.gfx, r.image);
    const Drawn d{direction < 1 ? r.image + 1 : r.image, x - side / 2, MonsterTop(g, i), side};
    r.active = 0;
    return d;
  }

  // Whether the blade of `swing` meets an imp standing at x: in swing frame
  // j the imp shows walk frame (j + 1) mod 6 (the frame moves on before the
  // hit test), and it is hit where a marker pixel lies on its body.
  bool Meets(const std::vector<Marks>& swing, int32_t x, int32_t direction) {
    for (int32_t j = 0; j < kSwingFrames; ++j) {
      const int32_t frame = (j + 1) % 6;
      const Drawn d = ImpAt(x, direction, frame);
      for (const auto& [mx, my] : swing[j]) {
        const int32_t c = mx - d.left, r = my - d.top;
        if (c < 0 || r < 0 || c >= d.side || r >= d.side) continue;
        if (GetPixel(engine.gfx, d.strip, frame * d.side + c, r) != 0) return true;
      }
    }
    return false;
  }

  // The player and the random source as they are, to swing again from
  // exactly here: the player's leg never quite rests, and a kill's flashes
  // draw from the random source too.
  struct Moment {
    routecheck::BodyState body;
    int32_t attackFrame, attackCooldown, attackLatch, prevAttackFrame;
  };
  Moment Save() {
    return {routecheck::SaveBody(g, engine.random), g.player.attackFrame, g.player.attackCooldown, g.player.attackLatch,
            g.player.prevAttackFrame};
  }
  void Restore(const Moment& m) {
    routecheck::RestoreBody(g, engine.random, m.body);
    g.player.attackFrame = m.attackFrame;
    g.player.attackCooldown = m.attackCooldown;
    g.player.attackLatch = m.attackLatch;
    g.player.prevAttackFrame = m.prevAttackFrame;
  }

  // Swings again from `rest` at an imp standing at x; whether it survives.
  bool Survives(const Moment& rest, const std::vector<Marks>& expected, int32_t x, int32_t direction) {
    ClearObjects(g.tables);
    const int32_t i = Imp(x, direction);
    Restore(rest);
    const std::vector<Marks> swing = Swing();
    // Up to the cut the swing is drawn as before; after it, a kill's flashes
    // may nudge the player's leg.
    if (g.tables.objects[i].active != 0) {
      EXPECT_EQ(swing, expected) << "the same swing, drawn the same";
    }
    return g.tables.objects[i].active != 0;
  }

  void CutsTheNearOneAndMissesTheOneJustBeyond(int32_t facing) {
    const int32_t ahead = facing == 2 ? 1 : -1;
    g.player.facing = facing;
    for (int32_t f = 0; f < 40; ++f) Frame(0);  // settle on the causeway
    ASSERT_NEAR(WholePixel(g.player.y), kFloor - 40, 6) << "standing on the causeway";
    const Moment rest = Save();
    const std::vector<Marks> swing = Swing();
    size_t marked = 0;
    for (const Marks& m : swing) marked += m.size();
    ASSERT_GT(marked, 500u) << "the blade leaves its marker on screen";
    // Walking an imp in from far ahead, the first place where the drawn
    // blade meets its drawn body.
    int32_t first = kPlayerX + 200 * ahead;
    while (!Meets(swing, first, -ahead) && (first - kPlayerX) * ahead > 20) first -= ahead;
    ASSERT_GT((first - kPlayerX) * ahead, 40) << "the blade comes down in front of the player";
    // One pixel further out it is missed; the one at the first place, and
    // one well inside the arc, are cut down.
    EXPECT_TRUE(Survives(rest, swing, first + ahead, -ahead))
        << "just beyond the reach, at " << first + ahead;
    EXPECT_FALSE(Survives(rest, swing, first, -ahead)) << "at the edge of the reach, at " << first;
    EXPECT_FALSE(Survives(rest, swing, first - 12 * ahead, -ahead)) << "well inside the arc";
  }
};

TEST_F(SwordSwing, FacingRightCutsTheImpInTheArcAndMissesTheOneJustBeyond) {
  CutsTheNearOneAndMissesTheOneJustBeyond(2);
}

TEST_F(SwordSwing, FacingLeftCutsTheImpInTheArcAndMissesTheOneJustBeyond) {
  CutsTheNearOneAndMissesTheOneJustBeyond(1);
}

}  // namespace
