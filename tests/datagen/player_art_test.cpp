// The player's pictures in the generated game folder: the strip sizes the
// pose pictures rely on, the marker pixels the weapon is warped onto, the
// swing and the recoil they describe, the fist on the grip, the leg's soles
// where the leg probes rest, sprites without holes, and swords bright
// enough for their hits to be seen.
#include "datagen/player_art.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "datagen/generated_data_set.h"
#include "datagen/player_pose.h"
#include "datagen/player_preview.h"
#include "gfx/image_slots.h"
#include "gfx/picture_file.h"

namespace {

using datagen::MarkerQuad;
using datagen::PixelPoint;

struct Pic : vxtest::DataPicture {
  uint32_t at(int32_t x, int32_t y) const { return At(x, y) & 0xffffffu; }
};

Pic Read(const std::string& name) { return {vxtest::ReadDataPicture(name)}; }

// The marker pixels of one frame, with how often each colour occurs.
struct FoundMarkers {
  MarkerQuad q;
  int count[4] = {0, 0, 0, 0};
  int others = 0;  // pixels that are neither black nor a marker
};

FoundMarkers Scan(const Pic& strip, int frame) {
  FoundMarkers f;
  const int32_t h = strip.height;
  const uint32_t colours[4] = {datagen::kMarkerRed & 0xffffffu, datagen::kMarkerGreen & 0xffffffu,
                               datagen::kMarkerBlue & 0xffffffu, datagen::kMarkerMagenta & 0xffffffu};
  PixelPoint* points[4] = {&f.q.red, &f.q.green, &f.q.blue, &f.q.magenta};
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < h; ++x) {
      const uint32_t v = strip.at(frame * h + x, y);
      bool marker = false;
      for (int c = 0; c < 4; ++c)
        if (v == colours[c]) *points[c] = {x, y}, ++f.count[c], marker = true;
      if (!marker && v != 0) ++f.others;
    }
  return f;
}

struct Vec {
  double x, y;
};
Vec Mid(PixelPoint a, PixelPoint b) { return {(a.x + b.x) / 2.0, (a.y + b.y) / 2.0}; }
double Length(PixelPoint a, PixelPoint b) { return std::hypot(b.x - a.x, b.y - a.y); }
// Direction from the grip end to the far end, degrees, negative upwards.
double Direction(const MarkerQuad& q) {
  const Vec g = Mid(q.red, q.blue), t = Mid(q.green, q.magenta);
  return std::atan2(t.y - g.y, t.x - g.x) * 180 / 3.14159265358979;
}

// The charms' changes to the quad, as the pose building makes them.
MarkerQuad Charmed(MarkerQuad q, bool longBlade, bool broadBlade) {
  if (longBlade) {
    q.green = {q.green.x + (q.green.x - q.red.x) / 2, q.green.y + (q.green.y - q.red.y) / 2};
    q.magenta = {q.magenta.x + (q.magenta.x - q.blue.x) / 2, q.magenta.y + (q.magenta.y - q.blue.y) / 2};
  }
  if (broadBlade) {
    for (auto [a, b] : {std::pair{&q.red, &q.blue}, std::pair{&q.green, &q.magenta}}) {
      const int32_t dx = a->x - (a->x + b->x) / 2, dy = a->y - (a->y + b->y) / 2;
      *a = {a->x + dx / 2, a->y + dy / 2};
      *b = {b->x - dx / 2, b->y - dy / 2};
    }
    q.green = {q.green.x + (q.green.x - q.red.x) * 8 / 28, q.green.y + (q.green.y - q.red.y) * 8 / 28};
    q.magenta = {q.magenta.x + (q.magenta.x - q.blue.x) * 8 / 28,
                 q.magenta.y + (q.magenta.y - q.blue.y) * 8 / 28};
  }
  return q;
}

struct Strip {
  const char* body;
  const char* markers;
  datagen::BodyKind kind;
  std::vector<const char*> weapons;
};
const Strip kStrips[] = {
    {"data/mz2.vx1", "data/mz2w.vx1", datagen::BodyKind::Sword, {"data/nihonto1.vx1", "data/sword3.vx1"}},
    {"data/mz4.vx1", "data/mz4w.vx1", datagen::BodyKind::Gun, {"data/gun1.vx1", "data/gun2.vx1"}},
};

