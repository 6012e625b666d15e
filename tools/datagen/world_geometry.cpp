#include "datagen/world_geometry.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "datagen/noise.h"
#include "maths/repro_math.h"

namespace datagen {
namespace {

constexpr int32_t kW = world::kWidth, kH = world::kHeight;

struct Pt {
  float x, y;
};

// Shapes are polygons filled at pixel centres. Their edges are roughened
// by noise, except edges that face upwards: those are the floors, ledges
// and steps, and they keep the exact heights of the world plan.
class Builder {
 public:
  explicit Builder(int32_t level) : seed_(5000u + static_cast<uint32_t>(level) * 131u) {
    g_.level = level;
    g_.stuff.assign(static_cast<size_t>(kW) * kH, Stuff::Air);
  }

  void Poly(Stuff s, const std::vector<Pt>& pts, float rough) { Fill(Roughen(pts, rough), s); }
  void Carve(const std::vector<Pt>& pts, float rough = 0) { Fill(Roughen(pts, rough), Stuff::Air); }
  void Box(Stuff s, float x0, float y0, float x1, float y1, float rough = 0) {
    Poly(s, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, rough);
  }
  // Solid below a line given left to right.
  void Ground(Stuff s, std::initializer_list<Pt> line, float rough) {
    std::vector<Pt> p(line);
    p.push_back({p.back().x, static_cast<float>(kH)});
    p.push_back({p.front().x, static_cast<float>(kH)});
    Poly(s, p, rough);
  }
  // Solid above a line given left to right.
  void Ceiling(Stuff s, const std::vector<Pt>& line, float rough) {
    std::vector<Pt> p(line);
    p.push_back({p.back().x, 0});
    p.push_back({p.front().x, 0});
    Poly(s, p, rough);
  }
  // A vaulted ceiling from x0 to x1: round arches that spring from `spring`
  // at each pillar and rise to `crown` between them.
  void Vault(Stuff s, float x0, float x1, float spring, float crown, std::initializer_list<float> pillars,
             float rough) {
    std::vector<float> xs = {x0};
    xs.insert(xs.end(), pillars.begin(), pillars.end());
    xs.push_back(x1);
    std::vector<Pt> line;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
      const float a = xs[i], b = xs[i + 1];
      for (int k = 0; k <= 24; ++k) {
        const float t = k / 24.0f;
        const float ang = 3.14159265f * t;
        line.push_back({a + (b - a) * t, spring - (spring - crown) * rmath::Sin(ang)});
      }
    }
    Ceiling(s, line, rough);
  }
  // A bridge or causeway: a deck from x0 to x1 on piers that stand in the
  // water, with round arches between them.
  void Arcade(Stuff s, float x0, float x1, float deckTop, float deckBottom,
              std::initializer_list<float> piers, float pierWidth) {
    Box(s, x0, deckTop, x1, deckBottom);
    const std::vector<float> at(piers);
    for (float p : at) Box(s, p, deckTop, p + pierWidth, static_cast<float>(kH));
    // The spandrels: between two piers, the stone above a half ellipse.
    for (size_t i = 0; i + 1 < at.size(); ++i) {
      const float a = at[i] + pierWidth, b = at[i + 1];
      const float rise = std::min((b - a) * 0.45f, 70.0f);
      std::vector<Pt> p = {{a, deckBottom}};
      for (int k = 0; k <= 20; ++k) {
        const float ang = 3.14159265f * k / 20.0f;
        p.push_back({a + (b - a) * (1 - rmath::Cos(ang)) / 2, deckBottom + rise * (1 - rmath::Sin(ang))});
      }
      p.push_back({b, deckBottom});
      Poly(s, p, 0);
    }
  }

  LevelGeometry Take() { return std::move(g_); }

 private:
  bool Inside(const std::vector<Pt>& p, float x, float y) const {
    bool in = false;
    for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++)
      if ((p[i].y > y) != (p[j].y > y) && x < (p[j].x - p[i].x) * (y - p[i].y) / (p[j].y - p[i].y) + p[i].x)
        in = !in;
    return in;
  }

