// The item pickups. The game draws them at 70 / 256 of their size with a
// coloured light beneath, so they are drawn large with bold shapes and
// strong contrast: two crystals for the blade charms, two medallions (the
// loader turns them grey, so they rely on light and shade alone) and a
// pair of cartridges for the double shot.
#include <cmath>
#include <vector>

#include "datagen/art_kit.h"
#include "datagen/noise.h"
#include "datagen/player_art.h"
#include "maths/repro_math.h"

namespace datagen {
namespace {

// A glow that lights only what is already drawn: the pickups are keyed on
// black, so a halo around them would show as a dark box.
void GlowOn(Canvas& c, float cx, float cy, float radius, Rgb colour, float power = 2.0f) {
  for (int y = std::max(0, static_cast<int>(cy - radius));
       y <= std::min(c.height() - 1, static_cast<int>(cy + radius)); ++y)
    for (int x = std::max(0, static_cast<int>(cx - radius));
         x <= std::min(c.width() - 1, static_cast<int>(cx + radius)); ++x) {
      const Rgb p = c.at(x, y);
      if (p.r + p.g + p.b <= 0.02f) continue;
      const float d = rmath::Hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
      if (d < 1) c.at(x, y) = p + colour * rmath::Pow(1 - d, power);
    }
}

float Lambert(float nx, float ny, float nz) {
  const float len = std::sqrt(nx * nx + ny * ny + nz * nz);
  return std::max(0.0f, (-0.5f * nx - 0.55f * ny + 0.67f * nz) / len);
}

// A faceted crystal: the outline (convex, points in order) is cut into
// facets that meet at `apex`, each lit by its own slope; a glow inside and
// a glint on the upper left.
Canvas Crystal(int w, int h, const std::vector<float>& outline, float apexX, float apexY, Rgb dark, Rgb light,
               Rgb glow) {
  Canvas c(w, h);
  const size_t n = outline.size() / 2;
  for (size_t i = 0; i < n; ++i) {
    const size_t j = (i + 1) % n;
    const float ax = outline[2 * i], ay = outline[2 * i + 1], bx = outline[2 * j], by = outline[2 * j + 1];
    const float mx = (ax + bx) / 2 - apexX, my = (ay + by) / 2 - apexY;
    const float ml = std::max(rmath::Hypot(mx, my), 1.0f);
    const float light01 = Lambert(mx / ml, my / ml, 1.1f);
    const std::vector<float> facet = {apexX, apexY, ax, ay, bx, by};
    c.Paint(
        0, 0, w - 1, h - 1, [&](float x, float y) { return SdPolygon(x, y, facet) - 0.5f; },
        [&](float x, float y, float d) {
          const float veins = static_cast<float>(Fbm(x / 18.0, y / 18.0, 3, 700 + static_cast<uint32_t>(i)));
          Rgb col = Mix(dark, light, Clamp01(0.15f + 1.1f * light01 + 0.2f * veins));
          // Bright ridges where the facets meet.
          col = col + light * (Smooth(-2.5f, 0, d) * 0.35f);
          return col;
        });
  }
  // The heart of the stone and a glint.
  GlowOn(c, apexX, apexY, static_cast<float>(std::max(w, h)) * 0.55f, glow * 0.5f, 2.0f);
  GlowOn(c, apexX, apexY, static_cast<float>(std::min(w, h)) * 0.3f, glow, 1.8f);
  const float gx = apexX - w * 0.1f, gy = apexY - h * 0.12f;
  c.Fill(
      0, 0, w - 1, h - 1, [&](float x, float y) { return SdEllipse(x, y, gx, gy, 7, 1.4f); }, Hex(0xffffff));
  c.Fill(
      0, 0, w - 1, h - 1, [&](float x, float y) { return SdEllipse(x, y, gx, gy, 1.4f, 7); }, Hex(0xffffff));
  GlowOn(c, gx, gy, 10, Rgb{0.4f, 0.4f, 0.45f});
  return c;
}

// A medallion: a rimmed disc with an embossed sign given as a height
// field `sign(x, y)` in 0..1 and a loop to hang it by.
template <class Sign>
Canvas Medallion(int side, uint32_t seed, Sign sign) {
  Canvas c(side, side);
  const float cx = side / 2.0f, cy = side / 2.0f + 6, r = side / 2.0f - 14;
  Bevel bevel(side, side);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const float px = x + 0.5f, py = y + 0.5f;
      const float d = rmath::Hypot(px - cx, py - cy);
      float hgt = 0;
      if (d < r) {
        const float rim = Smooth(r - 14, r - 6, d) * Smooth(r, r - 3, d);
        const float beads =
            d > r - 11 && d < r - 7 ? 0.15f * rmath::Cos(rmath::Atan2(py - cy, px - cx) * 36) : 0;
        hgt = 0.3f + 0.7f * rim + beads + 0.6f * sign(px, py);
      }
      bevel.at(x, y) = hgt;
    }
  // The loop on top, its eye filled dark so the picture keeps no holes.
  c.Fill(
      0, 0, side - 1, side - 1, [&](float x, float y) { return SdEllipse(x, y, cx, cy - r - 2, 9, 10); },
      Hex(0x2a2620));
  c.Paint(
      0, 0, side - 1, side - 1,
      [&](float x, float y) { return std::fabs(SdEllipse(x, y, cx, cy - r - 2, 9, 10)) - 3; },
      [&](float x, float y, float) {
        return Hex(0xc8a868) * (0.5f + 0.6f * Lambert(x - cx, y - (cy - r - 2), 8));
      });
  c.Paint(
      0, 0, side - 1, side - 1, [&](float x, float y) { return SdCircle(x, y, cx, cy, r); },
      [&](float x, float y, float) {
        const int ix = static_cast<int>(x), iy = static_cast<int>(y);
        const float wear = static_cast<float>(Fbm(x / 11.0, y / 11.0, 3, seed));
        const Rgb metal = Mix(Hex(0x8a6a34), Hex(0xf0d590), 0.35f + 0.4f * wear);
        return metal * bevel.Light(ix, iy, 14.0f);
      });
  return c;
}

// Smooth-edged height of a shape given by its signed distance.
float Raised(float d, float width) { return Smooth(width, -width, d); }

Canvas ArmourMedallion() {
  const int s = 176;
  const float cx = s / 2.0f, cy = s / 2.0f + 6;
  return Medallion(s, 710, [&](float x, float y) {
    // A heater shield with a crescent on it.
    const float shield = std::max(SdBox(x, y, cx, cy - 10, 34, 26, 6), -SdBox(x, y, cx, cy + 60, 80, 44));
    const float point = SdPolygon(x, y, {cx - 34, cy + 8, cx + 34, cy + 8, cx, cy + 52});
    const float body = std::min(shield, point);
    const float crescent = std::max(SdCircle(x, y, cx, cy + 2, 17), -SdCircle(x, y, cx + 8, cy - 3, 14));
    return Raised(body, 2.5f) * 0.6f + Raised(crescent, 1.5f) * 0.4f;
  });
}

Canvas RegenerationMedallion() {
  const int s = 176;
  const float cx = s / 2.0f, cy = s / 2.0f + 6;
  Canvas c = Medallion(s, 720, [&](float x, float y) {
    // A heart with rays around it.
    const float lobes = std::min(SdCircle(x, y, cx - 15, cy - 10, 19), SdCircle(x, y, cx + 15, cy - 10, 19));
    const float tip = SdPolygon(x, y, {cx - 32, cy - 2, cx + 32, cy - 2, cx, cy + 40});
    const float heart = std::min(lobes, tip);
    const float a = rmath::Atan2(y - cy, x - cx), d = rmath::Hypot(x - cx, y - cy);
    const float rays = rmath::Cos(a * 12) > 0.6f && d > 50 && d < 60 ? 0.3f : 0.0f;
    return Raised(heart, 2.5f) * 0.9f + rays;
  });
  // The heart glows from within: bright enough to stay light once grey.
  GlowOn(c, cx, cy - 4, 34, Rgb{0.35f, 0.3f, 0.25f}, 2.0f);
  return c;
}

// Two cartridges side by side, tips glowing.
Canvas DoubleShot() {
  const int w = 160, h = 176;
  Canvas c(w, h);
  for (float s : {-1.0f, 1.0f}) {
    const float bx = 80 + s * 24, tilt = s * 0.12f;
    auto local = [&](float x, float y, float& u, float& v) {
      // u across, v along the cartridge (0 at the tip's point, down).
      const float dx = x - bx, dy = y - 22;
      u = dx * rmath::Cos(tilt) + dy * rmath::Sin(tilt);
      v = -dx * rmath::Sin(tilt) + dy * rmath::Cos(tilt);
    };
    c.Paint(
        0, 0, w - 1, h - 1,
        [&](float x, float y) {
          float u, v;
          local(x, y, u, v);
          const float casing = SdBox(u, v, 0, 100, 19, 50, 3);
          const float rim = SdBox(u, v, 0, 147, 21, 5, 2);
          const float bullet =
              v < 50 ? std::fabs(u) - 19 * std::sqrt(Clamp01(v / 50)) : SdBox(u, v, 0, 50, 17, 6);
          return std::min(std::min(casing, rim), std::max(bullet, -v));
        },
        [&](float x, float y, float) {
          float u, v;
          local(x, y, u, v);
          const float across = Clamp01(u / 20);
          const float shade = 0.45f + 0.9f * std::max(0.0f, 1 - std::fabs(u / 19 + 0.35f));
          if (v < 50) {
            // The glowing tip: copper going to ember.
            return Mix(Hex(0xffd08a), Hex(0xb0502a), Clamp01(v / 50 + across * 0.3f)) * shade;
          }
          const Rgb brass = Mix(Hex(0xa07a3c), Hex(0xf2d58e), 0.5f);
          const float groove = std::fabs(v - 58) < 2 || std::fabs(v - 140) < 1.5f ? 0.6f : 1.0f;
          return brass * shade * groove;
        });
  }
  for (float s : {-1.0f, 1.0f}) GlowOn(c, 80 + s * 24 - s * 2, 26, 22, Rgb{0.35f, 0.15f, 0.02f}, 1.8f);
  return c;
}

}  // namespace

void WriteItemArt(DataSetWriter& out) {
  // The long blade's charm: a tall violet shard.
  out.WritePicture("data/gem1.vx1",
                   Crystal(120, 184, {60, 4, 100, 56, 92, 140, 60, 180, 28, 140, 20, 56}, 56, 70,
                           Hex(0x241048), Hex(0xc9a2ff), Rgb{0.25f, 0.1f, 0.45f}),
                   true);
  out.WritePicture("data/med1.vx1", ArmourMedallion(), true);
  out.WritePicture("data/det1.vx1", DoubleShot(), true);
  out.WritePicture("data/med2.vx1", RegenerationMedallion(), true);
  // The broad blade's charm: a wide sea-green stone.
  out.WritePicture("data/gem2.vx1",
                   Crystal(184, 150, {92, 6, 152, 34, 180, 76, 150, 118, 92, 146, 34, 118, 4, 76, 32, 34}, 86,
                           64, Hex(0x06303a), Hex(0x8ff0ff), Rgb{0.05f, 0.3f, 0.4f}),
                   true);
}

}  // namespace datagen