TEST(PlayerArt, BodyStripsHoldElevenSquareFramesThatFitThePosePictures) {
  for (const Strip& s : kStrips) {
    const Pic body = Read(s.body), markers = Read(s.markers);
    ASSERT_GT(body.height, 0) << s.body;
    EXPECT_LE(body.height, 80) << s.body << ": 2 * half + 160 must fit the 240-pixel poses";
    EXPECT_EQ(body.width, 11 * body.height) << s.body;
    EXPECT_EQ(markers.width, body.width) << s.markers;
    EXPECT_EQ(markers.height, body.height) << s.markers;
  }
  // The left-facing strips are mirrors drawn at one offset for both bodies.
  EXPECT_EQ(Read("data/mz2.vx1").height, Read("data/mz4.vx1").height);
}

TEST(PlayerArt, EveryFrameHasEachMarkerColourOnceAwayFromTheEdge) {
  for (const Strip& s : kStrips) {
    const Pic strip = Read(s.markers);
    ASSERT_GT(strip.height, 0) << s.markers;
    for (int f = 0; f < 11; ++f) {
      SCOPED_TRACE(std::string(s.markers) + " frame " + std::to_string(f));
      const FoundMarkers m = Scan(strip, f);
      for (int c = 0; c < 4; ++c) EXPECT_EQ(m.count[c], 1) << "colour " << c;
      EXPECT_EQ(m.others, 0) << "the strip is black but for the markers";
      for (const PixelPoint p : {m.q.red, m.q.green, m.q.blue, m.q.magenta}) {
        EXPECT_GE(p.x, 1);
        EXPECT_GE(p.y, 1);
        EXPECT_LE(p.x, strip.height - 2);
        EXPECT_LE(p.y, strip.height - 2);
      }
    }
  }
}

TEST(PlayerArt, QuadsKeepTheWeaponPicturesUnflippedAndInProportion) {
  for (const Strip& s : kStrips) {
    const Pic strip = Read(s.markers);
    for (const char* weapon : s.weapons) {
      const Pic w = Read(weapon);
      ASSERT_GT(w.height, 0) << weapon;
      const double aspect = static_cast<double>(w.width) / w.height;
      for (int f = 0; f < 11; ++f) {
        SCOPED_TRACE(std::string(weapon) + " frame " + std::to_string(f));
        const MarkerQuad q = Scan(strip, f).q;
        const double length = (Length(q.red, q.green) + Length(q.blue, q.magenta)) / 2;
        const double width = (Length(q.red, q.blue) + Length(q.green, q.magenta)) / 2;
        ASSERT_GT(width, 0);
        EXPECT_NEAR(length / width / aspect, 1.0, 0.25);
        // The picture's top edge stays on the left of its direction: a
        // mirrored quad would bend a curved blade the wrong way.
        const int64_t cross = int64_t{q.green.x - q.red.x} * (q.blue.y - q.red.y) -
                              int64_t{q.green.y - q.red.y} * (q.blue.x - q.red.x);
        EXPECT_GT(cross, 0);
      }
    }
  }
}

TEST(PlayerArt, WarpedWeaponStaysInsideThePoseWithEveryCharm) {
  // The pose is built from the frame's corner doubled, 160 pixels into a
  // 480-pixel picture: every corner must land on it.
  auto inside = [](PixelPoint p) {
    return 160 + 2 * p.x >= 0 && 160 + 2 * p.x < 480 && 160 + 2 * p.y >= 0 && 160 + 2 * p.y < 480;
  };
  for (const Strip& s : kStrips) {
    const Pic strip = Read(s.markers);
    const bool blades = s.kind == datagen::BodyKind::Sword;
    for (int charms = 0; charms < (blades ? 4 : 1); ++charms)
      for (int f = 0; f < 11; ++f) {
        const MarkerQuad q = Charmed(Scan(strip, f).q, (charms & 1) != 0, (charms & 2) != 0);
        for (const PixelPoint p : {q.red, q.green, q.blue, q.magenta})
          EXPECT_TRUE(inside(p)) << s.markers << " frame " << f << " charms " << charms << " at " << p.x
                                 << "," << p.y;
      }
  }
}

