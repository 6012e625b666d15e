// The level pictures against the world plan: sizes, the room rules, the
// ways in, the shared edges, closed floors, the monsters' floors, and the
// agreement of mask, geometry and foreground.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <queue>
#include <set>

#include "datagen/generated_data_set.h"
#include "datagen/level_objects.h"
#include "datagen/world_geometry.h"
#include "datagen/world_sheet.h"
#include "gfx/picture_file.h"
#include "platform/platform.h"
#include "support/engine_test.h"
#include "worldplan/world_plan.h"

namespace {

namespace world = datagen::world;
constexpr int32_t kW = world::kWidth, kH = world::kHeight;

using Pic = vxtest::DataPicture;
Pic Read(const std::string& name) { return vxtest::ReadDataPicture(name); }

std::string Fore(int32_t level) { return "data/fore" + std::to_string(level + 1) + ".vx1"; }
std::string Mask(int32_t level) { return "data/fore" + std::to_string(level + 1) + "ph.vx1"; }

// The mask as the game tests it: solid where the pixel is not black; the
// game reads everything off the picture as free.
struct Solidity {
  Pic mask;
  bool operator()(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) return false;
    return (mask.At(x, y) & 0xffffff) != 0;
  }
};

Solidity Load(int32_t level) { return Solidity{Read(Mask(level))}; }

bool HasPictures(int32_t level) {
  for (int32_t l : world::kLevels)
    if (l == level) return true;
  return false;
}

// The room rules: which edges lead on.
bool RightOpen(int32_t l) { return l % 5 < 4 && l != 10 && l != 24; }
bool LeftOpen(int32_t l) { return l % 5 > 0 && l != 11 && l != 24; }
bool BottomOpen(int32_t l) { return l < 20 && l != 0 && l != 4 && !(l >= 6 && l <= 9); }

// The first solid row at or below y (kH when none).
int32_t FloorBelow(const Solidity& s, int32_t x, int32_t y) {
  while (y < kH && !s(x, y)) ++y;
  return y;
}

TEST(World, EveryLevelHasItsPicturesAtScreenSize) {
  ASSERT_FALSE(vxtest::GeneratedDataSet().empty());
  const Pic sky = Read("data/back1.vx1");
  EXPECT_EQ(sky.width, kW);
  EXPECT_EQ(sky.height, kH);
  for (int32_t level : world::kLevels) {
    for (const std::string& f : {Fore(level), Mask(level)}) {
      const Pic p = Read(f);
      EXPECT_EQ(p.width, kW) << f;
      EXPECT_EQ(p.height, kH) << f;
    }
  }
}

