// The four weapons, drawn lying horizontally with the grip end at the left
// edge, as the warp onto the marker quad expects. The game turns every
// warped pose's alpha into brightness · 3 / 2 and counts only its nearly
// opaque pixels as sword hits, so the weapons are kept bright: pale steel,
// brass and light wood, no dark parts but thin lines.
#include <cmath>

#include "datagen/art_kit.h"
#include "datagen/noise.h"
#include "datagen/player_art.h"
#include "datagen/player_pose.h"
#include "maths/repro_math.h"

namespace datagen {
namespace {

float Lit(float nx, float ny) {
  const float nz = std::sqrt(std::max(0.0f, 1 - nx * nx - ny * ny));
  const float lambert = std::max(0.0f, -0.5f * nx - 0.55f * ny + 0.67f * nz);
  return 0.55f + 0.6f * lambert;
}

// Light across a horizontal bar whose top is y0 and bottom y1.
float Across(float y, float y0, float y1) {
  const float t = std::clamp((y - y0) / std::max(y1 - y0, 1e-3f) * 2 - 1, -1.0f, 1.0f);
  return Lit(0, t * 0.9f);
}

const Rgb kBrass = Hex(0xc8a868);
const Rgb kSteelDark = Hex(0x98a4bc), kSteelLight = Hex(0xe6eefa);

// The starting sword: a straight double-edged blade with a fuller, a
// brass cross-guard and a leather grip.
Canvas Sword() {
  const int w = kSwordPictureWidth, h = kSwordPictureHeight;
  const float cy = h / 2.0f;
  Canvas c(w, h);
  // Blade.
  c.Paint(
      44, 0, w - 1, h - 1,
      [&](float x, float y) {
        return SdPolygon(x, y, {46, cy - 8, 186, cy - 7, w - 1.5f, cy, 186, cy + 7, 46, cy + 8});
      },
      [&](float x, float y, float) {
        Rgb col = Mix(kSteelLight, kSteelDark, Clamp01((y - (cy - 8)) / 16));
        // The fuller: a groove along the middle, lit on its lower wall.
        if (x < 172 && std::fabs(y - cy) < 2.2f) col = y < cy ? col * 0.78f : col * 1.08f;
        // The ground edges catch the light.
        const float edge = std::min(std::fabs(y - (cy - 7.5f)), std::fabs(y - (cy + 7.5f)));
        col = col + Hex(0x303840) * Smooth(2.0f, 0.0f, edge);
        return col * (0.95f + 0.08f * static_cast<float>(ValueNoise(x / 9.0, y / 3.0, 640)));
      });
  // Grip and pommel.
  c.Paint(
      0, 0, 46, h - 1, [&](float x, float y) { return SdBox(x, y, 26, cy, 15, 4.6f, 2); },
      [&](float x, float y, float) {
        const float wrap = 0.7f + 0.3f * std::fabs(rmath::Sin((x + (y - cy) * 0.8f) * 0.55f));
        return Hex(0x9a7c5e) * wrap * Across(y, cy - 4.6f, cy + 4.6f);
      });
  c.Paint(
      0, 0, 16, h - 1, [&](float x, float y) { return SdCircle(x, y, 7, cy, 6); },
      [&](float x, float y, float) { return kBrass * Lit((x - 7) / 6.5f, (y - cy) / 6.5f); });
  // Cross-guard with flared ends.
  c.Paint(
      36, 0, 52, h - 1,
      [&](float x, float y) {
        return std::min(SdBox(x, y, 43.5f, cy, 3, cy - 4, 2),
                        std::min(SdCircle(x, y, 43.5f, 3.8f, 3.4f), SdCircle(x, y, 43.5f, h - 3.8f, 3.4f)));
      },
      [&](float x, float y, float) { return kBrass * Lit((x - 43.5f) / 4, (y - cy) / (cy + 2)); });
  return c;
}

// The long blade: a curved single-edged blade that glows. It is loaded
// with its brightness as alpha, so its halo draws like light.
Canvas LongBlade() {
  const int w = kSwordPictureWidth, h = kSwordPictureHeight;
  const float cy = h / 2.0f + 1;
  Canvas c(w, h);
  const float x0 = 57, len = w - 2 - x0;
  auto centre = [&](float x) {
    const float t = std::clamp((x - x0) / len, 0.0f, 1.0f);
    return cy - 8 * t * t;
  };
  auto halfWidth = [&](float x) {
    const float t = std::clamp((x - x0) / len, 0.0f, 1.0f);
    return 6.5f * (t < 0.88f ? 1 - 0.3f * t : (1 - t) / 0.12f * 0.736f);
  };
  for (float x = x0; x < w - 2; x += 2) c.Glow(x, centre(x), 16, Rgb{0.05f, 0.1f, 0.22f}, 1.3f);
  c.Paint(
      static_cast<int>(x0) - 1, 0, w - 1, h - 1,
      [&](float x, float y) {
        if (x < x0) return x0 - x;
        const float d = std::fabs(y - centre(x)) - halfWidth(x);
        return x > w - 2 ? std::max(d, x - (w - 2)) : d;
      },
      [&](float x, float y, float) {
        const float across = (y - centre(x)) / std::max(halfWidth(x), 0.5f);  // -1 back, 1 edge
        // The tempered edge is nearly white; the back is blue steel.
        Rgb col = Mix(Hex(0x8fa6d8), Hex(0xf2f8ff), Smooth(-0.4f, 0.5f, across));
        const float hamon = 0.25f + 0.1f * rmath::Sin(x * 0.35f);
        if (across > hamon) col = col + Hex(0x202838);
        return col;
      });
  // Guard and the wrapped grip.
  c.Paint(
      48, 0, 62, h - 1, [&](float x, float y) { return SdEllipse(x, y, 54.5f, cy, 3, 9.5f); },
      [&](float x, float y, float) { return kBrass * Lit((x - 54.5f) / 3.5f, (y - cy) / 10); });
  c.Paint(
      0, 0, 52, h - 1, [&](float x, float y) { return SdBox(x, y, 27.5f, cy, 24, 4.4f, 1.5f); },
      [&](float x, float y, float) {
        const float a = std::fabs(std::fmod(x + (y - cy) * 1.1f + 40, 9.0f) - 4.5f);
        const float b = std::fabs(std::fmod(x - (y - cy) * 1.1f + 40, 9.0f) - 4.5f);
        const float diamond = Smooth(1.2f, 0.4f, std::min(a, b));
        return Mix(Hex(0xc9d2e6), Hex(0x6d7fb0), diamond) * Across(y, cy - 4.4f, cy + 4.4f);
      });
  c.Paint(
      0, 0, 8, h - 1, [&](float x, float y) { return SdBox(x, y, 4, cy, 3, 5, 1.5f); },
      [&](float x, float y, float) { return kBrass * Lit((x - 4) / 4, (y - cy) / 6); });
  return c;
}

// Shared by both guns: the handle below the grip end, where the fist
// closes (at a fifth of the length and seven tenths of the height).
void Handle(Canvas& c, float shift, Rgb wood, uint32_t seed) {
  const int h = kGunPictureHeight;
  c.Paint(
      0, 0, 80, h - 1,
      [&](float x, float y) {
        return SdPolygon(
            x, y, {38 + shift, 27, 66 + shift, 36, 59 + shift, 56, 51, h - 2.0f, 24, h - 2.0f, 28, 50});
      },
      [&](float x, float y, float) {
        const float grain = static_cast<float>(Fbm(x / 14.0, (y - x * 0.5) / 2.0, 3, seed));
        return wood * (0.75f + 0.4f * grain) * Lit((x - 45) / 40, (y - 50) / 40);
      });
  // Brass butt cap and trigger guard.
  c.Paint(
      0, 0, 80, h - 1, [&](float x, float y) { return SdBox(x, y, 37.5f, h - 4.0f, 14, 2.6f, 1.5f); },
      [&](float x, float y, float) { return kBrass * Lit((x - 37) / 20, (y - h + 5) / 4); });
  // The guard's opening is filled dark, so the picture keeps no holes.
  c.Paint(
      50, 30, 90, h - 1, [&](float x, float y) { return SdCircle(x, y, 70 + shift, 44, 6); },
      [](float, float, float) { return Hex(0x2e2a2c); });
  c.Paint(
      50, 30, 90, h - 1,
      [&](float x, float y) { return std::fabs(SdCircle(x, y, 70 + shift, 44, 6.5f)) - 1.3f; },
      [&](float x, float y, float) { return kBrass * Lit((x - 70) / 8, (y - 44) / 8); });
}

// The first gun: a long pistol with a banded steel barrel.
Canvas LongPistol() {
  const int w = kGunPictureWidth, h = kGunPictureHeight;
  const float by = h * 0.3f;  // the barrel's axis
  Canvas c(w, h);
  Handle(c, 0, Hex(0xa57c56), 650);
  // Lock plate and hammer.
  c.Paint(
      30, 0, 100, 50,
      [&](float x, float y) {
        return SdPolygon(x, y, {40, by - 11, 94, by - 9, 94, by + 12, 72, by + 17, 46, by + 17, 37, by + 6});
      },
      [&](float x, float y, float) {
        const float engraving = std::fabs(rmath::Sin(x * 0.6f) * rmath::Cos(y * 0.7f)) > 0.85f ? 0.85f : 1.0f;
        return Mix(kSteelDark, kSteelLight, 0.35f) * engraving * Lit((x - 65) / 40, (y - by) / 20);
      });
  c.Paint(
      36, 0, 60, 20, [&](float x, float y) { return SdSegment(x, y, 46, by - 10, 41, 3, 2.6f); },
      [&](float x, float, float) { return kSteelDark * Lit((x - 44) / 4, 0); });
  // Barrel, bands and muzzle.
  c.Paint(
      80, 0, w - 1, 40, [&](float x, float y) { return SdBox(x, y, 140, by, 58, 6.5f, 1.5f); },
      [&](float, float y, float) {
        return Mix(kSteelDark, kSteelLight, 0.5f) * Across(y, by - 6.5f, by + 6.5f);
      });
  c.Paint(
      88, 0, w - 1, 45, [&](float x, float y) { return SdBox(x, y, 140, by + 9, 50, 1.6f, 1); },
      [&](float, float, float) { return kSteelDark * 0.8f; });
  for (float bx : {104.0f, 146.0f})
    c.Paint(
        80, 0, w - 1, 40, [&](float x, float y) { return SdBox(x, y, bx, by, 2.5f, 8, 1); },
        [&](float, float y, float) { return kBrass * Across(y, by - 8, by + 8); });
  c.Paint(
      180, 0, w - 1, 40, [&](float x, float y) { return SdBox(x, y, w - 6.5f, by, 5.5f, 8.5f, 1.5f); },
      [&](float, float y, float) { return kBrass * Across(y, by - 8.5f, by + 8.5f); });
  c.Paint(
      180, 0, w - 1, 40, [&](float x, float y) { return SdEllipse(x, y, w - 1.5f, by, 1.6f, 3.5f); },
      [](float, float, float) { return Hex(0x4a3a30); });
  return c;
}

// The second gun: a hand cannon with a flared muzzle and ember vents.
Canvas HandCannon() {
  const int w = kGunPictureWidth, h = kGunPictureHeight;
  const float by = h * 0.3f;
  Canvas c(w, h);
  Handle(c, 4, Hex(0x9c6a50), 660);
  // Breech and barrel.
  c.Paint(
      40, 0, w - 1, 50,
      [&](float x, float y) {
        const float breech = SdBox(x, y, 62, by + 2, 16, 14, 6);
        const float barrel = SdPolygon(
            x, y,
            {66, by - 12, 178, by - 10, w - 2.0f, by - 18, w - 2.0f, by + 18, 178, by + 10, 66, by + 12});
        return std::min(breech, barrel);
      },
      [&](float x, float y, float) {
        const float rust = static_cast<float>(Fbm(x / 12.0, y / 12.0, 3, 661));
        Rgb col = Mix(Hex(0x8c95ab), Hex(0xb7c0d4), rust);
        return col * Lit((x - 120) / 160, (y - by) / 22);
      });
  // Bands.
  for (float bx : {96.0f, 128.0f, 160.0f})
    c.Paint(
        80, 0, w - 1, 45, [&](float x, float y) { return SdBox(x, y, bx, by, 3, 12.5f, 1.2f); },
        [&](float, float y, float) { return kBrass * Across(y, by - 12.5f, by + 12.5f); });
  // Ember vents between the bands, and the dark mouth.
  for (float vx : {112.0f, 144.0f}) {
    c.Glow(vx, by, 9, Rgb{0.35f, 0.12f, 0.02f}, 1.5f);
    c.Paint(
        80, 0, w - 1, 45, [&](float x, float y) { return SdBox(x, y, vx, by, 6, 1.6f, 1.4f); },
        [](float, float, float) { return Hex(0xffb45a); });
  }
  c.Paint(
      180, 0, w - 1, 50, [&](float x, float y) { return SdEllipse(x, y, w - 2.5f, by, 2.2f, 13); },
      [](float, float, float) { return Hex(0x5a3528); });
  return c;
}

}  // namespace

void WriteWeaponArt(DataSetWriter& out) {
  out.WritePicture("data/nihonto1.vx1", LongBlade(), true);
  out.WritePicture("data/sword3.vx1", Sword(), true);
  out.WritePicture("data/gun1.vx1", LongPistol(), true);
  out.WritePicture("data/gun2.vx1", HandCannon(), true);
}

}  // namespace datagen
