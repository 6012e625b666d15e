#pragma once
// A fixed night scene and stand-in fog pictures for the effects gallery and
// benchmark: a dark level (sky, moon, hills, lit windows, rocky ledges, a
// pool, crystals and lanterns) drawn procedurally, with its own small
// random generator so the picture never depends on the engine's.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "display/screen_handler.h"
#include "effects/effects.h"
#include "engine/engine_effects.h"
#include "gfx/gfx_context.h"
#include "gfx/image_slots.h"
#include "shell/globals.h"

namespace fxscene {

inline constexpr int32_t kWidth = 800;
inline constexpr int32_t kHeight = 600;

struct Lcg {
  uint32_t s;
  uint32_t Next() {
    s = s * 1664525u + 1013904223u;
    return s >> 8;
  }
  double Unit() { return (Next() & 0xffffff) / 16777216.0; }
};

inline uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h =
      static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return h ^ (h >> 16);
}

// Smooth value noise in 0 .. 1 with cells of `cell` pixels.
inline double Noise(double x, double y, double cell, uint32_t seed) {
  const double fx = x / cell;
  const double fy = y / cell;
  const int32_t ix = static_cast<int32_t>(std::floor(fx));
  const int32_t iy = static_cast<int32_t>(std::floor(fy));
  const double tx = fx - ix;
  const double ty = fy - iy;
  const double sx = tx * tx * (3 - 2 * tx);
  const double sy = ty * ty * (3 - 2 * ty);
  const auto v = [seed](int32_t a, int32_t b) { return (Hash(a, b, seed) & 0xffff) / 65535.0; };
  const double top = v(ix, iy) + (v(ix + 1, iy) - v(ix, iy)) * sx;
  const double bottom = v(ix, iy + 1) + (v(ix + 1, iy + 1) - v(ix, iy + 1)) * sx;
  return top + (bottom - top) * sy;
}

inline double Fractal(double x, double y, double cell, uint32_t seed, int32_t octaves) {
  double sum = 0;
  double weight = 0.5;
  double total = 0;
  for (int32_t o = 0; o < octaves; ++o) {
    sum += weight * Noise(x, y, cell, seed + o * 101u);
    total += weight;
    weight *= 0.5;
    cell *= 0.5;
  }
  return sum / total;
}

inline uint32_t Rgb(double r, double g, double b) {
  const auto c = [](double v) { return static_cast<uint32_t>(std::clamp(v, 0.0, 255.0)); };
  return 0xff000000u | c(r) << 16 | c(g) << 8 | c(b);
}

inline void Blend(uint32_t& p, double r, double g, double b, double a) {
  const double pr = (p >> 16) & 0xff;
  const double pg = (p >> 8) & 0xff;
  const double pb = p & 0xff;
  p = Rgb(pr + (r - pr) * a, pg + (g - pg) * a, pb + (b - pb) * a);
}

// Height of the ground's top edge at column x (the main floor and the pool's bank).
inline double GroundTop(int32_t x) { return 470 + 14 * std::sin(x * 0.021) + 22 * Fractal(x, 0, 90, 7, 3); }