TEST(World, PlanFollowsTheRoomRulesAndLeadsFromTheStartToTheEnd) {
  std::set<std::pair<int32_t, int32_t>> ways;  // (from, to)
  for (const world::Entry& e : world::kEntries) {
    ASSERT_TRUE(HasPictures(e.level)) << e.level;
    switch (e.way) {
      case world::Way::Start:
        // The new-game position at an 800 x 600 screen (H' = 800).
        EXPECT_EQ(e.level, 2);
        EXPECT_EQ(e.x0, 185 * 800 / 512);
        EXPECT_EQ(e.y, 275 * 800 / 512);
        break;
      case world::Way::AtLeft:
        EXPECT_TRUE(LeftOpen(e.level) && RightOpen(e.level - 1)) << e.level;
        EXPECT_EQ(e.x0, 57);
        ways.insert({e.level - 1, e.level});
        break;
      case world::Way::AtRight:
        EXPECT_TRUE(RightOpen(e.level) && LeftOpen(e.level + 1)) << e.level;
        EXPECT_EQ(e.x0, 762);
        ways.insert({e.level + 1, e.level});
        break;
      case world::Way::AtTop: {
        EXPECT_EQ(e.y, 20);
        EXPECT_TRUE(BottomOpen(e.level - 5)) << e.level;
        bool covered = false;
        for (const world::Hole& h : world::kHoles)
          covered |= h.level == e.level - 5 && h.x0 >= e.x0 && h.x1 <= e.x1;
        EXPECT_TRUE(covered) << "no hole above level " << e.level;
        ways.insert({e.level - 5, e.level});
        break;
      }
    }
  }
  // Each side entry arrives where the level left behind has its floor.
  for (const world::SharedEdge& edge : world::kSharedEdges) {
    int sides = 0;
    for (const world::Entry& e : world::kEntries) {
      const bool here = (e.way == world::Way::AtLeft && e.level == edge.left + 1) ||
                        (e.way == world::Way::AtRight && e.level == edge.left);
      if (!here) continue;
      ++sides;
      EXPECT_EQ(e.floorY, edge.floorY) << e.level;
      EXPECT_EQ(e.y, edge.floorY - 43 - world::kRoomChangeLift) << e.level;
    }
    EXPECT_EQ(sides, 2) << "edge after level " << edge.left;
  }
  for (const world::Hole& h : world::kHoles) {
    EXPECT_TRUE(BottomOpen(h.level));
    const int32_t row = h.level / 5;
    EXPECT_EQ(h.gate, h.level == 10 ? 0 : row == 0 ? 119 : row == 1 ? 120 : 134) << h.level;
  }
  // Every level with pictures is reached from the start, and so is the end.
  std::set<int32_t> seen = {2};
  std::queue<int32_t> todo;
  todo.push(2);
  while (!todo.empty()) {
    const int32_t l = todo.front();
    todo.pop();
    for (const auto& [from, to] : ways)
      if (from == l && seen.insert(to).second) todo.push(to);
  }
  for (int32_t level : world::kLevels)
    EXPECT_TRUE(seen.count(level)) << "level " << level << " is out of reach";
}

TEST(World, MaskIsTheGeometryAndRow0ArtIsOpaqueWhereSolid) {
  for (int32_t level : world::kLevels) {
    const Solidity solid = Load(level);
    const Pic fore = Read(Fore(level));
    ASSERT_EQ(solid.mask.width, kW) << level;
    ASSERT_EQ(fore.width, kW) << level;
    const datagen::LevelGeometry g = datagen::BuildGeometry(level);
    int64_t differ = 0, holes = 0;
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < kW; ++x) {
        differ += solid(x, y) != g.Solid(x, y);
        // Black is the transparent key of the foreground, and the edge
        // softening clears pixels darker than a colour sum of 8: solid art
        // must stay above both, or the sky shows through the ground.
        const uint32_t p = fore.At(x, y);
        const uint32_t sum = (p & 255) + ((p >> 8) & 255) + ((p >> 16) & 255);
        if (solid(x, y) && sum < 8) ++holes;
      }
    EXPECT_EQ(differ, 0) << "level " << level;
    EXPECT_EQ(holes, 0) << "level " << level;
  }
  // Row 0 is drawn over the sky: most of its upper half is transparent.
  for (int32_t level = 0; level <= 4; ++level) {
    const Pic fore = Read(Fore(level));
    int64_t black = 0;
    for (int32_t y = 0; y < kH / 2; ++y)
      for (int32_t x = 0; x < kW; ++x) black += (fore.At(x, y) & 0xffffff) == 0;
    EXPECT_GT(black, kW * kH / 4) << "level " << level;
  }
}

TEST(World, EveryWayInIsFreeAndLandsOnItsFloor) {
  for (const world::Entry& e : world::kEntries) {
    const Solidity s = Load(e.level);
    ASSERT_EQ(s.mask.width, kW) << e.level;
    for (int32_t x : {e.x0, (e.x0 + e.x1) / 2, e.x1}) {
      SCOPED_TRACE("level " + std::to_string(e.level) + " at x " + std::to_string(x));
      int32_t blocked = 0;
      for (int32_t y = e.y - world::kBodyAboveCentre; y <= e.y + world::kLegBelowCentre; ++y)
        for (int32_t dx = -world::kBodyHalfWidth; dx <= world::kBodyHalfWidth; ++dx) blocked += s(x + dx, y);
      EXPECT_EQ(blocked, 0);
      // Straight down from the leg to the planned floor, nothing in the way.
      const int32_t floor = FloorBelow(s, x, e.y + world::kLegBelowCentre);
      if (e.floorY == world::kFloorBelow) {
        EXPECT_EQ(floor, kH);
      } else {
        EXPECT_EQ(floor, e.floorY);
        if (e.way != world::Way::AtTop) {
          EXPECT_LE(floor - (e.y + world::kLegBelowCentre), 40);
        }
        for (int32_t dx = -20; dx <= 20; dx += 10) EXPECT_TRUE(s(x + dx, e.floorY)) << dx;
      }
    }
  }
}