  // Splits every edge into short pieces and moves the new points along the
  // edge's outward normal by a smooth noise. Corners stay where they are,
  // and so do points on the screen's border and upward-facing edges.
  std::vector<Pt> Roughen(const std::vector<Pt>& p, float rough) {
    if (rough <= 0) return p;
    std::vector<Pt> out;
    for (size_t i = 0; i < p.size(); ++i) {
      const Pt a = p[i], b = p[(i + 1) % p.size()];
      out.push_back(a);
      const float dx = b.x - a.x, dy = b.y - a.y, len = rmath::Hypot(dx, dy);
      if (len < 1) continue;
      float nx = dy / len, ny = -dx / len;
      const Pt mid = {(a.x + b.x) / 2, (a.y + b.y) / 2};
      if (Inside(p, mid.x + nx * 0.5f, mid.y + ny * 0.5f)) {
        nx = -nx;
        ny = -ny;
      }
      if (ny < -0.5f) continue;  // a floor
      const int pieces = static_cast<int>(len / 5);
      for (int k = 1; k < pieces; ++k) {
        const float t = static_cast<float>(k) / pieces;
        Pt q = {a.x + dx * t, a.y + dy * t};
        // Pieces near a corner move less, so corners stay crisp.
        const float taper = std::min(1.0f, std::min(t, 1 - t) * len / 12);
        if (q.x > 1 && q.x < kW - 1 && q.y > 1 && q.y < kH - 1) {
          const float n = static_cast<float>(Fbm(q.x / 19.0, q.y / 19.0, 3, seed_) * 2 - 1);
          q.x += nx * n * rough * 2 * taper;
          q.y += ny * n * rough * 2 * taper;
        }
        out.push_back(q);
      }
    }
    return out;
  }

  void Fill(const std::vector<Pt>& p, Stuff s) {
    std::vector<float> xs;
    for (int32_t y = 0; y < kH; ++y) {
      const float yc = y + 0.5f;
      xs.clear();
      for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
        const Pt a = p[j], b = p[i];
        if ((a.y <= yc) != (b.y <= yc)) xs.push_back(a.x + (yc - a.y) * (b.x - a.x) / (b.y - a.y));
      }
      std::sort(xs.begin(), xs.end());
      for (size_t k = 0; k + 1 < xs.size(); k += 2) {
        const int32_t from = std::max(0, static_cast<int32_t>(std::ceil(xs[k] - 0.5f)));
        const int32_t to = std::min(kW, static_cast<int32_t>(std::ceil(xs[k + 1] - 0.5f)));
        for (int32_t x = from; x < to; ++x) g_.stuff[static_cast<size_t>(y) * kW + x] = s;
      }
    }
  }

  LevelGeometry g_;
  uint32_t seed_;
};

// Row 0: outdoors. Earth floors, stone ruins and bridges over the lake.

void Level0(Builder& b) {
  // The watchtower closes the west end of the world.
  b.Poly(Stuff::Masonry,
         {{0, 104}, {20, 96}, {34, 108}, {52, 90}, {72, 98}, {88, 92}, {100, 120}, {98, 600}, {0, 600}},
         1.0f);
  b.Ground(Stuff::Earth, {{96, 470}, {180, 468}, {260, 471}, {330, 470}, {800, 470}}, 2.5f);
  // A fallen wall to stand on.
  b.Poly(Stuff::Masonry, {{380, 410}, {520, 410}, {522, 480}, {378, 480}}, 1.0f);
}

void Level1(Builder& b) {
  // The hole's sides are dressed stone, straight down.
  b.Ground(Stuff::Earth, {{0, 470}, {240, 470}, {300, 460}, {320, 460}}, 0);
  b.Ground(Stuff::Earth, {{384, 460}, {800, 460}}, 0);
  // The crypt's mouth: dressed stone on both sides of the hole.
  b.Box(Stuff::Masonry, 300, 460, 320, 600);
  b.Box(Stuff::Masonry, 384, 460, 404, 600);
  // The altar stone of the fallen chapel.
  b.Poly(Stuff::Masonry, {{590, 396}, {690, 396}, {692, 470}, {588, 470}}, 1.0f);
}

void Level2(Builder& b) {
  b.Ground(Stuff::Earth, {{0, 460}, {150, 460}, {215, 474}, {440, 474}, {490, 470}, {500, 470}}, 2.5f);
  b.Arcade(Stuff::Masonry, 480, 800, 470, 506, {480, 640, 790}, 50);
  // A broken wall stump beside the road.
  b.Poly(Stuff::Masonry, {{360, 410}, {440, 410}, {442, 480}, {358, 480}}, 1.0f);
}

void Level3(Builder& b) {
  b.Arcade(Stuff::Masonry, 0, 200, 470, 506, {-40, 120}, 50);
  b.Ground(Stuff::Earth, {{170, 470}, {292, 470}}, 0);
  b.Ground(Stuff::Earth, {{356, 470}, {480, 470}, {540, 460}, {560, 460}}, 0);
  b.Box(Stuff::Masonry, 276, 470, 292, 600);
  b.Box(Stuff::Masonry, 356, 470, 372, 600);
  b.Arcade(Stuff::Masonry, 540, 800, 460, 496, {600, 750}, 50);
  // The stump of an aqueduct pier.
  b.Poly(Stuff::Masonry, {{400, 405}, {470, 405}, {472, 476}, {398, 476}}, 1.0f);
}