inline void DrawBackground(uint32_t* px) {
  const int32_t w = kWidth;
  const int32_t h = kHeight;
  // Sky.
  for (int32_t y = 0; y < h; ++y) {
    const double t = std::min(1.0, y / 340.0);
    for (int32_t x = 0; x < w; ++x) {
      const double haze = 6 * Fractal(x, y, 160, 3, 3);
      px[y * w + x] = Rgb(6 + 24 * t + haze, 8 + 16 * t + haze, 22 + 26 * t + haze * 1.5);
    }
  }
  // Stars.
  Lcg rng{12345};
  for (int32_t i = 0; i < 140; ++i) {
    const int32_t x = static_cast<int32_t>(rng.Unit() * w);
    const int32_t y = static_cast<int32_t>(rng.Unit() * 280);
    const double b = 110 + 120 * rng.Unit();
    px[y * w + x] = Rgb(b, b, b + 20);
    if (rng.Unit() < 0.25 && x + 1 < w) Blend(px[y * w + x + 1], b, b, b + 20, 0.5);
  }
  // Moon with a halo.
  const double mx = 640;
  const double my = 105;
  for (int32_t y = 0; y < 260; ++y) {
    for (int32_t x = 470; x < w; ++x) {
      const double d = std::hypot(x - mx, y - my);
      if (d < 36) {
        const double crater = 25 * Fractal(x, y, 14, 9, 2);
        px[y * w + x] = Rgb(236 - crater, 230 - crater, 206 - crater);
      } else if (d < 36 + 110) {
        const double a = 0.35 * std::pow(1 - (d - 36) / 110, 2.2);
        Blend(px[y * w + x], 150, 150, 170, a);
      }
    }
  }
  // Far hills.
  for (int32_t x = 0; x < w; ++x) {
    const double ridge = 285 + 70 * Fractal(x, 0, 220, 11, 4);
    for (int32_t y = static_cast<int32_t>(ridge); y < h; ++y) {
      const double shade = 8 * Fractal(x, y, 40, 12, 3);
      px[y * w + x] = Rgb(18 + shade, 20 + shade, 34 + shade);
    }
  }
  // A distant keep with lit windows.
  for (int32_t y = 230; y < 330; ++y) {
    for (int32_t x = 150; x < 215; ++x) {
      const bool tower = (x < 172 && y > 230) || (x >= 172 && y > 262) || (x > 196 && y > 245);
      if (tower) px[y * w + x] = Rgb(14, 14, 24);
    }
  }
  const int32_t windows[][2] = {{158, 246}, {160, 270}, {180, 280}, {188, 300}, {202, 262}, {164, 300}};
  for (const auto& win : windows) {
    for (int32_t y = win[1]; y < win[1] + 7; ++y) {
      for (int32_t x = win[0]; x < win[0] + 4; ++x) px[y * w + x] = Rgb(250, 196, 96);
    }
  }
  // Rock: the floor, the left ledge and the upper right ledge.
  const auto rock = [&](int32_t x, int32_t y, double depth) {
    const double n = Fractal(x, y, 26, 21, 4);
    const double crack = Noise(x, y, 7, 22) < 0.12 ? 0.55 : 1.0;
    const double k = (0.55 + 0.8 * n) * crack * (1.0 - 0.5 * std::min(1.0, depth / 90.0));
    px[y * w + x] = Rgb(70 * k, 58 * k, 48 * k);
  };
  for (int32_t x = 0; x < w; ++x) {
    const int32_t top = static_cast<int32_t>(GroundTop(x));
    for (int32_t y = top; y < h; ++y) {
      if (x > 430 && y > 528) continue;  // the pool
      rock(x, y, y - top);
      if (y - top < 4) Blend(px[y * w + x], 70, 120, 52, 0.75);  // moss
    }
  }
  const auto ledge = [&](int32_t x1, int32_t x2, int32_t y1, int32_t thick) {
    for (int32_t x = x1; x < x2; ++x) {
      const double t = (x - x1) / double(x2 - x1);
      const int32_t bottom = y1 + static_cast<int32_t>(thick * (0.45 + 0.55 * std::sin(3.14159 * t)));
      for (int32_t y = y1; y < bottom; ++y) {
        rock(x, y, (y - y1) * 2.0);
        if (y - y1 < 3) Blend(px[y * w + x], 74, 126, 56, 0.8);
      }
    }
  };
  ledge(90, 360, 372, 44);
  ledge(500, 730, 292, 38);
  // The pool, with ripples and the moon's reflection.
  for (int32_t y = 529; y < h; ++y) {
    for (int32_t x = 431; x < w; ++x) {
      const double ripple = std::sin(x * 0.09 + y * 0.7 + 3 * Noise(x, y, 30, 31));
      double b = 58 + 14 * ripple;
      double g = 34 + 9 * ripple;
      double r = 12 + 4 * ripple;
      const double reflect = std::exp(-std::pow((x - mx) / 26.0, 2)) * (ripple > 0.3 ? 1 : 0.25);
      r += 150 * reflect;
      g += 150 * reflect;
      b += 140 * reflect;
      if (ripple > 0.93) {
        r += 70;
        g += 100;
        b += 110;
      }
      px[y * w + x] = Rgb(r, g, b);
    }
  }
  // Crystals on the left ledge.
  const double crystals[][3] = {
      {130, 372, 28}, {146, 372, 40}, {160, 372, 22}, {300, 372, 30}, {314, 372, 18}};
  for (const auto& c : crystals) {
    for (int32_t y = static_cast<int32_t>(c[1] - c[2]); y < c[1]; ++y) {
      const double half = 6 * (y - (c[1] - c[2])) / c[2] + 1;
      for (int32_t x = static_cast<int32_t>(c[0] - half); x <= c[0] + half; ++x) {
        const double edge = std::abs(x - c[0]) / half;
        px[y * w + x] = Rgb(70 + 90 * (1 - edge), 200 + 40 * (1 - edge), 230);
      }
    }
  }
  // Two lanterns.
  const int32_t lanterns[][2] = {{250, 350}, {610, 272}};
  for (const auto& l : lanterns) {
    for (int32_t y = l[1]; y < l[1] + 22; ++y) px[y * w + l[0]] = Rgb(40, 36, 30);
    for (int32_t y = l[1] - 9; y < l[1]; ++y) {
      for (int32_t x = l[0] - 4; x <= l[0] + 4; ++x) px[y * w + x] = Rgb(255, 222, 150);
    }
  }
}