TEST(World, SharedEdgesMatchInFloorHeightWithHeadroom) {
  for (const world::SharedEdge& edge : world::kSharedEdges) {
    const Solidity left = Load(edge.left), right = Load(edge.left + 1);
    for (int32_t i = 0; i < world::kEdgeFlat; i += 5) {
      for (const auto& [s, x] : {std::pair{&left, kW - 1 - i}, std::pair{&right, i}}) {
        SCOPED_TRACE("edge after level " + std::to_string(edge.left) + ", x " + std::to_string(x));
        EXPECT_EQ(FloorBelow(*s, x, edge.floorY - world::kHeadroom), edge.floorY);
      }
    }
  }
}

// Free pixels connected to the level's ways in (a superset of where the
// player can get).
std::vector<uint8_t> Reachable(const Solidity& s, int32_t level) {
  std::vector<uint8_t> seen(static_cast<size_t>(kW) * kH, 0);
  std::queue<std::pair<int32_t, int32_t>> todo;
  for (const world::Entry& e : world::kEntries)
    if (e.level == level) todo.push({e.x0, e.y});
  while (!todo.empty()) {
    const auto [x, y] = todo.front();
    todo.pop();
    if (x < 0 || y < 0 || x >= kW || y >= kH || s(x, y)) continue;
    uint8_t& v = seen[static_cast<size_t>(y) * kW + x];
    if (v) continue;
    v = 1;
    todo.push({x + 1, y});
    todo.push({x - 1, y});
    todo.push({x, y + 1});
    todo.push({x, y - 1});
  }
  return seen;
}

TEST(World, FloorsAreClosedExceptAtThePlannedHoles) {
  for (int32_t level : world::kLevels) {
    const Solidity s = Load(level);
    ASSERT_EQ(s.mask.width, kW);
    const std::vector<uint8_t> reach = Reachable(s, level);
    std::vector<const world::Hole*> holes;
    for (const world::Hole& h : world::kHoles)
      if (h.level == level) holes.push_back(&h);
    int32_t open = 0, stray = 0;
    for (int32_t x = 0; x < kW; ++x) {
      if (!reach[static_cast<size_t>(kH - 1) * kW + x]) continue;
      bool planned = false;
      for (const world::Hole* h : holes) planned |= x >= h->x0 - 20 && x <= h->x1 + 20;
      (planned ? open : stray) += 1;
    }
    EXPECT_EQ(stray, 0) << "level " << level << " is open at the bottom where no hole is planned";
    for (const world::Hole* h : holes) {
      for (int32_t x = h->x0; x < h->x1; ++x)
        EXPECT_TRUE(reach[static_cast<size_t>(kH - 1) * kW + x]) << "level " << level << " hole at " << x;
    }
    if (holes.empty()) {
      EXPECT_EQ(open, 0);
    }
  }
}

TEST(World, MonstersAndPickupsHaveTheirRoom) {
  for (const world::Zone& z : world::kZones) {
    const Solidity s = Load(z.level);
    SCOPED_TRACE("level " + std::to_string(z.level) + " zone at x " + std::to_string(z.x0));
    switch (z.kind) {
      case world::ZoneKind::Walker:
      case world::ZoneKind::Jumper:
        EXPECT_GE(z.x1 - z.x0, z.kind == world::ZoneKind::Walker ? 200 : 160);
        [[fallthrough]];
      case world::ZoneKind::Pickup:
        for (int32_t x = z.x0; x <= z.x1; x += 4) {
          const int32_t floor = FloorBelow(s, x, z.y0 - world::kHeadroom);
          EXPECT_NEAR(floor, z.y0, 3) << x;
        }
        break;
      case world::ZoneKind::Flyer: {
        int32_t blocked = 0;
        for (int32_t y = z.y0; y <= z.y1; y += 2)
          for (int32_t x = z.x0; x <= z.x1; x += 2) blocked += s(x, y);
        EXPECT_EQ(blocked, 0);
        break;
      }
    }
  }
}