void Level4(Builder& b) {
  b.Arcade(Stuff::Masonry, 0, 600, 460, 496, {-30, 180, 390}, 50);
  b.Box(Stuff::Masonry, 580, 420, 720, 600);
  b.Box(Stuff::Masonry, 650, 380, 720, 600);
  // The outer wall of the keep closes the east end of the row.
  b.Box(Stuff::Masonry, 720, 0, 800, 600);
}

// Row 1: the vaults under the keep.

void Level5(Builder& b) {
  b.Box(Stuff::Masonry, 0, 0, 70, 600, 1.0f);
  b.Vault(Stuff::Masonry, 0, 800, 230, 140, {270, 540}, 1.5f);
  b.Ground(Stuff::Masonry, {{60, 480}, {200, 480}}, 1.0f);
  b.Ground(Stuff::Masonry, {{280, 480}, {800, 480}}, 1.0f);
  // The well's rim keeps anyone from stepping in by chance.
  b.Box(Stuff::Masonry, 176, 435, 200, 600);
  b.Box(Stuff::Masonry, 280, 435, 304, 600);
  b.Poly(Stuff::Masonry, {{560, 420}, {680, 420}, {680, 480}, {560, 480}}, 0);
}

void Level6(Builder& b) {
  b.Vault(Stuff::Masonry, 0, 800, 220, 130, {270, 560}, 1.5f);
  // The vault broke where the chapel floor fell in.
  b.Carve({{276, 0}, {428, 0}, {434, 150}, {416, 218}, {290, 218}, {270, 150}}, 6.0f);
  b.Ground(Stuff::Masonry, {{0, 480}, {140, 480}, {210, 500}, {800, 500}}, 1.0f);
  b.Poly(Stuff::Masonry, {{520, 445}, {640, 445}, {640, 500}, {520, 500}}, 0);
}

void Level7(Builder& b) {
  b.Vault(Stuff::Masonry, 0, 800, 230, 140, {200, 400, 600}, 1.5f);
  b.Ground(Stuff::Masonry, {{0, 500}, {360, 500}, {420, 480}, {800, 480}}, 1.0f);
  b.Poly(Stuff::Masonry, {{450, 420}, {570, 420}, {570, 480}, {450, 480}}, 0);
}

void Level8(Builder& b) {
  b.Ceiling(Stuff::Rock, {{0, 200}, {120, 170}, {190, 190}, {244, 160}, {244, 0}}, 7.0f);
  b.Ceiling(Stuff::Rock, {{404, 0}, {404, 150}, {470, 190}, {560, 160}, {680, 200}, {800, 215}}, 7.0f);
  b.Ground(Stuff::Masonry, {{0, 480}, {410, 480}, {480, 500}, {800, 500}}, 1.0f);
  b.Poly(Stuff::Rock, {{560, 440}, {680, 440}, {684, 500}, {556, 500}}, 3.0f);
}

void Level9(Builder& b) {
  b.Vault(Stuff::Masonry, 0, 800, 230, 150, {250, 500}, 1.5f);
  b.Box(Stuff::Masonry, 730, 0, 800, 600, 1.0f);
  b.Ground(Stuff::Masonry, {{0, 500}, {260, 500}, {360, 470}, {800, 470}}, 1.0f);
  b.Poly(Stuff::Masonry, {{610, 410}, {740, 410}, {740, 470}, {610, 470}}, 0);
}

// Level 10: a natural shaft from the well down to the foundry.
void Level10(Builder& b) {
  b.Poly(Stuff::Rock, {{0, 0}, {150, 0}, {140, 120}, {152, 260}, {136, 420}, {150, 600}, {0, 600}}, 8.0f);
  b.Poly(Stuff::Rock, {{800, 0}, {520, 0}, {540, 140}, {520, 300}, {536, 460}, {520, 600}, {800, 600}}, 8.0f);
  b.Poly(Stuff::Rock, {{430, 250}, {540, 250}, {540, 300}, {450, 272}}, 4.0f);
  b.Poly(Stuff::Rock, {{400, 400}, {540, 400}, {540, 452}, {420, 424}}, 4.0f);
  b.Ground(Stuff::Rock, {{340, 560}, {540, 560}}, 6.0f);
}

// Row 3: the foundry deep below. Its iron roof keeps the top 125 rows: a
// jumper that leaps to the top of the screen (its point clamped 40 down)
// feels for ground 130 to 137 down, and under a lower roof it would find it
// there and cling to the roof out of the player's reach.
constexpr float kFoundryRoof = 125;

