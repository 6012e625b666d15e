// The creature pictures of the generated data set against the rules the
// monster code draws and tests them by: frame counts, where walkers and
// jumpers stand on the mask, wall probes, the boss's crush box, the points
// shots leave from, holes that black-keying would punch, and the body
// pieces that the loader's own cut makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/loading.h"
#include "datagen/generated_data_set.h"
#include "gfx/image_slots.h"
#include "gfx/picture_file.h"
#include "shell/globals.h"
#include "shell/window.h"
#include "support/engine_test.h"

namespace {

namespace fs = std::filesystem;

struct Pic : vxtest::DataPicture {
  uint32_t at(int32_t x, int32_t y) const { return At(x, y); }
  bool solid(int32_t x, int32_t y) const { return (at(x, y) & 0xffffffu) != 0; }
  int32_t frames() const { return height > 0 ? width / height : 0; }
};

int32_t Sum(uint32_t p) { return static_cast<int32_t>((p & 255) + ((p >> 8) & 255) + ((p >> 16) & 255)); }
int32_t Red(uint32_t p) { return static_cast<int32_t>((p >> 16) & 255); }

Pic Read(const std::string& name) { return {vxtest::ReadDataPicture(name)}; }

// One frame's opaque extent.
struct Extent {
  int32_t left = 1 << 30, right = -1, top = 1 << 30, bottom = -1, count = 0;
};
Extent FrameExtent(const Pic& p, int32_t frame) {
  Extent e;
  const int32_t h = p.height;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t c = 0; c < h; ++c)
      if (p.solid(frame * h + c, y)) {
        e.left = std::min(e.left, c);
        e.right = std::max(e.right, c);
        e.top = std::min(e.top, y);
        e.bottom = std::max(e.bottom, y);
        ++e.count;
      }
  return e;
}

struct Creature {
  const char* file;
  int32_t poses;               // the loader's pose count (the boss has none: its strip's frames)
  int32_t lastFrame, divisor;  // from the spawn table
  int32_t minSide, maxSide;
};
constexpr Creature kCreatures[] = {
    {"data/daemon3.vx1", 6, 5, 1, 64, 90},     {"data/daemon2.vx1", 6, 11, 2, 64, 90},
    {"data/daemon4.vx1", 9, 8, 1, 64, 90},     {"data/daemon5.vx1", 6, 11, 2, 64, 90},
    {"data/daemon6.vx1", 6, 11, 2, 64, 90},    {"data/daemon7.vx1", 2, 15, 8, 170, 190},
    {"data/daemon8.vx1", 5, 19, 4, 120, 200},  {"data/daemon9.vx1", 5, 9, 2, 48, 100},
    {"data/daemon10.vx1", 3, 11, 4, 100, 200}, {"data/daemon11.vx1", 3, 11, 4, 100, 200},
    {"data/daemon13.vx1", 5, 19, 4, 250, 300}, {"data/daemon14.vx1", 5, 19, 4, 170, 190},
};

TEST(CreatureArt, StripsHoldSquareFramesOnePerPoseAndEveryPoseMoves) {
  for (const Creature& c : kCreatures) {
    SCOPED_TRACE(c.file);
    // The frame counter runs 0..lastFrame and shows frame / divisor.
    EXPECT_EQ((c.lastFrame + 1) / c.divisor, c.poses);
    const Pic p = Read(c.file);
    ASSERT_GT(p.height, 0);
    EXPECT_EQ(p.width, p.height * c.poses);
    EXPECT_GE(p.height, c.minSide);
    EXPECT_LE(p.height, c.maxSide);
    for (int32_t f = 0; f < c.poses; ++f) {
      EXPECT_GT(FrameExtent(p, f).count, p.height * p.height / 12) << "frame " << f;
      // Each pose differs from the next (legs, wings, eyes move).
      const int32_t g = (f + 1) % c.poses;
      int32_t changed = 0;
      for (int32_t y = 0; y < p.height; ++y)
        for (int32_t x = 0; x < p.height; ++x)
          changed += p.at(f * p.height + x, y) != p.at(g * p.height + x, y) ? 1 : 0;
      EXPECT_GT(changed, p.height * p.height / 50) << "frames " << f << " and " << g;
    }
  }
}