TEST(PlayerArt, SwordRisesBehindThenSweepsOverTheTopAndDownInFront) {
  const Pic strip = Read("data/mz2w.vx1");
  std::vector<double> a(11);
  for (int f = 0; f < 11; ++f) a[static_cast<size_t>(f)] = Direction(Scan(strip, f).q);
  // The guard: forward and up.
  EXPECT_LT(a[0], -10);
  EXPECT_GT(a[0], -80);
  // Drawn back: each of frames 1..3 turns further up and back.
  for (int f = 1; f <= 3; ++f) EXPECT_LT(a[f], a[f - 1] - 10) << f;
  EXPECT_LT(a[3], -120) << "the blade ends the wind-up behind the shoulder";
  // The cut: every frame from 4 to 10 turns it further forward and down.
  for (int f = 4; f <= 10; ++f) EXPECT_GT(a[f], a[f - 1] + 10) << f;
  // The short sword hits in 4..9: that sweep passes over the top (straight
  // up lies between frames 4 and 6) and ends in front, below the grip.
  EXPECT_LT(a[4], -90);
  EXPECT_GT(a[6], -90);
  EXPECT_GT(a[9], 20);
  EXPECT_LT(a[9], 80);
  EXPECT_GE(a[9] - a[4], 120);
}

TEST(PlayerArt, GunsFireLevelFromTheMuzzleAndKickUpAfterEachShot) {
  const Pic strip = Read("data/mz4w.vx1");
  const int32_t half = strip.height / 2;
  auto muzzle = [&](int f) {
    // The barrel lies along the top three tenths of the picture.
    const MarkerQuad q = Scan(strip, f).q;
    return Vec{q.green.x + 0.3 * (q.magenta.x - q.green.x), q.green.y + 0.3 * (q.magenta.y - q.green.y)};
  };
  for (int shot : {1, 6}) {
    SCOPED_TRACE(shot);
    const MarkerQuad q = Scan(strip, shot).q;
    EXPECT_NEAR(Direction(q), 0, 4) << "level when it fires";
    // Shots leave from 20 pixels right of the centre facing right, and 42
    // left of it facing left, where the mirrored frame is 24 pixels further left.
    const Vec m = muzzle(shot);
    EXPECT_NEAR(m.x, half + 20, 8);
    EXPECT_NEAR(m.y, half, 4);
    EXPECT_NEAR((half + 15 - m.x) - half, -42, 8);
    // The kick: the muzzle climbs for two frames with the hand pulled back.
    const MarkerQuad kick = Scan(strip, shot + 2).q;
    EXPECT_LT(muzzle(shot + 2).y, m.y - 4);
    EXPECT_LT(Direction(kick), -12);
    EXPECT_LT(Mid(kick.red, kick.blue).x, Mid(q.red, q.blue).x);
    // And it settles before the next shot (or the rest frame).
    EXPECT_NEAR(Direction(Scan(strip, shot + 4).q), 0, 6);
  }
}

TEST(PlayerArt, FistSitsOnTheGripInEveryFrameAndTheHipOverTheLeg) {
  for (const Strip& s : kStrips) {
    const Pic body = Read(s.body), strip = Read(s.markers);
    const datagen::WeaponShape& shape = datagen::ShapeOf(s.kind);
    for (int f = 0; f < 11; ++f) {
      const MarkerQuad q = Scan(strip, f).q;
      // The fist's place on the weapon picture, mapped through the quad.
      const double a = shape.handAlong, b = shape.handAcross;
      const double top_x = q.red.x + a * (q.green.x - q.red.x), top_y = q.red.y + a * (q.green.y - q.red.y);
      const double bot_x = q.blue.x + a * (q.magenta.x - q.blue.x),
                   bot_y = q.blue.y + a * (q.magenta.y - q.blue.y);
      const int hx = static_cast<int>(std::lround(top_x + b * (bot_x - top_x)));
      const int hy = static_cast<int>(std::lround(top_y + b * (bot_y - top_y)));
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          EXPECT_NE(body.at(f * body.height + hx + dx, hy + dy), 0u)
              << s.body << " frame " << f << ": no fist at " << hx + dx << "," << hy + dy;
      // The leg turns 15 pixels left of the centre and 20 above the frame's
      // foot: frame x 25, or 30 in the frame that is mirrored for the left.
      const int32_t half = body.height / 2;
      for (int x : {half - 15, half - 10})
        EXPECT_NE(body.at(f * body.height + x, 2 * half - 20), 0u) << s.body;
    }
  }
}