void Level15(Builder& b) {
  b.Box(Stuff::Brick, 0, 0, 70, 600, 0.8f);
  b.Ceiling(Stuff::Rock, {{0, 150}, {70, 150}, {110, 110}, {110, 0}}, 6.0f);
  b.Ceiling(Stuff::Iron, {{396, 0}, {396, 95}, {430, kFoundryRoof}, {800, kFoundryRoof}}, 0.5f);
  b.Ground(Stuff::Brick, {{60, 480}, {800, 480}}, 0.8f);
  b.Poly(Stuff::Iron, {{520, 420}, {640, 420}, {640, 480}, {520, 480}}, 0);
}

void Level16(Builder& b) {
  b.Ceiling(Stuff::Iron, {{0, kFoundryRoof}, {800, kFoundryRoof}}, 0.5f);
  b.Ground(Stuff::Brick, {{0, 480}, {380, 480}, {440, 470}, {800, 470}}, 0.8f);
  b.Poly(Stuff::Iron, {{200, 420}, {300, 420}, {300, 480}, {200, 480}}, 0);
}

void Level17(Builder& b) {
  b.Ceiling(Stuff::Iron,
            {{0, kFoundryRoof},
             {180, kFoundryRoof},
             {260, 90},
             {540, 90},
             {620, kFoundryRoof},
             {800, kFoundryRoof}},
            0.5f);
  b.Ground(Stuff::Brick, {{0, 470}, {600, 470}, {660, 480}, {800, 480}}, 0.8f);
  b.Poly(Stuff::Iron, {{100, 415}, {180, 415}, {180, 470}, {100, 470}}, 0);
}

void Level18(Builder& b) {
  b.Ceiling(Stuff::Iron, {{0, kFoundryRoof}, {800, kFoundryRoof}}, 0.5f);
  b.Ground(Stuff::Brick, {{0, 480}, {500, 480}, {560, 470}, {800, 470}}, 0.8f);
  b.Poly(Stuff::Iron, {{120, 420}, {220, 420}, {220, 480}, {120, 480}}, 0);
  b.Poly(Stuff::Iron, {{600, 410}, {680, 410}, {680, 470}, {600, 470}}, 0);
}

void Level19(Builder& b) {
  b.Ceiling(Stuff::Iron, {{0, kFoundryRoof}, {730, kFoundryRoof}}, 0.5f);
  b.Box(Stuff::Brick, 730, 0, 800, 600, 0.8f);
  b.Ground(Stuff::Brick, {{0, 470}, {360, 470}}, 0.8f);
  b.Ground(Stuff::Brick, {{440, 470}, {740, 470}}, 0.8f);
  // The rim of the last stair's well.
  b.Box(Stuff::Iron, 336, 425, 360, 600);
  b.Box(Stuff::Iron, 440, 425, 464, 600);
  b.Poly(Stuff::Iron, {{600, 410}, {700, 410}, {700, 470}, {600, 470}}, 0);
}

// Level 24: the ending, a round chamber under a dome open at its crown.
void Level24(Builder& b) {
  b.Box(Stuff::Masonry, 0, 0, 60, 600, 1.0f);
  b.Box(Stuff::Masonry, 740, 0, 800, 600, 1.0f);
  b.Vault(Stuff::Masonry, 40, 760, 240, 40, {}, 1.0f);
  b.Carve({{320, 0}, {480, 0}, {474, 110}, {326, 110}}, 3.0f);
  b.Ground(Stuff::Masonry, {{50, 470}, {750, 470}}, 1.0f);
}

}  // namespace

LevelGeometry BuildGeometry(int32_t level) {
  Builder b(level);
  switch (level) {
    case 0:
      Level0(b);
      break;
    case 1:
      Level1(b);
      break;
    case 2:
      Level2(b);
      break;
    case 3:
      Level3(b);
      break;
    case 4:
      Level4(b);
      break;
    case 5:
      Level5(b);
      break;
    case 6:
      Level6(b);
      break;
    case 7:
      Level7(b);
      break;
    case 8:
      Level8(b);
      break;
    case 9:
      Level9(b);
      break;
    case 10:
      Level10(b);
      break;
    case 15:
      Level15(b);
      break;
    case 16:
      Level16(b);
      break;
    case 17:
      Level17(b);
      break;
    case 18:
      Level18(b);
      break;
    case 19:
      Level19(b);
      break;
    case 24:
      Level24(b);
      break;
    default:
      break;
  }
  return b.Take();
}

}  // namespace datagen
