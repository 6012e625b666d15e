// What the monsters throw and leave behind: the shot orbs (drawn added onto
// the screen, so bright on black, with swirls that show their spin), the
// glowing shards and stone chips that a burst shot scatters, the ejected
// shell, the falling rocks, and the danger warning drawn over the player.
#include <cmath>

#include "datagen/creature_art.h"
#include "datagen/noise.h"
#include "datagen/random.h"
#include "maths/repro_math.h"

namespace datagen {
namespace {

constexpr float kPi = 3.14159265f;

// A picture from a canvas; colours darker than `cut` (sum of the three
// bytes) become black, so that no dim haze is left opaque round a shape.
Strip FromCanvas(const Canvas& c, uint32_t cut = 0) {
  Strip s;
  s.side = c.height();
  s.width = c.width();
  s.frames = 1;
  s.pixels = c.ToPixels();
  for (uint32_t& p : s.pixels)
    if ((p & 255) + ((p >> 8) & 255) + ((p >> 16) & 255) < cut) p = 0xff000000u;
  return s;
}

Strip FromSprite(const Sprite& sp) { return MakeStrip({sp}); }

// A glowing orb: a white-hot core, a coloured body with three swirling arms
// and a halo that fades to black before the edge.
Canvas Orb(int side, Rgb core, Rgb body, Rgb halo, float twist) {
  Canvas c(side, side);
  const float m = side / 2.0f;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const float dx = x + 0.5f - m, dy = y + 0.5f - m;
      const float r = rmath::Hypot(dx, dy) / (m - 1);
      if (r >= 1) continue;
      const float a = rmath::Atan2(dy, dx);
      const float arms = 0.5f + 0.5f * rmath::Cos(3 * a + r * twist);
      const float fade = Smooth(1.0f, 0.7f, r);
      Rgb col = halo * (rmath::Exp(-r * r * 3) * 0.8f * fade);
      col = col + body * (rmath::Exp(-r * r * 5) * (0.45f + 0.55f * arms) * Smooth(0.95f, 0.3f, r));
      col = col + core * rmath::Exp(-r * r * 22);
      c.at(x, y) = col;
    }
  return c;
}

// A burning shard: a jagged sliver, white-hot inside, deep orange at the
// edges (the game takes half its brightness as its opacity).
Canvas Shard(int side, uint32_t seed) {
  Random rnd(seed);
  const float m = side / 2.0f;
  std::vector<float> pts;
  const int n = 5;
  for (int i = 0; i < n; ++i) {
    const float a = 2 * kPi * i / n + static_cast<float>(rnd.Range(-0.3, 0.3));
    const float r = (i % 2 ? 0.35f : 0.9f) * (m - 1) * static_cast<float>(rnd.Range(0.75, 1.0));
    pts.insert(pts.end(), {m + rmath::Cos(a) * r, m + rmath::Sin(a) * r * 0.7f});
  }
  Canvas c(side, side);
  c.Paint(
      0, 0, side - 1, side - 1, [&](float x, float y) { return SdPolygon(x, y, pts); },
      [&](float x, float y, float d) {
        const float heat =
            Clamp01(-d / 4.0f) * (0.75f + 0.25f * static_cast<float>(ValueNoise(x / 3.0, y / 3.0, seed)));
        return Mix(Hex(0x9a3006), Hex(0xfff4c0), Clamp01(heat * 1.8f));
      });
  return c;
}

// A stone chip: a small lit fragment of rock.
Sprite Chip(int side, uint32_t seed) {
  Random rnd(seed);
  Sprite s(side);
  const float m = side / 2.0f;
  std::vector<float> pts;
  const int n = 5 + static_cast<int>(rnd.Int(0, 1));
  for (int i = 0; i < n; ++i) {
    const float a = 2 * kPi * i / n + static_cast<float>(rnd.Range(-0.25, 0.25));
    const float r = (m - 1.5f) * static_cast<float>(rnd.Range(0.55, 1.0));
    pts.insert(pts.end(), {m + rmath::Cos(a) * r, m + rmath::Sin(a) * r * 0.8f});
  }
  s.Part(Polygon(pts), StoneSkin(seed), side * 0.3f);
  return s;
}

// A boulder: a lumpy outline, lit stone, a few dark cracks.
Sprite Rock(int side, uint32_t seed) {
  Random rnd(seed);
  Sprite s(side);
  const float m = side / 2.0f;
  std::vector<float> pts;
  const int n = 11;
  for (int i = 0; i < n; ++i) {
    const float a = 2 * kPi * i / n + static_cast<float>(rnd.Range(-0.12, 0.12));
    const float r = (m - 2) * static_cast<float>(rnd.Range(0.78, 1.0));
    pts.insert(pts.end(), {m + rmath::Cos(a) * r, m + rmath::Sin(a) * r});
  }
  s.Part(Polygon(pts), StoneSkin(seed), side * 0.35f);
  for (int i = 0; i < 3; ++i) {
    const Pt a{m + static_cast<float>(rnd.Range(-m / 2, m / 2)),
               m + static_cast<float>(rnd.Range(-m / 2, m / 2))};
    // One draw a statement: the order of a call's arguments is the
    // compiler's choice, and differs between processors.
    const float length = static_cast<float>(rnd.Range(m / 3, m / 1.6));
    const float degrees = static_cast<float>(rnd.Range(0, 360));
    const Pt b = Polar(a, degrees, length);
    s.Tint(Limb(a, b, 0.9f, 0.4f), Rgb{0.35f, 0.33f, 0.33f}, 1.0f);
  }
  return s;
}

// The ejected shell: a brass case lying aslant, its rim darker.
Sprite Shell() {
  Sprite s(16);
  const Skin brass = [](float x, float y) {
    return Mix(Hex(0x7a5a22), Hex(0xd8b060), static_cast<float>(ValueNoise(x / 3.0, y / 3.0, 808)));
  };
  s.Part(Limb({4, 11.5f}, {11.5f, 4.5f}, 2.8f, 2.6f), brass, 2.5f, 1.0f, 0.8f);
  s.Part(Limb({3.3f, 12.3f}, {4.5f, 11}, 3.2f, 3.2f), brass, 1.5f, 0.75f);
  s.Tint(Circle({12, 4}, 1.2f), Rgb{0.4f, 0.35f, 0.3f}, 1);
  return s;
}

// The danger warning, drawn from 50 left of the player and 20 above its
// centre: two warning signs beside the body and a red ring round the feet;
// the middle stays clear so the player shows through.
Canvas DangerWarning() {
  const int w = 100, h = 80;
  Canvas c(w, h);
  // The ring on the ground, broken into dashes.
  const float rcx = 50, rcy = 69, rx = 45, ry = 8;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float dx = (x + 0.5f - rcx) / rx, dy = (y + 0.5f - rcy) / ry;
      const float k = rmath::Hypot(dx, dy);
      const float edge = std::fabs(k - 1) * std::min(rx, ry);
      const float a = rmath::Atan2(dy, dx);
      const float dash = Smooth(-0.2f, 0.3f, rmath::Cos(a * 10));
      const float line = Clamp01(1.6f - edge) * dash;
      const float glow = rmath::Exp(-edge * edge / 10) * 0.35f;
      c.at(x, y) = Hex(0xff3a1a) * line + Hex(0x801008) * glow;
    }
  // Two signs: a red-rimmed iron triangle with a glowing mark.
  for (float cx : {12.0f, 88.0f}) {
    const std::vector<float> tri{cx, 1, cx + 11.5f, 21, cx - 11.5f, 21};
    c.Paint(
        0, 0, w - 1, h - 1, [&](float x, float y) { return SdPolygon(x, y, tri); },
        [&](float x, float y, float d) {
          const float rim = Smooth(-3.2f, -2.0f, d);
          return Mix(Hex(0x2a1414) * (1.1f - (y - 1) / 30),
                     Mix(Hex(0xff5020), Hex(0xffb070), Clamp01((cx - x) / 12 + 0.3f)), rim);
        });
    c.Fill(
        0, 0, w - 1, h - 1, [&](float x, float y) { return SdSegment(x, y, cx, 8, cx, 14, 1.5f); },
        Hex(0xffd080));
    c.Fill(
        0, 0, w - 1, h - 1, [&](float x, float y) { return SdCircle(x, y, cx, 17.5f, 1.5f); }, Hex(0xffd080));
  }
  return c;
}

}  // namespace