// How far the game lifts a pose (the frame `frame` of `p`) drawn with its
// top at `top` over a mask that is solid from row `groundY` down: the
// largest d (depth, depth - 2, ...) for which a sampled opaque pixel of the
// lower three eighths, raised by d, is still on solid mask.
int32_t SinkOnFlatGround(const Pic& p, int32_t frame, int32_t top, int32_t groundY, int32_t depth) {
  const int32_t h = p.height;
  int32_t best = 0;
  for (int32_t r = 5 * h / 8; r < h; r += 2) {
    int32_t first = -1, last = -1;
    for (int32_t c = 0; c < h; ++c)
      if (p.solid(frame * h + c, r)) {
        if (first < 0) first = c;
        last = c;
      }
    if (first < 0) continue;
    for (int32_t c = first; c <= last; c += 2) {
      if (!p.solid(frame * h + c, r)) continue;
      for (int32_t d = depth; d >= 0; d -= 2)
        if (top + r - d >= groundY) {
          best = std::max(best, d);
          break;
        }
    }
  }
  return best;
}

struct Walker {
  const char* file;
  int32_t depth;
};
constexpr Walker kWalkers[] = {{"data/daemon3.vx1", 40},
                               {"data/daemon2.vx1", 35},
                               {"data/daemon4.vx1", 40},
                               {"data/daemon5.vx1", 40},
                               {"data/daemon6.vx1", 40}};

TEST(CreatureArt, WalkersRestOnTheGroundLineOnceLifted) {
  // A walker stands with its foot probe (py + 15) on the mask; falling, it
  // stops 3 to 5 pixels into the ground; so the ground line lies 10 to 15
  // below py. Its lowest row must end on that line (within a pixel or two),
  // neither floating above it nor left sunk into it.
  for (const Walker& w : kWalkers) {
    SCOPED_TRACE(w.file);
    const Pic p = Read(w.file);
    ASSERT_GT(p.height, 0);
    const int32_t h = p.height, py = 300;
    for (int32_t f = 0; f < p.frames(); ++f) {
      const Extent e = FrameExtent(p, f);
      for (int32_t g = 10; g <= 15; ++g) {
        const int32_t groundY = py + g;
        const int32_t top = py - h / 2 - SinkOnFlatGround(p, f, py - h / 2, groundY, w.depth);
        const int32_t lowest = top + e.bottom;
        EXPECT_GE(lowest, groundY - 2) << "frame " << f << " floats over ground at py + " << g;
        EXPECT_LE(lowest, groundY + 1) << "frame " << f << " sunk into ground at py + " << g;
      }
    }
  }
}

TEST(CreatureArt, WalkersFitTheirWallProbes) {
  // Walls are felt 25 pixels either side, 35 above py (45 to 50 above the
  // ground line): the body reaches about that far out and that high.
  for (const Walker& w : kWalkers) {
    SCOPED_TRACE(w.file);
    const Pic p = Read(w.file);
    ASSERT_GT(p.height, 0);
    const int32_t centre = p.height / 2;
    for (int32_t f = 0; f < p.frames(); ++f) {
      const Extent e = FrameExtent(p, f);
      EXPECT_GE(e.left, centre - 31) << "frame " << f;
      EXPECT_LE(e.right, centre + 31) << "frame " << f;
      EXPECT_LE(e.left, centre - 12) << "frame " << f;
      EXPECT_GE(e.right, centre + 12) << "frame " << f;
      EXPECT_LE(e.top, e.bottom - 45) << "frame " << f;
    }
  }
}