TEST(PlayerArt, LegSolesLieWhereTheLegProbesComeToRest) {
  const Pic leg = Read("data/lg1.vx1");
  ASSERT_GT(leg.height, 0);
  EXPECT_GT(leg.height, 3 * leg.width) << "drawn onto a 12 x 56 quad";
  int top = leg.height, bottom = -1, left = leg.width, right = -1;
  for (int y = 0; y < leg.height; ++y)
    for (int x = 0; x < leg.width; ++x)
      if (leg.at(x, y) != 0)
        top = std::min(top, y), bottom = std::max(bottom, y), left = std::min(left, x),
        right = std::max(right, x);
  // The quad reaches 28 pixels each way from the hub, the probes 22; the
  // lowest free probe stands on the floor, so the soles lie at 50 / 56.
  const double sole = (bottom + 1) * 56.0 / leg.height;
  EXPECT_NEAR(sole, 50.5, 1.0);
  // Both ends alike, since the leg turns full circles; centred across.
  EXPECT_NEAR(top, leg.height - 1 - bottom, 1);
  EXPECT_NEAR(left, leg.width - 1 - right, 1);
}

// Black pixels that the picture's border cannot reach through black: after
// the black-keyed alpha they would show the background through the body.
std::vector<int> EnclosedBlackRegions(const Pic& p, int x0, int side) {
  const int w = side, h = p.height;
  std::vector<int> seen(static_cast<size_t>(w) * h, 0);
  auto black = [&](int x, int y) { return p.at(x0 + x, y) == 0; };
  std::vector<std::pair<int, int>> stack;
  auto flood = [&](int sx, int sy, int mark) {
    int n = 0;
    stack.assign(1, {sx, sy});
    seen[static_cast<size_t>(sy) * w + sx] = mark;
    while (!stack.empty()) {
      auto [x, y] = stack.back();
      stack.pop_back();
      ++n;
      const int nx[4] = {x - 1, x + 1, x, x}, ny[4] = {y, y, y - 1, y + 1};
      for (int i = 0; i < 4; ++i) {
        if (nx[i] < 0 || ny[i] < 0 || nx[i] >= w || ny[i] >= h) continue;
        int& s = seen[static_cast<size_t>(ny[i]) * w + nx[i]];
        if (s == 0 && black(nx[i], ny[i])) s = mark, stack.push_back({nx[i], ny[i]});
      }
    }
    return n;
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if ((x == 0 || y == 0 || x == w - 1 || y == h - 1) && black(x, y) &&
          seen[static_cast<size_t>(y) * w + x] == 0)
        flood(x, y, 1);
  std::vector<int> regions;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (black(x, y) && seen[static_cast<size_t>(y) * w + x] == 0) regions.push_back(flood(x, y, 2));
  return regions;
}

TEST(PlayerArt, SpritesHaveNoHolesInTheirBodies) {
  for (const char* name :
       {"data/lg1.vx1", "data/nihonto1.vx1", "data/sword3.vx1", "data/gun1.vx1", "data/gun2.vx1",
        "data/gem1.vx1", "data/med1.vx1", "data/det1.vx1", "data/med2.vx1", "data/gem2.vx1"}) {
    const Pic p = Read(name);
    ASSERT_GT(p.width, 0) << name;
    EXPECT_TRUE(EnclosedBlackRegions(p, 0, p.width).empty()) << name;
  }
  // Each body frame on its own: the frames' shared edges are no border.
  for (const Strip& s : kStrips) {
    const Pic body = Read(s.body);
    for (int f = 0; f < 11; ++f)
      EXPECT_TRUE(EnclosedBlackRegions(body, f * body.height, body.height).empty())
          << s.body << " frame " << f;
  }
}

TEST(PlayerArt, WeaponsAndPickupsAreDrawnLargeEnoughToShrink) {
  // Pickups are drawn at 70 / 256 of their size: 150 to 220 pixels gives
  // about 40 to 60 on screen.
  for (const char* name :
       {"data/gem1.vx1", "data/med1.vx1", "data/det1.vx1", "data/med2.vx1", "data/gem2.vx1",
        "data/nihonto1.vx1", "data/sword3.vx1", "data/gun1.vx1", "data/gun2.vx1"}) {
    const Pic p = Read(name);
    EXPECT_GE(std::max(p.width, p.height), 150) << name;
    EXPECT_LE(std::max(p.width, p.height), 220) << name;
  }
  for (const char* name : {"data/nihonto1.vx1", "data/sword3.vx1", "data/gun1.vx1", "data/gun2.vx1"}) {
    const Pic p = Read(name);
    EXPECT_GT(p.width, 2 * p.height) << name << " lies horizontally, grip at the left";
  }
}

// Sword hits are seen through the weapon's nearly opaque pixels, and the
// pose's alpha is its brightness · 3 / 2: a dark blade would never hit.
TEST(PlayerArt, SwordPosesAsTheGameBuildsThemHaveHittingPixelsInEveryHittingFrame) {
  datagen::PlayerStage stage(vxtest::GeneratedDataSet());
  ASSERT_TRUE(stage.loaded());
  struct Case {
    int32_t weapon, first, last;
  };
  for (const Case c : {Case{41, 4, 9}, Case{40, 1, 10}})
    for (const bool left : {false, true})
      for (int32_t f = c.first; f <= c.last; ++f) {
        const int32_t slot = stage.BuildPose({21, c.weapon, false, false}, f, left);
        int hitting = 0;
        for (int32_t y = 0; y < 240; ++y)
          for (int32_t x = 0; x < 240; ++x) hitting += (GetPixel(stage.gfx(), slot, x, y) >> 24) > 240;
        EXPECT_GE(hitting, 40) << "weapon " << c.weapon << " frame " << f << (left ? " left" : " right");
      }
  // The preview's quads are the ones this test file works out.
  const Pic strip = Read("data/mz2w.vx1");
  for (int32_t f = 0; f < 11; ++f) {
    const MarkerQuad mine = Charmed(Scan(strip, f).q, true, true);
    const MarkerQuad theirs = stage.WeaponQuad({21, 41, true, true}, f);
    EXPECT_EQ(mine.green.x, theirs.green.x);
    EXPECT_EQ(mine.magenta.y, theirs.magenta.y);
    EXPECT_EQ(mine.red.x, theirs.red.x);
    EXPECT_EQ(mine.blue.y, theirs.blue.y);
  }
  // The death pieces are cut from these pictures and are not empty.
  stage.CaptureDeathPieces();
  for (auto [piece, least] : {std::pair{30, 100}, std::pair{31, 500}}) {
    int opaque = 0;
    for (int32_t y = 0; y < PictureHeight(stage.gfx(), piece); ++y)
      for (int32_t x = 0; x < PictureWidth(stage.gfx(), piece); ++x)
        opaque += (GetPixel(stage.gfx(), piece, x, y) >> 24) == 255;
    EXPECT_GT(opaque, least) << "piece " << piece;
  }
}

TEST(PlayerArt, PlayerSheetIsWritten) {
  const std::string png =
      (std::filesystem::temp_directory_path() / ("vxtest-player-" + std::to_string(::getpid()) + ".png"))
          .string();
  ASSERT_TRUE(datagen::WritePlayerSheet(vxtest::GeneratedDataSet(), png));
  std::ifstream in(png, std::ios::binary);
  char magic[4] = {};
  in.read(magic, 4);
  EXPECT_EQ(std::string(magic + 1, 3), "PNG");
  EXPECT_GT(std::filesystem::file_size(png), 100000u);
  std::filesystem::remove(png);
  EXPECT_FALSE(datagen::WritePlayerSheet("/nonexistent-folder", png)) << "a folder without the pictures";
}

}  // namespace
