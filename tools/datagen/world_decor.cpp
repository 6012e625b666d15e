// Each level's decoration. Everything here either lies behind the level
// (painted before the solids, which then cover it), or is painted onto
// solid pixels only, or onto free pixels that the player never stands on:
// the mask stays the level's geometry, and the surfaces one can stand on
// look exactly where they are.
#include <cmath>

#include "datagen/art_kit.h"
#include "datagen/noise.h"
#include "datagen/random.h"
#include "datagen/world_paint.h"
#include "maths/repro_math.h"

namespace datagen {
namespace {

constexpr float kH = 600;

// A bare tree in silhouette: a trunk that forks into thinner branches.
void Branch(Scene& s, Random& r, float x, float y, float angle, float length, float width, int depth) {
  const float x2 = x + rmath::Cos(angle) * length, y2 = y - rmath::Sin(angle) * length;
  s.Paint(
      std::min(x, x2) - width - 2, std::min(y, y2) - width - 2, std::max(x, x2) + width + 2,
      std::max(y, y2) + width + 2, Where::Any,
      [&](float px, float py) { return SdSegment(px, py, x, y, x2, y2, width); },
      [&](float px, float, float) {
        return Mix(Hex(0x1a2230), Hex(0x0b0e14), Smooth(x - width, x + width, px));
      });
  if (depth == 0) return;
  const int forks = depth > 2 ? 2 : 2 + r.Int(0, 1);
  for (int i = 0; i < forks; ++i) {
    const float turn = static_cast<float>(r.Range(0.25, 0.7)) * (i % 2 ? 1 : -1);
    Branch(s, r, x2, y2, angle + turn, length * static_cast<float>(r.Range(0.6, 0.8)), width * 0.62f,
           depth - 1);
  }
}

void Tree(Scene& s, float x, float ground, float height, uint64_t seed) {
  Random r(seed);
  Branch(s, r, x, ground + 8, 1.5708f + static_cast<float>(r.Range(-0.08, 0.08)), height * 0.45f, 7, 4);
}

// A low thicket where the ground meets the sky.
void Bushes(Scene& s, float x0, float x1, float ground, uint64_t seed) {
  Random r(seed);
  for (float x = x0; x < x1; x += static_cast<float>(r.Range(14, 26))) {
    const float rad = static_cast<float>(r.Range(9, 18)), cy = ground - rad * 0.4f;
    s.Paint(
        x - rad, cy - rad, x + rad, cy + rad, Where::Any,
        [&](float px, float py) { return SdCircle(px, py, x, cy, rad); },
        [&](float px, float py, float) {
          const float lit = Clamp01((x - px - (py - cy)) / (2 * rad) + 0.3f);
          return Mix(Hex(0x0e1712), Hex(0x2a3f33), lit * 0.7f) *
                 (0.8f + 0.4f * Hash01(static_cast<int>(px) / 3, static_cast<int>(py) / 3, 71));
        });
  }
}

// A ruin far behind the play: dark stone, a little hazy, with its windows
// open to the sky.
template <class Shape>
void Ruin(Scene& s, float x0, float y0, float x1, float y1, Shape shape) {
  s.Paint(x0, y0, x1, y1, Where::Any, shape, [&](float x, float y, float) {
    const int row = static_cast<int>(y) / 20, col = (static_cast<int>(x) + (row & 1) * 20) / 40;
    const bool joint = static_cast<int>(y) % 20 == 0 || (static_cast<int>(x) + (row & 1) * 20) % 40 == 0;
    const Rgb stone = Mix(Hex(0x111722), Hex(0x19202d), Hash01(col, row, 73));
    return joint ? Hex(0x0d1119) : stone;
  });
}

// Windows through a ruin: the sky shows again.
template <class Shape>
void Open(Scene& s, float x0, float y0, float x1, float y1, Shape shape) {
  for (int y = std::max(0, static_cast<int>(y0)); y <= std::min(599, static_cast<int>(y1)); ++y)
    for (int x = std::max(0, static_cast<int>(x0)); x <= std::min(799, static_cast<int>(x1)); ++x)
      if (shape(x + 0.5f, y + 0.5f) < 0) {
        s.canvas.at(x, y) = {};
        s.cover[s.Index(x, y)] = 0;
      }
}

// The inside of a hole in an outdoor floor: dark stone walls and broken
// steps going down into a faint glow.
void Pit(Scene& s, float x0, float x1, float top) {
  s.Paint(
      x0, top, x1, kH, Where::Air,
      [&](float x, float y) {
        return SdBox(x, y, (x0 + x1) / 2, (top + kH) / 2, (x1 - x0) / 2, (kH - top) / 2);
      },
      [&](float x, float y, float) {
        const float t = (y - top) / (kH - top);
        Rgb c = Mix(Hex(0x1d1a1c), Hex(0x0b0a0d), t);
        const int step = static_cast<int>((y - top) / 16);
        if (static_cast<int>(y - top) % 16 < 2 && x < x0 + 10 + step * 9) c = c * 1.8f;
        return c;
      });
}

// A hanging chain, link by link.
void Chain(Scene& s, float x, float y0, float y1, Where where) {
  for (float y = y0; y < y1; y += 9) {
    const bool side = static_cast<int>((y - y0) / 9) % 2 == 1;
    s.Paint(
        x - 5, y - 2, x + 5, y + 12, where,
        [&](float px, float py) {
          return side ? SdBox(px, py, x, y + 5, 1.2f, 5.5f, 1)
                      : std::fabs(SdEllipse(px, py, x, y + 5, 3.6f, 6)) - 1.1f;
        },
        [&](float px, float, float) { return Mix(Hex(0x5a5a66), Hex(0x1e1e24), Smooth(x - 4, x + 4, px)); });
  }
}

// A soft column of light falling from an opening in the ceiling.
void Beam(Scene& s, float x0, float x1, float spread, float y0, float y1, Rgb colour) {
  for (int y = std::max(0, static_cast<int>(y0)); y < std::min(600, static_cast<int>(y1)); ++y) {
    const float t = (y - y0) / (y1 - y0);
    const float a = x0 - spread * t, b = x1 + spread * t;
    for (int x = std::max(0, static_cast<int>(a) - 20); x <= std::min(799, static_cast<int>(b) + 20); ++x) {
      const float edge = Smooth(a - 20, a + 10, x + 0.5f) * Smooth(b + 20, b - 10, x + 0.5f);
      const float k = edge * (1 - 0.6f * t) * (0.75f + 0.25f * Hash01(x / 7, 0, 81));
      s.canvas.Add(x, y, colour, k);
    }
  }
}

// A stone column standing in front of the back wall.
void Column(Scene& s, float x, float halfWidth, float y0, float y1, float darkness) {
  s.Paint(
      x - halfWidth - 1, y0, x + halfWidth + 1, y1, Where::Air,
      [&](float px, float py) { return SdBox(px, py, x, (y0 + y1) / 2, halfWidth, (y1 - y0) / 2); },
      [&](float px, float py, float) {
        const float across = (px - x) / halfWidth;
        const float lit = 0.55f + 0.45f * rmath::Cos((across + 0.35f) * 1.5f);
        // Drums of stone, each a shade of its own, with a little grain.
        const int drum = static_cast<int>(py) / 44;
        const float grain = Hash01(static_cast<int>(px) / 3, static_cast<int>(py) / 3, 84);
        Rgb c = Mix(Hex(0x2a2e38), Hex(0x4a4f5c), 0.35f + 0.3f * Hash01(drum, 0, 83) + 0.15f * grain);
        if (static_cast<int>(py) % 44 < 2) c = c * 0.5f;
        return c * (lit * darkness);
      });
}

// The first solid row at or below y in column x.
float FloorAt(const Scene& s, float x, float y) {
  int row = static_cast<int>(y);
  while (row < 599 && !s.Solid(static_cast<int>(x), row)) ++row;
  return static_cast<float>(row);
}

// An opening in a ceiling: the backdrop fades into the dark above.
void Opening(Scene& s, float x0, float x1, float bottom) {
  for (int y = 0; y < static_cast<int>(bottom); ++y)
    for (int x = static_cast<int>(x0); x <= static_cast<int>(x1); ++x) {
      if (s.Solid(x, y)) continue;
      const float k = Smooth(0, bottom, static_cast<float>(y));
      s.canvas.at(x, y) = Mix(Hex(0x05070b), s.canvas.at(x, y), k * 0.8f);
    }
}

// A furnace mouth in the foundry wall, glowing from within.
void Furnace(Scene& s, float cx, float hw, float h) {
  const float bottom = FloorAt(s, cx, 300);
  auto shape = [&](float x, float y) {
    return std::min(SdBox(x, y, cx, bottom - h / 2 + hw / 2, hw, h / 2 - hw / 2),
                    SdCircle(x, y, cx, bottom - h + hw, hw));
  };
  s.Paint(
      cx - hw - 14, bottom - h - 14, cx + hw + 14, bottom, Where::Air,
      [&](float x, float y) { return shape(x, y) - 10; },
      [&](float x, float y, float) {
        return Mix(Hex(0x2a1d1a), Hex(0x4a342c),
                   Hash01(static_cast<int>(x) / 6, static_cast<int>(y) / 6, 85));
      });
  s.Paint(cx - hw - 2, bottom - h - 2, cx + hw + 2, bottom, Where::Air, shape, [&](float x, float y, float) {
    const float t = (bottom - y) / h;
    const float flicker = Fbm(x / 9.0, y / 14.0, 3, 86);
    return Mix(Hex(0xf4cc80), Hex(0x7a2a0c), Clamp01(t * 1.2f + 0.4f * flicker - 0.2f));
  });
}

// A great round window onto the night sky and the moon.
void MoonWindow(Scene& s, float cx, float cy, float r) {
  Canvas sky(static_cast<int>(2 * r + 2), static_cast<int>(2 * r + 2));
  for (int y = 0; y < sky.height(); ++y)
    for (int x = 0; x < sky.width(); ++x) {
      sky.at(x, y) = Mix(Hex(0x0c1424), Hex(0x25324a), y / (2 * r));
      if (Hash01(x, y, 87) > 0.996f) sky.at(x, y) = Hex(0xc8d4ff) * (0.5f + 0.5f * Hash01(x, y, 88));
    }
  DrawMoon(sky, r * 1.15f, r * 0.85f, r * 0.42f, 89, false, 1.2f);
  s.Paint(
      cx - r - 16, cy - r - 16, cx + r + 16, cy + r + 16, Where::Air,
      [&](float x, float y) { return SdCircle(x, y, cx, cy, r + 14); },
      [&](float x, float y, float) {
        const float a = rmath::Atan2(y - cy, x - cx);
        const bool joint = std::fmod(a + 3.15f, 0.3927f) < 0.03f;
        return joint ? Hex(0x1a1d24) : Mix(Hex(0x565c6c), Hex(0x2c303a), Clamp01((y - cy) / r * 0.5f + 0.5f));
      });
  s.Paint(
      cx - r, cy - r, cx + r, cy + r, Where::Air, [&](float x, float y) { return SdCircle(x, y, cx, cy, r); },
      [&](float x, float y, float) {
        const int sx = static_cast<int>(x - (cx - r)), sy = static_cast<int>(y - (cy - r));
        Rgb c = sky.at(std::clamp(sx, 0, sky.width() - 1), std::clamp(sy, 0, sky.height() - 1));
        // Tracery: a cross of iron bars and a ring.
        const float bars = std::min(std::fabs(x - cx), std::fabs(y - cy)) - 2.5f;
        const float ring = std::fabs(SdCircle(x, y, cx, cy, r * 0.5f)) - 2.0f;
        if (std::min(bars, ring) < 0) c = Hex(0x15171d);
        return c;
      });
}

// Bright mineral veins in the rock; they catch the light.
void Crystals(Scene& s, float x, float y, uint64_t seed) {
  Random r(seed);
  for (int i = 0; i < 7; ++i) {
    const float cx = x + static_cast<float>(r.Range(-18, 18)), cy = y + static_cast<float>(r.Range(-14, 14));
    const float a = static_cast<float>(r.Range(0, 3.14)), len = static_cast<float>(r.Range(5, 12));
    const float ex = cx + rmath::Cos(a) * len, ey = cy - rmath::Sin(a) * len;
    s.Paint(
        std::min(cx, ex) - 4, std::min(cy, ey) - 4, std::max(cx, ex) + 4, std::max(cy, ey) + 4, Where::Solid,
        [&](float px, float py) { return SdSegment(px, py, cx, cy, ex, ey, 1.6f); },
        [&](float px, float py, float) {
          return Mix(Hex(0x9fe8ff), Hex(0x2a7c9a), Clamp01(rmath::Hypot(px - ex, py - ey) / len));
        });
  }
  s.Light(x, y, 34, Rgb{0.02f, 0.07f, 0.1f});
}

// A closed iron portcullis in an arched gate.
void Portcullis(Scene& s, float x0, float x1, float top, float bottom) {
  const float cx = (x0 + x1) / 2, hw = (x1 - x0) / 2;
  auto arch = [&](float x, float y) {
    return std::min(SdBox(x, y, cx, (top + hw + bottom) / 2, hw, (bottom - top - hw) / 2),
                    SdCircle(x, y, cx, top + hw, hw));
  };
  s.Paint(
      x0 - 8, top - 8, x1 + 8, bottom, Where::Solid, [&](float x, float y) { return arch(x, y) - 6; },
      [&](float x, float y, float) { return s.canvas.at(static_cast<int>(x), static_cast<int>(y)) * 1.35f; });
  s.Paint(x0, top, x1, bottom, Where::Solid, arch, [&](float x, float y, float) {
    const float gx = std::fabs(std::fmod(x - x0, 14.0f) - 7), gy = std::fabs(std::fmod(y - top, 16.0f) - 8);
    if (gx < 2.2f || gy < 1.6f) return Mix(Hex(0x4c4a50), Hex(0x24232a), gx / 2.2f);
    return Hex(0x07080b) * (1 + 0.8f * Smooth(bottom, top, y));
  });
}

// Ivy climbing a wall.
void Ivy(Scene& s, float x0, float x1, float y0, float y1, uint64_t seed) {
  Random r(seed);
  for (int i = 0; i < 140; ++i) {
    const float x = static_cast<float>(r.Range(x0, x1));
    const float y = y1 - static_cast<float>(rmath::Pow(r.Unit(), 0.6)) * (y1 - y0);
    const float rad = static_cast<float>(r.Range(2.5, 5));
    s.Paint(
        x - rad, y - rad, x + rad, y + rad, Where::Solid,
        [&](float px, float py) { return SdEllipse(px, py, x, y, rad, rad * 0.7f); },
        [&](float px, float py, float) {
          return Mix(Hex(0x1d3322), Hex(0x48704c), Clamp01((x - px + y - py) / (2 * rad) + 0.5f));
        });
  }
}

// Niches full of skulls in an ossuary wall.
void Niches(Scene& s, float x0, float x1, float y0, float y1) {
  for (float y = y0; y + 40 <= y1; y += 52)
    for (float x = x0; x + 34 <= x1; x += 46) {
      const float cx = x + 17, cy = y + 24;
      s.Paint(
          x, y, x + 34, y + 44, Where::Air,
          [&](float px, float py) {
            return std::min(SdBox(px, py, cx, cy + 6, 15, 14), SdCircle(px, py, cx, cy - 6, 15));
          },
          [](float, float, float) { return Hex(0x07080b); });
      for (const float sx : {cx - 7.0f, cx + 7.0f}) {
        s.Paint(
            sx - 7, cy + 4, sx + 7, cy + 19, Where::Air,
            [&](float px, float py) { return SdEllipse(px, py, sx, cy + 12, 6, 7); },
            [&](float px, float py, float) {
              const bool eye = SdCircle(px, py, sx - 2.2f, cy + 11, 1.6f) < 0 ||
                               SdCircle(px, py, sx + 2.2f, cy + 11, 1.6f) < 0;
              return eye ? Hex(0x0a0a0c) : Mix(Hex(0x9c957f), Hex(0x4a463c), Clamp01((py - cy - 5) / 14));
            });
      }
    }
}

// Row 0 ------------------------------------------------------------------

void Level0(Scene& s, bool front) {
  if (!front) {
    Tree(s, 640, 470, 330, 301);
    Tree(s, 730, 470, 250, 302);
    Tree(s, 250, 470, 200, 303);
    Bushes(s, 100, 380, 472, 304);
    Bushes(s, 520, 800, 472, 305);
    return;
  }
  Ivy(s, 0, 100, 160, 470, 306);
  // An arrow slit in the tower.
  s.Paint(
      40, 220, 60, 300, Where::Solid, [](float x, float y) { return SdBox(x, y, 50, 260, 3, 30, 2); },
      [](float, float, float) { return Hex(0x08090c); });
}

void Level1(Scene& s, bool front) {
  if (!front) {
    // The chapel's west wall with its broken rose window and lancets.
    auto chapel = [](float x, float y) {
      float d = SdPolygon(x, y, {430, 470, 430, 250, 560, 150, 690, 250, 720, 300, 760, 320, 780, 470});
      d = std::max(d, -SdPolygon(x, y, {640, 170, 700, 150, 760, 260, 700, 300}));
      return d;
    };
    Ruin(s, 420, 140, 790, 470, chapel);
    Open(s, 480, 180, 640, 320, [](float x, float y) { return SdCircle(x, y, 560, 240, 38); });
    for (const float wx : {470.0f, 650.0f})
      Open(s, wx - 16, 300, wx + 16, 430, [wx](float x, float y) {
        return std::min(SdBox(x, y, wx, 385, 11, 45), SdCircle(x, y, wx, 340, 11));
      });
    Bushes(s, 0, 300, 472, 311);
    Tree(s, 90, 470, 260, 312);
    Pit(s, 320, 384, 460);
    return;
  }
  for (const float lx : {185.0f, 211.0f}) {
    s.Paint(
        lx - 2, 446, lx + 2, 470, Where::Air,
        [lx](float x, float y) { return SdBox(x, y, lx, 460, 1.5f, 12); },
        [](float, float, float) { return Hex(0x2a2624); });
    DrawLantern(s, lx, 442, Where::Air);
  }
  // A lantern hangs in the crypt's mouth, and its glow rises from the hole.
  Chain(s, 352, 461, 508, Where::Air);
  DrawLantern(s, 352, 524, Where::Air);
  s.Light(352, 525, 70, Rgb{0.35f, 0.2f, 0.06f});
}

void Level2(Scene& s, bool front) {
  if (!front) {
    // A gatehouse by the road, its door lit between two lanterns.
    auto house = [](float x, float y) {
      return std::min(SdBox(x, y, 108, 370, 80, 100), SdPolygon(x, y, {20, 272, 108, 200, 196, 272}));
    };
    Ruin(s, 20, 190, 200, 470, house);
    Open(s, 130, 200, 200, 300, [](float x, float y) {
      return SdPolygon(x, y, {150, 200, 200, 200, 200, 330, 170, 290});
    });
    s.Paint(
        90, 380, 126, 462, Where::Any,
        [](float x, float y) {
          return std::min(SdBox(x, y, 108, 430, 14, 32), SdCircle(x, y, 108, 398, 14));
        },
        [](float, float y, float) { return Mix(Hex(0xb06a22), Hex(0x4a2410), Clamp01((y - 384) / 80)); });
    Tree(s, 270, 474, 300, 321);
    Bushes(s, 200, 480, 476, 322);
    return;
  }
  DrawLantern(s, 95, 380, Where::Air);
  DrawLantern(s, 121, 380, Where::Air);
}

void Level3(Scene& s, bool front) {
  if (!front) {
    // The aqueduct marches across the far side of the lake.
    auto aqueduct = [](float x, float y) {
      float arches = 1e9f;
      for (float cx = -20; cx < 860; cx += 110)
        arches = std::min(arches, std::min(SdBox(x, y, cx, 380, 38, 110), SdCircle(x, y, cx, 270, 38)));
      return std::max(std::max(SdBox(x, y, 400, 330, 420, 135), -arches), 195 - y);
    };
    Ruin(s, 0, 190, 799, 470, aqueduct);
    Open(s, 150, 180, 360, 300, [](float x, float y) {
      return SdPolygon(x, y, {170, 180, 350, 180, 320, 240, 250, 220, 200, 260});
    });
    Pit(s, 292, 356, 470);
    Bushes(s, 360, 540, 472, 331);
    return;
  }
  s.Light(324, 560, 50, Rgb{0.12f, 0.1f, 0.16f});
}

void Level4(Scene& s, bool front) {
  if (!front) {
    // The lantern tower on the causeway.
    Ruin(s, 140, 100, 236, 470, [](float x, float y) {
      return std::min(SdBox(x, y, 185, 300, 38, 180), SdPolygon(x, y, {140, 130, 185, 90, 230, 130}));
    });
    for (const float wx : {171.0f, 198.0f})
      s.Paint(
          wx - 7, 180, wx + 7, 214, Where::Any,
          [wx](float x, float y) {
            return std::min(SdBox(x, y, wx, 202, 5, 11), SdCircle(x, y, wx, 191, 5));
          },
          [](float, float y, float) { return Mix(Hex(0xf0b860), Hex(0x8a4a16), Clamp01((y - 184) / 30)); });
    Bushes(s, 20, 140, 462, 341);
    return;
  }
  Portcullis(s, 736, 800, 250, 380);
  Ivy(s, 720, 800, 60, 240, 342);
  s.Light(171, 198, 40, Rgb{0.2f, 0.12f, 0.03f});
  s.Light(198, 198, 40, Rgb{0.2f, 0.12f, 0.03f});
}

// Row 1 ------------------------------------------------------------------

// Torches hang above the band where the vaults' fog layers drift (about
// 200 to 400 down): those layers are added without clamping, and a flame
// under them would carry its bright colours over into the wrong ones.
constexpr float kVaultTorchY = 180;

void CryptColumns(Scene& s, std::initializer_list<float> xs, float floorY) {
  for (float x : xs) Column(s, x, 22, 0, floorY, 0.75f);
}

void Level5(Scene& s, bool front) {
  if (!front) {
    CryptColumns(s, {270, 540}, 480);
    // The well: a dark throat down into the rock, lit faintly from far below.
    s.Paint(
        200, 480, 280, 600, Where::Air, [](float x, float y) { return SdBox(x, y, 240, 540, 40, 60); },
        [](float x, float y, float) {
          return Mix(Hex(0x0b0d12), Hex(0x2a5a6a), Smooth(500, 600, y) * (1 - std::fabs(x - 240) / 50));
        });
    return;
  }
  DrawTorch(s, 380, kVaultTorchY);
  DrawTorch(s, 700, kVaultTorchY);
  s.Light(240, 590, 90, Rgb{0.05f, 0.15f, 0.2f});
}

void Level6(Scene& s, bool front) {
  if (!front) {
    CryptColumns(s, {270, 560}, 500);
    Opening(s, 266, 438, 230);
    Beam(s, 300, 404, 50, 0, 500, Rgb{0.06f, 0.075f, 0.1f});
    return;
  }
  DrawTorch(s, 150, kVaultTorchY);
  DrawTorch(s, 700, 320);  // east of the fog band
  // Roots hang where the chapel floor broke through.
  Chain(s, 460, 140, 260, Where::Air);
}

void Level7(Scene& s, bool front) {
  if (!front) {
    CryptColumns(s, {200, 400, 600}, 480);
    Niches(s, 230, 370, 260, 470);
    Niches(s, 630, 770, 250, 470);
    Niches(s, 20, 170, 260, 490);
    return;
  }
  DrawTorch(s, 100, kVaultTorchY);
  Chain(s, 300, 180, 330, Where::Air);
  Chain(s, 500, 170, 300, Where::Air);
}

void Level8(Scene& s, bool front) {
  if (!front) {
    Opening(s, 240, 410, 200);
    Beam(s, 270, 380, 60, 0, 480, Rgb{0.06f, 0.075f, 0.1f});
    // Dark water behind the crypt floor.
    s.Paint(
        0, 400, 800, 500, Where::Air, [](float, float y) { return 420 - y; },
        [](float x, float y, float) {
          const float glint = Smooth(0.6f, 0.8f, static_cast<float>(Fbm(x / 30.0, y / 3.0, 3, 91)));
          return Mix(Hex(0x0a1018), Hex(0x3a5068), glint * Smooth(400, 470, y));
        });
    return;
  }
  // Under the low cave roof they hang at the band's upper edge, where only
  // its faintest wisps reach, and burn a little lower.
  DrawTorch(s, 120, 200, 0.85f);
  DrawTorch(s, 640, 210, 0.85f);
}

void Level9(Scene& s, bool front) {
  if (!front) {
    CryptColumns(s, {250, 500}, 500);
    s.Paint(
        0, 420, 730, 500, Where::Air, [](float, float y) { return 440 - y; },
        [](float x, float y, float) {
          const float glint = Smooth(0.6f, 0.8f, static_cast<float>(Fbm(x / 30.0, y / 3.0, 3, 92)));
          return Mix(Hex(0x0a1018), Hex(0x3a5068), glint * Smooth(420, 490, y));
        });
    return;
  }
  DrawTorch(s, 380, kVaultTorchY);
  DrawTorch(s, 640, kVaultTorchY);
}

// The shaft and row 3 --------------------------------------------------------

void Level10(Scene& s, bool front) {
  if (!front) {
    // Old timbers across the shaft, far behind.
    for (const float y : {110.0f, 330.0f, 500.0f})
      s.Paint(
          140, y - 8, 540, y + 8, Where::Air, [y](float, float py) { return std::fabs(py - y) - 6; },
          [](float x, float py, float) {
            return Mix(Hex(0x2a2018), Hex(0x140f0c),
                       Hash01(static_cast<int>(x) / 20, static_cast<int>(py), 93));
          });
    Opening(s, 140, 540, 90);
    Beam(s, 230, 330, 30, 0, 600, Rgb{0.02f, 0.05f, 0.06f});
    return;
  }
  Crystals(s, 120, 180, 101);
  Crystals(s, 560, 120, 102);
  Crystals(s, 130, 470, 103);
  Crystals(s, 560, 520, 104);
  Chain(s, 460, 0, 240, Where::Air);
  s.Light(250, 620, 280, Rgb{0.22f, 0.09f, 0.02f});
  s.Light(330, -60, 420, Rgb{0.06f, 0.08f, 0.11f});
}

void FoundryCommon(Scene& s, bool front, std::initializer_list<float> furnaces, float floorY,
                   std::initializer_list<float> chains) {
  if (!front) {
    for (float x : furnaces) Furnace(s, x, 34, 120);
    return;
  }
  for (float x : furnaces) s.Light(x, floorY - 50, 180, Rgb{0.28f, 0.12f, 0.03f});
  for (float x : chains) Chain(s, x, 125, 300, Where::Air);  // from the iron roof
}

void Level15(Scene& s, bool front) {
  if (!front) Opening(s, 100, 400, 160);
  FoundryCommon(s, front, {300, 690}, 480, {460});
  if (front) s.Light(250, 0, 140, Rgb{0.04f, 0.08f, 0.1f});
}
void Level16(Scene& s, bool front) { FoundryCommon(s, front, {120, 400, 640}, 470, {260, 540}); }
void Level17(Scene& s, bool front) {
  FoundryCommon(s, front, {400}, 470, {300, 500});
  if (!front) {
    for (const float x : {240.0f, 560.0f}) Column(s, x, 18, 90, 470, 0.55f);
  }
}
void Level18(Scene& s, bool front) { FoundryCommon(s, front, {350, 520}, 480, {240, 640}); }
void Level19(Scene& s, bool front) {
  FoundryCommon(s, front, {150, 520}, 470, {250});
  if (!front) {
    s.Paint(
        360, 470, 440, 600, Where::Air, [](float x, float y) { return SdBox(x, y, 400, 535, 40, 65); },
        [](float, float y, float) { return Mix(Hex(0x100b0a), Hex(0x8a5a40), Smooth(520, 600, y)); });
    return;
  }
  s.Light(400, 600, 110, Rgb{0.25f, 0.2f, 0.15f});
}

void Level24(Scene& s, bool front) {
  if (!front) {
    Opening(s, 310, 490, 120);
    MoonWindow(s, 400, 300, 110);
    Beam(s, 330, 470, 40, 0, 470, Rgb{0.07f, 0.08f, 0.1f});
    Column(s, 150, 24, 150, 470, 0.8f);
    Column(s, 660, 24, 150, 470, 0.8f);
    return;
  }
  s.Light(400, 300, 260, Rgb{0.05f, 0.06f, 0.09f});
  DrawTorch(s, 150, 300);
  DrawTorch(s, 660, 300);
}

}  // namespace

void DrawLantern(Scene& s, float x, float y, Where where) {
  s.Paint(
      x - 7, y - 14, x + 7, y + 10, where,
      [&](float px, float py) {
        return std::min(SdBox(px, py, x, y, 5.5f, 8, 1.5f),
                        SdPolygon(px, py, {x - 6, y - 8, x, y - 14, x + 6, y - 8}));
      },
      [&](float px, float py, float) {
        const bool frame = std::fabs(px - x) > 3.6f || std::fabs(py - y) > 6.4f || std::fabs(px - x) < 0.7f;
        return frame ? Hex(0x2c2724)
                     : Mix(Hex(0xffe2a0), Hex(0xd07a20), Clamp01(rmath::Hypot(px - x, py - y) / 6));
      });
  s.Light(x, y, 28, Rgb{0.35f, 0.22f, 0.06f});
}

void DrawTorch(Scene& s, float x, float y, float flame) {
  s.Paint(
      x - 6, y - 2, x + 6, y + 22, Where::Any,
      [&](float px, float py) {
        return SdPolygon(px, py, {x - 6, y, x + 6, y, x + 2, y + 20, x - 2, y + 20});
      },
      [&](float px, float, float) { return Mix(Hex(0x4a3a30), Hex(0x1a1412), Smooth(x - 6, x + 6, px)); });
  s.Paint(
      x - 8, y - 26, x + 8, y + 2, Where::Any,
      [&](float px, float py) {
        const float t = Clamp01((y - py) / 24);
        return rmath::Hypot((px - x) / (6.5f * (1 - t) + 0.5f), (py - y + 8) / 12) * 6 - 6;
      },
      [&](float px, float py, float) {
        return Mix(Hex(0xfff0b0), Hex(0xe05a10), Clamp01(rmath::Hypot(px - x, (py - y + 6) * 0.6f) / 7)) *
               flame;
      });
  s.Light(x, y - 8, 150, Rgb{0.3f, 0.16f, 0.04f} * flame);
}

void PaintDecor(Scene& s, bool front) {
  switch (s.geo.level) {
    case 0:
      Level0(s, front);
      break;
    case 1:
      Level1(s, front);
      break;
    case 2:
      Level2(s, front);
      break;
    case 3:
      Level3(s, front);
      break;
    case 4:
      Level4(s, front);
      break;
    case 5:
      Level5(s, front);
      break;
    case 6:
      Level6(s, front);
      break;
    case 7:
      Level7(s, front);
      break;
    case 8:
      Level8(s, front);
      break;
    case 9:
      Level9(s, front);
      break;
    case 10:
      Level10(s, front);
      break;
    case 15:
      Level15(s, front);
      break;
    case 16:
      Level16(s, front);
      break;
    case 17:
      Level17(s, front);
      break;
    case 18:
      Level18(s, front);
      break;
    case 19:
      Level19(s, front);
      break;
    case 24:
      Level24(s, front);
      break;
    default:
      break;
  }
}

}  // namespace datagen
