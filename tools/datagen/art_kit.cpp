#include "datagen/art_kit.h"

#include "datagen/noise.h"
#include "maths/repro_math.h"

namespace datagen {

Rgb MaterialColour(Material m, float x, float y, uint32_t seed) {
  switch (m) {
    case Material::Stone: {
      const float n = static_cast<float>(Fbm(x / 22.0, y / 22.0, 5, seed));
      const float grain = static_cast<float>(ValueNoise(x / 2.1, y / 2.1, seed + 11));
      const float crack = static_cast<float>(Ridged(x / 40.0, y / 40.0, 3, seed + 5));
      Rgb c = Mix(Hex(0x3a3d45), Hex(0x6d6f78), n);
      c = c * (0.85f + 0.25f * grain);
      if (crack > 0.86f) c = c * (0.45f + 0.5f * Smooth(0.97f, 0.86f, crack));
      return c;
    }
    case Material::EmberIron: {
      const float n = static_cast<float>(Fbm(x / 30.0, y / 9.0, 4, seed));
      const float rust = static_cast<float>(Fbm(x / 14.0, y / 14.0, 3, seed + 3));
      Rgb c = Mix(Hex(0x2a2226), Hex(0x4d3c3a), n);
      return Mix(c, Hex(0x6a2c18), Smooth(0.55f, 0.8f, rust) * 0.6f);
    }
    case Material::Iron:
    default: {
      const float brushed = static_cast<float>(ValueNoise(x / 40.0, y / 1.3, seed));
      const float n = static_cast<float>(Fbm(x / 25.0, y / 25.0, 4, seed + 7));
      Rgb c = Mix(Hex(0x2c3240), Hex(0x59617a), n);
      return c * (0.9f + 0.2f * brushed);
    }
  }
}

void DrawRivet(Canvas& c, float cx, float cy, float r, Material m) {
  c.Paint(static_cast<int>(cx - r - 2), static_cast<int>(cy - r - 2), static_cast<int>(cx + r + 2),
          static_cast<int>(cy + r + 2), [&](float x, float y) { return SdCircle(x, y, cx, cy, r); },
          [&](float x, float y, float) {
            const float dx = (x - cx) / r, dy = (y - cy) / r;
            const float z = std::sqrt(std::max(0.0f, 1 - dx * dx - dy * dy));
            const float lambert = std::max(0.0f, -0.55f * dx - 0.6f * dy + 0.58f * z);
            const float spec = rmath::Pow(std::max(0.0f, lambert), 12.0f);
            const Rgb base = m == Material::EmberIron ? Hex(0x6b4a40) : Hex(0x6a7288);
            return base * (0.25f + 0.9f * lambert) + Rgb{0.8f, 0.85f, 1.0f} * spec;
          });
}

void DrawPanel(Canvas& c, const PanelStyle& s) {
  const int w = c.width(), h = c.height();
  const float b = static_cast<float>(s.border);
  Bevel bevel(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      // Inset distance from the outer edge.
      const float d = static_cast<float>(std::min(std::min(x, w - 1 - x), std::min(y, h - 1 - y)));
      float height = 0;
      if (d < b) {
        // A rounded moulding: up from the outer edge, a flat top, down into the panel.
        const float t = d / b;
        height = rmath::Sin(t * 3.14159f) * 0.8f + 0.2f;
        height += 0.08f * static_cast<float>(Fbm(x / 9.0, y / 9.0, 3, s.seed + 21));
      } else {
        // The engraved line a few pixels inside the frame.
        const float e = d - b - 6;
        height = -0.5f * rmath::Exp(-e * e / 1.2f);
      }
      bevel.at(x, y) = height;
    }
  }
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const float d = static_cast<float>(std::min(std::min(x, w - 1 - x), std::min(y, h - 1 - y)));
      const float light = bevel.Light(x, y, 6.0f);
      Rgb col;
      if (d < b) {
        col = MaterialColour(s.frame, static_cast<float>(x), static_cast<float>(y), s.seed) * light;
        if (d < 1.5f) col = col * 0.4f;  // dark outer lip
      } else {
        const float n = static_cast<float>(Fbm(x / 60.0, y / 60.0, 4, s.seed + 99));
        const float fromTop = static_cast<float>(y - b) / static_cast<float>(h - 2 * b);
        col = Mix(s.innerGlow, s.inner, Clamp01(fromTop * 1.3f)) * (0.75f + 0.5f * n);
        // Shadow cast by the frame onto the panel.
        const float shadow = Smooth(b + 10, b, d);
        col = col * (1 - 0.6f * shadow);
        col = col * (0.6f + 0.4f * std::min(light, 1.0f));
      }
      c.at(x, y) = col;
    }
  }
  if (s.rivets) {
    const float r = b * 0.28f, m = b * 0.5f;
    for (float x = m; x < w - m + 1; x += (w - 2 * m) / std::max(1.0f, std::round((w - 2 * m) / 85.0f))) {
      DrawRivet(c, x, m, r, s.frame);
      DrawRivet(c, x, h - m, r, s.frame);
    }
    for (float y = m; y < h - m + 1; y += (h - 2 * m) / std::max(1.0f, std::round((h - 2 * m) / 85.0f))) {
      DrawRivet(c, m, y, r, s.frame);
      DrawRivet(c, w - m, y, r, s.frame);
    }
  }
}

void DrawMoon(Canvas& c, float cx, float cy, float r, uint32_t seed, bool cracked, float halo) {
  if (halo > 0) {
    c.Glow(cx, cy, r * 2.6f, Rgb{0.10f, 0.13f, 0.2f} * halo, 2.2f);
    c.Glow(cx, cy, r * 1.5f, Rgb{0.12f, 0.15f, 0.22f} * halo, 1.5f);
  }
  c.Paint(static_cast<int>(cx - r - 2), static_cast<int>(cy - r - 2), static_cast<int>(cx + r + 2),
          static_cast<int>(cy + r + 2), [&](float x, float y) { return SdCircle(x, y, cx, cy, r); },
          [&](float x, float y, float) {
            const float dx = (x - cx) / r, dy = (y - cy) / r;
            const float z = std::sqrt(std::max(0.0f, 1 - dx * dx - dy * dy));
            const float maria = static_cast<float>(Fbm(x / (r * 0.45), y / (r * 0.45), 4, seed));
            const float craters = static_cast<float>(CellDistance(x / (r * 0.22), y / (r * 0.22), seed + 3));
            Rgb col = Mix(Hex(0xe8ecf2), Hex(0x9aa3b5), Smooth(0.45f, 0.7f, maria));
            col = col * (0.88f + 0.12f * Smooth(0.05f, 0.35f, craters));
            if (cracked) {
              const float crack = static_cast<float>(Ridged(x / (r * 0.6), y / (r * 0.6), 2, seed + 9));
              const float band = std::fabs((x - cx) * 0.8f + (y - cy) * 0.6f + 6 * rmath::Sin(y / 7.0f)) / r;
              if (crack > 0.9f && band < 0.35f) col = col * 0.3f;
            }
            const float limb = 0.55f + 0.45f * z;
            return col * limb;
          });
}

}  // namespace datagen