// The level script lights lamps at fixed points (x, y in 1/1024 of the width
// and of 800): each must fall on a lantern or lit window of the picture.
TEST(World, LampsOfTheLevelScriptsShineOnLanterns) {
  struct Lamp {
    int32_t level, x, y;
  };
  const Lamp lamps[] = {{1, 232, 572}, {1, 242, 570}, {1, 268, 572}, {1, 276, 570}, {1, 440, 672},
                        {1, 444, 670}, {1, 450, 674}, {1, 454, 674}, {2, 120, 490}, {2, 125, 486},
                        {2, 153, 486}, {2, 158, 490}, {4, 220, 254}, {4, 254, 254}};
  for (const Lamp& l : lamps) {
    const Pic fore = Read(Fore(l.level));
    ASSERT_EQ(fore.width, kW);
    const int32_t cx = l.x * kW >> 10, cy = l.y * 800 >> 10;
    int32_t warm = 0;
    for (int32_t y = cy - 14; y <= cy + 14; ++y)
      for (int32_t x = cx - 14; x <= cx + 14; ++x) {
        const uint32_t p = fore.At(x, y);
        const int32_t r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
        warm += r > 120 && r > g && g > b + 20;
      }
    EXPECT_GT(warm, 10) << "lamp of level " << l.level << " at (" << cx << ", " << cy << ")";
  }
}

TEST(World, SkyHasStarsToTwinkleAndAMoon) {
  const Pic sky = Read("data/back1.vx1");
  ASSERT_EQ(sky.width, kW);
  // The level script spawns twinkles on sky pixels of colour sum 350..600
  // above y = 281: stars, single points brighter than the sky on both sides.
  // The moon is the brightest thing in the picture.
  auto sum = [&](int32_t x, int32_t y) {
    const uint32_t p = sky.At(x, y);
    return static_cast<int32_t>((p & 255) + ((p >> 8) & 255) + ((p >> 16) & 255));
  };
  int32_t stars = 0, moon = 0;
  for (int32_t y = 0; y < 281; ++y)
    for (int32_t x = 1; x < kW - 1; ++x) {
      const int32_t v = sum(x, y);
      stars += v >= 350 && v <= 600 && sum(x - 1, y) < v - 150 && sum(x + 1, y) < v - 150;
      moon += v > 600;
    }
  EXPECT_GT(stars, 150);
  EXPECT_GT(moon, 2000);
}

// Reads an RGB PNG; empty when it cannot.
std::vector<uint8_t> ReadPng(const std::string& file, int32_t& width, int32_t& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  std::vector<uint8_t> rgb;
  if (png_image_begin_read_from_file(&image, file.c_str()) == 0) return rgb;
  image.format = PNG_FORMAT_RGB;
  rgb.resize(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0) rgb.clear();
  width = static_cast<int32_t>(image.width);
  height = static_cast<int32_t>(image.height);
  return rgb;
}

// The sheet that `vxdata --world-sheet` draws, drawn here from the shared
// data set rather than from a folder generated for it.
class WorldSheet : public vxtest::EngineTest {};

