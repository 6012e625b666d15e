// A swing of the starting sword, drawn by the game's own player drawing with
// the player's real pictures, against imps with their real pictures on a
// real level: the one standing in the arc is cut down, the one whose body
// begins just beyond the farthest pixel the blade reaches survives. The
// reach is measured from the marker colour the drawing leaves on screen,
// so the test holds the drawing and the monsters' hit test to each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

#include "game/player.h"
#include "gfx/drawing.h"
#include "monsters/real_level_fixture.h"

namespace {

using vxtest::RealLevelTest;

constexpr int32_t kFloor = 460;  // the drowned gate's causeway
constexpr int32_t kPlayerX = 300;

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

  // A whole swing from one press; the marker pixels each frame leaves.
  std::set<std::pair<int32_t, int32_t>> Swing() {
    std::set<std::pair<int32_t, int32_t>> marked;
    for (int32_t f = 0; f < 14; ++f) {
      Frame(f == 0 ? -1 : 0);
      for (int32_t y = 0; y < engine.gfx.screenHeight; ++y)
        for (int32_t x = 0; x < engine.gfx.screenWidth; ++x)
          if (IsMarker(engine.gfx.backBuffer[static_cast<size_t>(y) * engine.gfx.screenWidth + x]))
            marked.insert({x, y});
    }
    EXPECT_EQ(g.attackFrame, 0) << "the swing is over";
    return marked;
  }

  // An imp (spawn code 0) standing still at x, facing `direction`, on the
  // causeway.
  int32_t Imp(int32_t x, int32_t direction) {
    int32_t i = 0;
    while (i < kObjectCount - 1 && g.objects[i].active != 0) ++i;  // the record the spawn takes
    SpawnMonster(g, x, kFloor - 14, 0);
    g.objects[i].speed = 0;
    g.objects[i].direction = direction;
    g.objects[i].frame = 0;
    return i;
  }

  // The columns and rows an imp facing `direction` at x fills over its
  // whole walk cycle, as drawn (rows from the drawn top, lifted by its sink).
  struct Body {
    int32_t left = 1 << 30, right = -(1 << 30), top = 1 << 30, bottom = -(1 << 30);
  };
  Body ImpBody(int32_t x, int32_t direction) {
    Body b;
    const int32_t i = Imp(x, direction);
    MonsterRecord& r = g.objects[i];
    const int32_t h = PictureHeight(engine.gfx, r.image);
    for (int32_t frame = 0; frame <= r.lastFrame; ++frame) {
      r.frame = frame;
      const int32_t top = MonsterTop(g, i);
      // The hit test reads the strip the pose is cut from (mirrored when
      // facing left).
      const int32_t strip = direction < 1 ? r.image + 1 : r.image;
      for (int32_t y = 0; y < h; ++y)
        for (int32_t c = 0; c < h; ++c)
          if (GetPixel(engine.gfx, strip, frame * h + c, y) != 0) {
            b.left = std::min(b.left, x - h / 2 + c);
            b.right = std::max(b.right, x - h / 2 + c);
            b.top = std::min(b.top, top + y);
            b.bottom = std::max(b.bottom, top + y);
          }
    }
    r.active = 0;
    return b;
  }

  // The player and the random source as they are, to swing again from
  // exactly here: the player's leg never quite rests, and a kill's flashes
  // draw from the random source too.
  struct Moment {
    routecheck::BodyState body;
    int32_t attackFrame, attackCooldown, attackLatch, prevAttackFrame;
  };
  Moment Save() {
    return {routecheck::SaveBody(g, engine.random), g.attackFrame, g.attackCooldown, g.attackLatch,
            g.prevAttackFrame};
  }
  void Restore(const Moment& m) {
    routecheck::RestoreBody(g, engine.random, m.body);
    g.attackFrame = m.attackFrame;
    g.attackCooldown = m.attackCooldown;
    g.attackLatch = m.attackLatch;
    g.prevAttackFrame = m.prevAttackFrame;
  }

  void CutsTheNearOneAndMissesTheOneJustBeyond(int32_t facing) {
    const int32_t ahead = facing == 2 ? 1 : -1;
    // Where an imp's body could be met: its rows and columns over a whole
    // walk cycle, facing the player.
    const int32_t probeX = kPlayerX + 200 * ahead;
    const Body body = ImpBody(probeX, -ahead);
    g.facing = facing;
    for (int32_t f = 0; f < 40; ++f) Frame(0);  // settle on the causeway
    ASSERT_NEAR(WholePixel(g.playerY), kFloor - 40, 6) << "standing on the causeway";
    const Moment rest = Save();
    const std::set<std::pair<int32_t, int32_t>> arc = Swing();
    ASSERT_GT(arc.size(), 500u) << "the blade leaves its marker on screen";
    int32_t reach = kPlayerX;
    for (const auto& [x, y] : arc)
      if (y >= body.top && y <= body.bottom) reach = ahead > 0 ? std::max(reach, x) : std::min(reach, x);
    ASSERT_GT((reach - kPlayerX) * ahead, 15) << "the blade comes down in front of the player";
    // Placed by the nearest column it ever fills: the far imp 2 pixels
    // beyond the reach, the near one 12 pixels inside it (too far off to
    // push the player either way).
    const int32_t nearEdge = ahead > 0 ? body.left - probeX : probeX - body.right;
    const int32_t farX = reach + ahead * (2 - nearEdge);
    const int32_t nearX = reach - ahead * (12 + nearEdge);
    ClearObjects(g);
    const int32_t far = Imp(farX, -ahead);
    Restore(rest);
    EXPECT_EQ(Swing(), arc) << "the same swing, drawn the same";
    EXPECT_EQ(g.objects[far].active, 1) << "the imp at " << farX << " is out of reach (" << reach << ")";
    EXPECT_EQ(WholePixel(g.objects[far].x), farX) << "it stood still";
    ClearObjects(g);
    const int32_t near = Imp(nearX, -ahead);
    Restore(rest);
    Swing();
    EXPECT_EQ(g.objects[near].active, 0) << "the imp in the arc at " << nearX << " is cut down";
    // Brought nearer a pixel at a time, the far one is soon within reach:
    // the reach is a boundary, not a guess.
    int32_t closer = 0;
    bool cut = false;
    while (!cut && closer < 30) {
      ++closer;
      ClearObjects(g);
      const int32_t i = Imp(farX - ahead * closer, -ahead);
      Restore(rest);
      Swing();
      cut = g.objects[i].active == 0;
    }
    EXPECT_TRUE(cut);
    EXPECT_LE(closer, 12) << "cut down only " << closer << " pixels nearer";
  }
};

TEST_F(SwordSwing, FacingRightCutsTheImpInTheArcAndMissesTheOneJustBeyond) {
  CutsTheNearOneAndMissesTheOneJustBeyond(2);
}

TEST_F(SwordSwing, FacingLeftCutsTheImpInTheArcAndMissesTheOneJustBeyond) {
  CutsTheNearOneAndMissesTheOneJustBeyond(1);
}

}  // namespace