TEST(CreatureArt, JumpersStandOnTheirMaskPointsAndSpanTheirWallProbes) {
  for (const char* file : {"data/daemon7.vx1", "data/daemon14.vx1"}) {
    SCOPED_TRACE(file);
    const Pic p = Read(file);
    ASSERT_GT(p.height, 0);
    const int32_t h = p.height, centre = h / 2;
    for (int32_t f = 0; f < p.frames(); ++f) {
      const Extent e = FrameExtent(p, f);
      // Drawn at py - h/2 + 10, standing on mask points py + 90 .. py + 97.
      const int32_t soles = -h / 2 + 10 + e.bottom;
      EXPECT_GE(soles, 90) << "frame " << f;
      EXPECT_LE(soles, 97) << "frame " << f;
      // Feet near the points 40 either side of the centre.
      for (int32_t side : {-40, 40}) {
        bool foot = false;
        for (int32_t y = e.bottom - 5; y <= e.bottom; ++y)
          for (int32_t c = centre + side - 14; c <= centre + side + 14; ++c)
            foot = foot || p.solid(f * h + c, y);
        EXPECT_TRUE(foot) << "frame " << f << " side " << side;
      }
      // Walls are felt 80 out.
      EXPECT_LE(e.left, centre - 60) << "frame " << f;
      EXPECT_GE(e.right, centre + 60) << "frame " << f;
      EXPECT_GE(e.left, centre - 90) << "frame " << f;
      EXPECT_LE(e.right, centre + 90) << "frame " << f;
    }
  }
}

TEST(CreatureArt, GroundBossFillsItsCrushBoxStandsOnItsFrameAndGazesFromTheLeft) {
  const Pic p = Read("data/daemon13.vx1");
  ASSERT_GT(p.height, 0);
  const int32_t h = p.height;
  for (int32_t f = 0; f < p.frames(); ++f) {
    int32_t inside = 0, total = 0;
    for (int32_t y = 50; y <= h - 50; ++y)
      for (int32_t x = 50; x <= h - 50; ++x, ++total) inside += p.solid(f * h + x, y) ? 1 : 0;
    EXPECT_GT(inside * 10, total * 8) << "frame " << f << ": the crush box is mostly body";
    EXPECT_GE(FrameExtent(p, f).bottom, h - 4) << "frame " << f;
    // The sweeping shot starts at (px - 135, py - 40): the eye is there.
    int32_t bright = 0;
    for (int32_t y = h / 2 - 40 - 12; y <= h / 2 - 40 + 12; ++y)
      for (int32_t x = std::max(0, h / 2 - 135 - 4); x <= h / 2 - 135 + 24; ++x)
        bright += Sum(p.at(f * h + x, y)) > 450 ? 1 : 0;
    EXPECT_GT(bright, 10) << "frame " << f;
  }
}

// A glowing pixel (red above 200) within `r` of (x, y) of frame `f`.
bool GlowNear(const Pic& p, int32_t f, int32_t x, int32_t y, int32_t r) {
  for (int32_t yy = std::max(0, y - r); yy <= std::min(p.height - 1, y + r); ++yy)
    for (int32_t xx = std::max(0, x - r); xx <= std::min(p.height - 1, x + r); ++xx)
      if (Red(p.at(f * p.height + xx, yy)) > 200) return true;
  return false;
}