// Stand-ins for the fog pictures: `count` soft clouds that swell and fade
// over the sequence, as 32-bit pictures in slots base32 + i and as 8-bit
// maps (PackToLuma8) in slots base8 + i, plus small puffs in puffBase + i.
inline void MakeFogPictures(GfxContext& gfx, int32_t base32, int32_t base8, int32_t puffBase, int32_t count,
                            int32_t w, int32_t h, double peak) {
  for (int32_t i = 0; i < count; ++i) {
    const double life = std::sin(3.14159265 * (i + 0.5) / count);
    const double grow = 0.75 + 0.25 * i / count;
    CreatePicture(gfx, base32 + i, w, h);
    CreatePicture(gfx, base8 + i, w, h);
    uint32_t* p32 = gfx.slots[base32 + i].pixels;
    uint32_t* p8 = gfx.slots[base8 + i].pixels;
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        const double dx = (x - w / 2.0) / (w / 2.0) / grow;
        const double dy = (y - h / 2.0) / (h / 2.0) / grow;
        const double fall = std::max(0.0, 1 - dx * dx - dy * dy);
        const double n = Fractal(x + i * 1.5, y - i * 0.7, 70, 41, 4);
        const double v = peak * life * fall * fall * std::clamp(n * 1.8 - 0.35, 0.0, 1.0);
        p32[y * w + x] = Rgb(v * 0.8, v * 0.9, v);
        p8[y * w + x] = Rgb(v * 2.2, v * 2.2, v * 2.2);
      }
    }
    // Row spans as the loader gives them, before the maps are packed.
    ComputeRowSpans(gfx, base32 + i);
    ComputeRowSpans(gfx, base8 + i);
    PackToLuma8(gfx, base8 + i);
    const int32_t side = 15;
    CreatePicture(gfx, puffBase + i, side, side);
    uint32_t* pp = gfx.slots[puffBase + i].pixels;
    for (int32_t y = 0; y < side; ++y) {
      for (int32_t x = 0; x < side; ++x) {
        const double d = std::hypot(x - 7.0, y - 7.0) / (7.5 * (0.6 + 0.4 * life));
        const double v = 38 * life * std::max(0.0, 1 - d * d);
        pp[y * side + x] = Rgb(v, v * 0.92, v * 0.85) & 0x00ffffffu;
      }
    }
  }
}

// The player's light as the player code makes it: one glow around the
// player and 24 bands below and above, with its flicker.
inline void PlayerLight(int32_t x, int32_t y, int32_t& flicker) {
  const auto stir = [&flicker] {
    flicker += Random(engine.random, -10, 10);
    if (flicker < 0) ++flicker;
    if (flicker > 0) --flicker;
  };
  stir();
  AddPixelGlow(engine, x - 30, y - 30, x + 30, y + 30, 400, 500, flicker + 120, 200, 110, 10, 1, 0);
  stir();
  int32_t a = -66 << 16;
  int32_t b = 8 << 16;
  int32_t c = 2 << 16;
  int32_t e = 55 << 16;
  const auto band = [&] {
    const int32_t w = e >> 16;
    AddPixelGlow(engine, x - 60 + w, y + (a >> 16), x + 60 - w, y + ((a + c) >> 16) - 2, 400, 550,
                 flicker + 100, 150, 80, 50, 1, 0);
  };
  for (int32_t i = 0; i < 12; ++i) {
    band();
    a += c;
    c += 40960;
    e -= b;
    b -= 40960;
  }
  for (int32_t i = 0; i < 12; ++i) {
    band();
    e += b;
    a += c;
    c -= 40960;
    b += 40960;
  }
}

// The engine as the game has it after start-up, with the scene drawn into
// `background` (kWidth x kHeight). Needs a platform backend installed.
inline void StartEngine(std::vector<uint32_t>& background) {
  ResetAllState();
  engine.gfx.screenWidth = kWidth;
  engine.gfx.screenHeight = kHeight;
  vxscrHini(engine.screen);
  InitGraphics(engine.gfx, engine.gfx.backBuffer, kWidth, kHeight);
  // The values of a steady 70 frames per second.
  engine.gfx.timeStep = 29;
  SeedRandom(engine.random, 4242);
  InitEffects(engine.effects, engine.gfx);
  background.assign(static_cast<size_t>(kWidth) * kHeight, 0);
  DrawBackground(background.data());
}

}  // namespace fxscene