std::vector<NamedStrip> ShotAndPieceStrips() {
  std::vector<NamedStrip> out;
  out.push_back({"data/bullet1.vx1", FromCanvas(Orb(32, Hex(0xfff2c8), Hex(0xff8a20), Hex(0x9a2a04), 7))});
  out.push_back({"data/bullet2.vx1", FromCanvas(Orb(32, Hex(0xe8ffff), Hex(0x30c8e0), Hex(0x143c8a), -7))});
  const int shardSides[3] = {24, 20, 18};
  for (int i = 0; i < 3; ++i)
    out.push_back({"data/blpr" + std::to_string(i + 1) + ".vx1", FromCanvas(Shard(shardSides[i], 733 + i))});
  const int chipSides[3] = {22, 18, 14};
  for (int i = 0; i < 3; ++i)
    out.push_back({"data/stpr" + std::to_string(i + 1) + ".vx1", FromSprite(Chip(chipSides[i], 815 + i))});
  out.push_back({"data/gnpr1.vx1", FromSprite(Shell())});
  const int rockSides[3] = {44, 52, 38};
  for (int i = 0; i < 3; ++i)
    out.push_back({"data/fstone" + std::to_string(i + 1) + ".vx1", FromSprite(Rock(rockSides[i], 725 + i))});
  out.push_back({"data/megbord.vx1", FromCanvas(DangerWarning(), 40)});
  return out;
}

}  // namespace datagen