TEST(CreatureArt, ShotsLeaveFromGlowingPartsOfTheBody) {
  struct Muzzle {
    const char* file;
    int32_t (*x)(int32_t h);
    int32_t (*y)(int32_t h);
    int32_t frames;  // poses that fire
  };
  const Muzzle muzzles[] = {
      // The caster's third eye: (px, top + h/4).
      {"data/daemon2.vx1", [](int32_t h) { return h / 2; }, [](int32_t h) { return h / 4; }, 6},
      // The spitter's mouth, facing right.
      {"data/daemon5.vx1", [](int32_t h) { return h / 2 + h / 2 / 3 + h / 2 / 9; },
       [](int32_t h) { return h / 2 / 2 + h / 2 / 3 + h / 2 / 10; }, 6},
      // The lobber's crater, in the three poses that lob.
      {"data/daemon6.vx1", [](int32_t h) { return h / 2 + h / 2 / 10; },
       [](int32_t h) { return h / 2 / 3 + h / 2 / 8; }, 3},
      // The toad's furnace: (px, top + h/2 + 19), drawn 10 lower.
      {"data/daemon7.vx1", [](int32_t h) { return h / 2; }, [](int32_t h) { return h / 2 + 19 - 10; }, 2},
      // The hoverers' maws: (px, top + h/2 + h/5 + 4).
      {"data/daemon10.vx1", [](int32_t h) { return h / 2; }, [](int32_t h) { return h / 2 + h / 5 + 4; }, 3},
      {"data/daemon11.vx1", [](int32_t h) { return h / 2; }, [](int32_t h) { return h / 2 + h / 5 + 4; }, 3},
      // The brood stalker lets its brood out at (px, top + h/4), drawn 10 lower.
      {"data/daemon14.vx1", [](int32_t h) { return h / 2; }, [](int32_t h) { return h / 4 - 10; }, 5},
  };
  for (const Muzzle& m : muzzles) {
    SCOPED_TRACE(m.file);
    const Pic p = Read(m.file);
    ASSERT_GT(p.height, 0);
    for (int32_t f = 0; f < m.frames; ++f)
      EXPECT_TRUE(GlowNear(p, f, m.x(p.height), m.y(p.height), 5)) << "frame " << f;
  }
}

TEST(CreatureArt, BodiesHaveNoHolesThatBlackKeyingOrEdgeSofteningWouldPunch) {
  std::vector<std::string> files;
  for (const Creature& c : kCreatures) files.push_back(c.file);
  for (const char* f : {"data/stpr1.vx1", "data/stpr2.vx1", "data/stpr3.vx1", "data/gnpr1.vx1",
                        "data/fstone1.vx1", "data/fstone2.vx1", "data/fstone3.vx1"})
    files.push_back(f);
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    const Pic p = Read(file);
    ASSERT_GT(p.height, 0);
    const int32_t h = p.height;
    for (int32_t f = 0; f < p.frames(); ++f) {
      // Black reached from the frame's border is background; any other
      // black pixel is a hole in the body.
      std::vector<uint8_t> seen(static_cast<size_t>(h) * h, 0);
      std::vector<std::pair<int32_t, int32_t>> todo;
      auto push = [&](int32_t x, int32_t y) {
        if (x < 0 || y < 0 || x >= h || y >= h || seen[static_cast<size_t>(y) * h + x]) return;
        if (p.solid(f * h + x, y)) return;
        seen[static_cast<size_t>(y) * h + x] = 1;
        todo.emplace_back(x, y);
      };
      for (int32_t i = 0; i < h; ++i) push(i, 0), push(i, h - 1), push(0, i), push(h - 1, i);
      while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        push(x + 1, y), push(x - 1, y), push(x, y + 1), push(x, y - 1);
      }
      int32_t holes = 0, faint = 0;
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < h; ++x) {
          const uint32_t v = p.at(f * h + x, y);
          if (!p.solid(f * h + x, y) && !seen[static_cast<size_t>(y) * h + x]) ++holes;
          if (p.solid(f * h + x, y) && Sum(v) <= 7) ++faint;  // edge softening counts these as dark
        }
      EXPECT_EQ(holes, 0) << "frame " << f;
      EXPECT_EQ(faint, 0) << "frame " << f;
    }
  }
}