TEST_F(WorldSheet, ShowsEachLevelInItsCellWithItsExits) {
  ASSERT_FALSE(vxtest::GeneratedDataSet().empty());
  const std::string png = (folder / "world.png").string();
  ASSERT_TRUE(datagen::WriteWorldSheet(vxtest::GeneratedDataSet(), png));
  platform::Install(backend.get());  // the sheet's own device is gone
  int32_t w = 0, h = 0;
  const std::vector<uint8_t> rgb = ReadPng(png, w, h);
  ASSERT_FALSE(rgb.empty());
  // Five cells of half a screen across with 12-pixel gaps, five rows down
  // under a title line.
  constexpr int32_t kCellW = 400, kCellH = 300, kGap = 12, kTitle = 34, kRow = kCellH + 20 + kGap;
  EXPECT_EQ(w, 5 * kCellW + 6 * kGap);
  EXPECT_EQ(h, kTitle + 5 * kRow + kGap);
  auto at = [&](int32_t level, int32_t x, int32_t y) {
    const int32_t sx = kGap + (level % 5) * (kCellW + kGap) + x / 2, sy = kTitle + (level / 5) * kRow + y / 2;
    const size_t i = (static_cast<size_t>(sy) * w + sx) * 3;
    return std::array<int32_t, 3>{rgb[i], rgb[i + 1], rgb[i + 2]};
  };
  // A level without pictures is an empty cell of one colour; one with
  // pictures is not.
  for (int32_t level : {11, 12, 13, 14, 20, 21, 22, 23}) {
    const auto c = at(level, 400, 300);
    EXPECT_EQ(c, at(level, 100, 100)) << level;
    EXPECT_EQ(c, at(level, 700, 500)) << level;
  }
  for (int32_t level : world::kLevels) EXPECT_NE(at(level, 400, 300), at(level, 100, 100)) << level;
  // The exit arrows: green at the open edges, orange over the gated holes.
  auto greenNear = [&](int32_t level, int32_t x, int32_t y) {
    int32_t n = 0;
    for (int32_t dy = -20; dy <= 20; dy += 2)
      for (int32_t dx = -30; dx <= 30; dx += 2) {
        const auto c = at(level, std::clamp(x + dx, 0, kW - 1), std::clamp(y + dy, 0, kH - 1));
        n += c[1] > 200 && c[0] < 150 && c[2] < 150;
      }
    return n;
  };
  for (const world::SharedEdge& e : world::kSharedEdges) {
    EXPECT_GT(greenNear(e.left, kW - 30, e.floorY - 60), 3) << "right edge of " << e.left;
    EXPECT_GT(greenNear(e.left + 1, 30, e.floorY - 60), 3) << "left edge of " << e.left + 1;
  }
  EXPECT_EQ(greenNear(4, kW - 30, 400), 0) << "the closed east end of row 0";
  for (const world::Hole& hole : world::kHoles) {
    const auto c = at(hole.level, (hole.x0 + hole.x1) / 2, kH - 6);
    if (hole.gate != 0) {
      EXPECT_TRUE(c[0] > 200 && c[1] > 100 && c[1] < 200 && c[2] < 100) << "gated hole of " << hole.level;
    } else {
      EXPECT_TRUE(c[1] > 200 && c[0] < 150) << "open hole of " << hole.level;
    }
  }
  // The placed creatures as the game draws them at level entry: every big
  // monster shows its health bar's green over its body (the ground boss's
  // longer bar over its head).
  auto barNear = [&](int32_t level, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    int32_t n = 0;
    for (int32_t y = std::max(y0, 0); y <= std::min(y1, kH - 1); y += 2)
      for (int32_t x = std::max(x0, 0); x <= std::min(x1, kW - 1); x += 2) {
        const auto c = at(level, x, y);
        n += c[1] > 150 && c[0] < 60 && c[2] > 60 && c[2] < 140;
      }
    return n;
  };
  int32_t bars = 0;
  for (const datagen::LevelObjects& level : datagen::LevelObjectPlan())
    for (const datagen::PlacedObject& o : level.objects) {
      if (o.code == 28) {
        EXPECT_GT(barNear(level.level, o.x - 40, o.y - 170, o.x + 40, o.y - 140), 5)
            << "the boss of " << level.level;
        ++bars;
      } else if (o.code == 17 || o.code == 19 || o.code == 24 || o.code == 26 || o.code == 32) {
        EXPECT_GT(barNear(level.level, o.x - 24, o.y - 60, o.x + 24, o.y - 20), 3)
            << "the creature " << o.code << " of " << level.level;
        ++bars;
      }
    }
  EXPECT_GE(bars, 8);
}

}  // namespace