TEST(CreatureArt, ShotsGlowOnBlackAndFragmentsAndRocksHaveTheirSizes) {
  for (const char* file :
       {"data/bullet1.vx1", "data/bullet2.vx1", "data/blpr1.vx1", "data/blpr2.vx1", "data/blpr3.vx1"}) {
    SCOPED_TRACE(file);
    const Pic p = Read(file);
    ASSERT_GT(p.height, 0);
    EXPECT_EQ(p.width, p.height);  // one frame: drawn whole, spun about its centre
    // Added onto the screen (or, for the shards, half their brightness as
    // opacity): black at the border, bright inside.
    int32_t border = 0, brightest = 0;
    for (int32_t i = 0; i < p.height; ++i)
      border = std::max(
          {border, Sum(p.at(i, 0)), Sum(p.at(i, p.height - 1)), Sum(p.at(0, i)), Sum(p.at(p.height - 1, i))});
    for (uint32_t v : p.pixels) brightest = std::max(brightest, Sum(v));
    EXPECT_EQ(border, 0);
    EXPECT_GT(brightest, 500);
  }
  const Pic shot = Read("data/bullet1.vx1");
  EXPECT_GE(shot.height, 16);
  EXPECT_LE(shot.height, 48);
  // Rocks hurt within about 30 pixels of their centre.
  for (const char* file : {"data/fstone1.vx1", "data/fstone2.vx1", "data/fstone3.vx1"}) {
    const Pic p = Read(file);
    EXPECT_EQ(p.width, p.height) << file;
    EXPECT_GE(p.height, 32) << file;
    EXPECT_LE(p.height, 64) << file;
  }
  for (const char* file : {"data/stpr1.vx1", "data/stpr2.vx1", "data/stpr3.vx1", "data/gnpr1.vx1"}) {
    const Pic p = Read(file);
    EXPECT_EQ(p.width, p.height) << file;
    EXPECT_LE(p.height, 32) << file;
    EXPECT_GT(FrameExtent(p, 0).count, p.height * p.height / 6) << file;
  }
}

TEST(CreatureArt, DangerWarningFlanksThePlayerAndLeavesTheBodyClear) {
  // Drawn at (x - 50, y - 20) of the player's centre (x, y); the player's
  // body is about 80 high and 40 wide round that centre.
  const Pic p = Read("data/megbord.vx1");
  ASSERT_GT(p.height, 0);
  EXPECT_LE(p.width, 120);
  int32_t overBody = 0, red = 0, dim = 0;
  for (int32_t y = 0; y < p.height; ++y)
    for (int32_t x = 0; x < p.width; ++x) {
      const uint32_t v = p.at(x, y);
      if (!p.solid(x, y)) continue;
      if (x >= 50 - 22 && x <= 50 + 18 && y <= 20 + 38) ++overBody;
      if (Red(v) > 180 && Red(v) > 2 * static_cast<int32_t>((v >> 8) & 255)) ++red;
      if (Sum(v) < 40) ++dim;  // would show as an opaque dark haze
    }
  EXPECT_EQ(overBody, 0);
  EXPECT_GT(red, 150);
  EXPECT_EQ(dim, 0);
}

// The loader's own cut: strips loaded and prepared by the creature step,
// their first frames split by MakeBodyPieces into three pieces each.
class CreaturePieces : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartWindowed();
    LinkGeneratedData();
  }
};

TEST_F(CreaturePieces, EachPieceIsAFairShareOfTheCreature) {
  LoadAssetsStep(game.levelPictures, game.level, 6, engine.gfx, engine.effects, engine.sound);
  LoadAssetsStep(game.levelPictures, game.level, 7, engine.gfx, engine.effects, engine.sound);
  GfxContext& g = engine.gfx;
  for (int32_t strip : {120, 126, 132, 150, 156, 162, 167, 172, 177, 182, 187, 192, 138}) {
    SCOPED_TRACE(strip);
    ASSERT_TRUE(HasPixels(g, strip));
    const int32_t h = PictureHeight(g, strip);
    int32_t whole = 0;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < h; ++x) whole += (GetPixel(g, strip, x, y) >> 24) != 0 ? 1 : 0;
    for (int32_t piece = strip + 2; piece <= strip + 4; ++piece) {
      ASSERT_TRUE(HasPixels(g, piece)) << piece;
      int32_t count = 0;
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < h; ++x) count += (GetPixel(g, piece, x, y) >> 24) != 0 ? 1 : 0;
      // No empty piece and no crumb: every piece carries a visible part of
      // the body. (The upper-left piece is the triangle above the line from
      // a third of the top edge down to the cut: for a body standing in the
      // middle of its frame it holds only horns, spines or a crest.)
      EXPECT_GT(count * 100, whole) << "piece " << piece << ": " << count << " of " << whole;
      EXPECT_GT(count, 30) << "piece " << piece;
    }
  }
}

}  // namespace
