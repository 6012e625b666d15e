// The level pictures: for each level of the world plan a foreground and its
// mask, both drawn from the level's geometry, and the shared night sky
// behind row 0. Materials, backdrops and lighting live here; the per-level
// decoration in world_decor.cpp and the sky in world_sky.cpp.
#include <cmath>
#include <string>

#include "datagen/data_set.h"
#include "datagen/noise.h"
#include "datagen/random.h"
#include "datagen/world_paint.h"
#include "datagen/world_sky.h"
#include "maths/repro_math.h"

namespace datagen {

SmoothField::SmoothField(double scaleX, double scaleY, int octaves, uint32_t seed, int step)
    : step_(step), cols_(world::kWidth / step + 2), rows_(world::kHeight / step + 2) {
  v_.resize(static_cast<size_t>(cols_) * rows_);
  for (int j = 0; j < rows_; ++j)
    for (int i = 0; i < cols_; ++i)
      v_[static_cast<size_t>(j) * cols_ + i] =
          static_cast<float>(Fbm(i * step / scaleX, j * step / scaleY, octaves, seed));
}

float SmoothField::At(float x, float y) const {
  const float fx = std::clamp(x / step_, 0.0f, cols_ - 1.001f),
              fy = std::clamp(y / step_, 0.0f, rows_ - 1.001f);
  const int i = static_cast<int>(fx), j = static_cast<int>(fy);
  const float tx = fx - i, ty = fy - j;
  const float* r0 = &v_[static_cast<size_t>(j) * cols_ + i];
  const float* r1 = r0 + cols_;
  return (r0[0] + (r0[1] - r0[0]) * tx) * (1 - ty) + (r1[0] + (r1[1] - r1[0]) * tx) * ty;
}

float Hash01(int32_t x, int32_t y, uint32_t seed) { return (Hash3(x, y, seed) >> 8) * (1.0f / 16777216.0f); }

namespace {

constexpr int kW = world::kWidth, kH = world::kHeight;

// Distance from every pixel of one kind to the nearest of the other kind
// (two-pass chamfer on a grid with a one-pixel border, capped).
void Chamfer(const LevelGeometry& g, bool fromSolid, float cap, std::vector<float>& out) {
  constexpr int kPW = kW + 2;
  constexpr float kDiag = 1.4142f;
  std::vector<float> d(static_cast<size_t>(kPW) * (kH + 2), cap);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      if (g.Solid(x, y) == fromSolid) d[static_cast<size_t>(y + 1) * kPW + x + 1] = 0;
  // Each pass takes the row before it in one sweep and then runs along the
  // row, the only step that depends on its own results.
  for (int y = 1; y <= kH; ++y) {
    float* r = &d[static_cast<size_t>(y) * kPW];
    const float* a = r - kPW;
    for (int x = 1; x <= kW; ++x)
      r[x] = std::min(std::min(r[x], a[x] + 1), std::min(a[x - 1], a[x + 1]) + kDiag);
    for (int x = 1; x <= kW; ++x) r[x] = std::min(r[x], r[x - 1] + 1);
  }
  for (int y = kH; y >= 1; --y) {
    float* r = &d[static_cast<size_t>(y) * kPW];
    const float* b = r + kPW;
    for (int x = 1; x <= kW; ++x)
      r[x] = std::min(std::min(r[x], b[x] + 1), std::min(b[x - 1], b[x + 1]) + kDiag);
    for (int x = kW; x >= 1; --x) r[x] = std::min(r[x], r[x + 1] + 1);
  }
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      out[static_cast<size_t>(y) * kW + x] = d[static_cast<size_t>(y + 1) * kPW + x + 1];
}

// Texture fields of one level, shared by the backdrop and the solids.
struct Textures {
  explicit Textures(uint32_t seed)
      : fine(22, 22, 4, seed + 1),
        broad(70, 70, 3, seed + 2),
        cracks(34, 34, 3, seed + 3),
        grass(24, 70, 2, seed + 4),
        moss(35, 35, 2, seed + 6),
        seed(seed) {}
  SmoothField fine, broad, cracks, grass, moss;
  uint32_t seed;
};

float Crack(const Textures& t, float x, float y) {
  // A thin dark line where the crack field crosses its middle.
  const float v = std::fabs(t.cracks.At(x, y) - 0.5f);
  return Smooth(0.012f, 0.0f, v);
}

Rgb Earth(const Textures& t, int x, int y, int up) {
  const float n = t.fine.At(x, y), grain = Hash01(x, y, t.seed + 9);
  Rgb c = Mix(Hex(0x211b16), Hex(0x40352b), n) * (0.82f + 0.3f * grain);
  // Pebbles, one chance per 11-pixel cell.
  const int cx = x / 11, cy = y / 11;
  const uint32_t h = Hash3(cx, cy, t.seed + 17);
  if ((h & 7) < 3) {
    const float px = cx * 11 + 2 + ((h >> 8) & 7), py = cy * 11 + 2 + ((h >> 12) & 7);
    const float r = 1.8f + ((h >> 16) & 3) * 0.7f;
    const float d = rmath::Hypot(x + 0.5f - px, (y + 0.5f - py) * 1.3f);
    if (d < r) c = Mix(Hex(0x4a463f), Hex(0x77715f), (py - y) / r * 0.5f + 0.5f) * (0.8f + 0.3f * grain);
  }
  // The grass on top, a few pixels deep, ragged at its lower edge.
  const float grassDepth = 4 + 7 * t.grass.At(x, y);
  if (up < grassDepth + 2) {
    const float blade = Hash01(x, 0, t.seed + 23);
    const Rgb grass = Mix(Hex(0x17261b), Hex(0x3d5e40), Clamp01(0.3f + 0.8f * blade * (1 - up / grassDepth)));
    c = Mix(c, grass, Smooth(grassDepth + 2, grassDepth - 1, static_cast<float>(up)));
  }
  // Deeper soil lies in shadow.
  return c * (1 - 0.5f * Smooth(12, 90, static_cast<float>(up)));
}

Rgb Masonry(const Textures& t, int x, int y, float blockW, float rowH, bool mossy, int up) {
  const int row = static_cast<int>(std::floor(y / rowH));
  const float off = (row & 1) * blockW * 0.5f + (Hash3(row, 0, t.seed + 31) % 11);
  const float bxf = (x + off) / blockW;
  const int col = static_cast<int>(std::floor(bxf));
  const float bx = (bxf - col) * blockW, by = y - row * rowH;
  const float n = t.fine.At(x, y), grain = Hash01(x, y, t.seed + 5);
  const float tint = Hash01(col, row, t.seed + 37);
  Rgb c = Mix(Hex(0x3b3e46), Hex(0x6e717a), n) * (0.85f + 0.22f * grain) * (0.72f + 0.4f * tint);
  c = c * Rgb{1.0f + 0.06f * (tint - 0.5f), 1.0f, 1.0f - 0.05f * (tint - 0.5f)};
  // Each block its own small bevel: lit top and left, shaded bottom and right.
  if (by < 3 || bx < 3) c = c * 1.18f;
  if (by > rowH - 4 || bx > blockW - 4) c = c * 0.72f;
  if (by < 1.5f || bx < 1.5f) c = Hex(0x15161b) * (0.8f + 0.4f * grain);
  c = c * (1 - 0.3f * Crack(t, x, y));
  if (mossy && up < 12) {
    const float moss = Smooth(0.5f, 0.75f, t.moss.At(x, y)) * Smooth(12, 2, static_cast<float>(up));
    c = Mix(c, Hex(0x2c4630) * (0.7f + 0.5f * grain), moss * 0.8f);
  }
  return c;
}

Rgb RockColour(const Textures& t, int x, int y) {
  const float n = t.fine.At(x, y), broad = t.broad.At(x, y), grain = Hash01(x, y, t.seed + 41);
  Rgb c = Mix(Hex(0x222329), Hex(0x4f525c), n) * (0.85f + 0.28f * grain);
  const float strata = rmath::Sin(y / 6.5f + broad * 11.0f);
  c = c * (0.92f + 0.1f * strata);
  return c * (1 - 0.35f * Crack(t, x, y));
}

Rgb IronColour(const Textures& t, int x, int y) {
  const int row = y / 40;
  const int off = (row & 1) * 32;
  const int col = (x + off) / 64;
  const float px = static_cast<float>((x + off) % 64), py = static_cast<float>(y % 40);
  const float n = t.fine.At(x, y), rust = t.broad.At(x, y);
  const float brushed = Hash01(x / 9, y, t.seed + 43);
  Rgb c = Mix(Hex(0x2a2327), Hex(0x54453f), n) * (0.9f + 0.18f * brushed) *
          (0.85f + 0.3f * Hash01(col, row, t.seed + 47));
  c = Mix(c, Hex(0x6f2e17), Smooth(0.55f, 0.75f, rust) * 0.55f);
  if (py < 2 || px < 2)
    c = Hex(0x120d0e);
  else if (py < 4)
    c = c * 1.25f;
  else if (py > 37)
    c = c * 0.7f;
  // Rivets near each corner.
  for (const float rx : {7.0f, 57.0f})
    for (const float ry : {8.0f, 33.0f}) {
      const float dx = (px - rx) / 2.6f, dy = (py - ry) / 2.6f;
      const float d2 = dx * dx + dy * dy;
      if (d2 < 1)
        c = Hex(0x7a6258) *
            (0.5f + 0.8f * std::max(0.0f, -0.55f * dx - 0.6f * dy + 0.58f * std::sqrt(1 - d2)));
    }
  return c;
}

Rgb BrickColour(const Textures& t, int x, int y, float scale) {
  const float rowH = 14 * scale, brickW = 30 * scale;
  const int row = static_cast<int>(y / rowH);
  const float off = (row & 1) * brickW * 0.5f;
  const int col = static_cast<int>((x + off) / brickW);
  const float bx = x + off - col * brickW, by = y - row * rowH;
  const float n = t.fine.At(x, y), grain = Hash01(x, y, t.seed + 53);
  Rgb c =
      Mix(Hex(0x3a1d17), Hex(0x6b3628), Hash01(col, row, t.seed + 59)) * (0.8f + 0.3f * n + 0.15f * grain);
  if (by < 2 || bx < 2)
    c = Hex(0x1c1514) * (0.8f + 0.4f * grain);
  else if (by < 3.5f)
    c = c * 1.15f;
  return c * (1 - 0.2f * Crack(t, x, y));
}

Rgb Albedo(const Scene& s, const Textures& t, Stuff m, int x, int y, int up) {
  switch (m) {
    case Stuff::Earth:
      return Earth(t, x, y, up);
    case Stuff::Masonry:
      return Masonry(t, x, y, 52, 26, s.outdoor || s.geo.level < 10, up);
    case Stuff::Rock:
      return RockColour(t, x, y);
    case Stuff::Iron:
      return IronColour(t, x, y);
    case Stuff::Brick:
      return BrickColour(t, x, y, 1.0f);
    case Stuff::Air:
      break;
  }
  return {};
}

world::Theme ThemeOf(int32_t level) {
  for (const world::LevelPlan& p : world::kLevelPlans)
    if (p.level == level) return p.theme;
  return world::Theme::Crypt;
}

}  // namespace

Scene::Scene(const LevelGeometry& g)
    : geo(g),
      outdoor(g.level >= 0 && g.level <= 4),
      canvas(kW, kH),
      cover(static_cast<size_t>(kW) * kH, 0),
      dist(static_cast<size_t>(kW) * kH),
      up(static_cast<size_t>(kW) * kH, 0) {
  std::vector<float> toAir(static_cast<size_t>(kW) * kH);
  Chamfer(g, false, 64, toAir);  // solid pixels: distance to air
  Chamfer(g, true, 64, dist);    // air pixels: distance to solid
  for (size_t i = 0; i < dist.size(); ++i)
    if (g.stuff[i] != Stuff::Air) dist[i] = toAir[i];
  for (int x = 0; x < kW; ++x) {
    int lastAir = -1000;
    for (int y = 0; y < kH; ++y) {
      if (!g.Solid(x, y)) {
        lastAir = y;
        up[Index(x, y)] = -1;
      } else {
        up[Index(x, y)] = static_cast<int16_t>(std::min(y - lastAir - 1, 999));
      }
    }
  }
}

void Scene::Light(float cx, float cy, float radius, Rgb colour, float power) {
  const int x0 = std::max(0, static_cast<int>(cx - radius)),
            x1 = std::min(kW - 1, static_cast<int>(cx + radius));
  const int y0 = std::max(0, static_cast<int>(cy - radius)),
            y1 = std::min(kH - 1, static_cast<int>(cy + radius));
  const float inv = 1 / radius;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const float dx = (x + 0.5f - cx) * inv, dy = (y + 0.5f - cy) * inv;
      const float d2 = dx * dx + dy * dy;
      if (d2 >= 1) continue;
      const float t = 1 - std::sqrt(d2);
      float k = power == 2.0f ? t * t : rmath::Pow(t, power);
      if (outdoor && !Solid(x, y)) k *= cover[Index(x, y)];
      if (k > 0) canvas.Add(x, y, colour, k);
    }
}

namespace {

// The materials of the solid pixels, lit (by moonlight outdoors, dimly
// inside) and with a bright rim along every surface one can stand on.
void PaintSolids(Scene& s, const Textures& t) {
  const world::Theme theme = ThemeOf(s.geo.level);
  Bevel bevel(kW, kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const size_t i = s.Index(x, y);
      const Stuff m = s.geo.stuff[i];
      const float radius = m == Stuff::Rock || m == Stuff::Earth ? 14.0f : 7.0f;
      bevel.at(x, y) = m == Stuff::Air ? 0 : Smooth(0, radius, s.dist[i]);
    }
  Rgb ambient, key, rim;
  switch (theme) {
    case world::Theme::Ruins:
      ambient = {0.30f, 0.32f, 0.38f}, key = {0.62f, 0.7f, 0.85f}, rim = Hex(0x7d93ad);
      break;
    case world::Theme::Crypt:
      ambient = {0.2f, 0.22f, 0.27f}, key = {0.38f, 0.42f, 0.5f}, rim = Hex(0x52627a);
      break;
    case world::Theme::Shaft:
      ambient = {0.3f, 0.31f, 0.36f}, key = {0.6f, 0.63f, 0.74f}, rim = Hex(0x5c6a80);
      break;
    case world::Theme::Foundry:
      ambient = {0.24f, 0.19f, 0.17f}, key = {0.45f, 0.36f, 0.3f}, rim = Hex(0x8a4a2c);
      break;
    case world::Theme::Chamber:
      ambient = {0.26f, 0.28f, 0.34f}, key = {0.55f, 0.62f, 0.78f}, rim = Hex(0x8296b4);
      break;
  }
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const size_t i = s.Index(x, y);
      const Stuff m = s.geo.stuff[i];
      if (m == Stuff::Air) continue;
      const int up = s.up[i];
      const Rgb a = Albedo(s, t, m, x, y, up);
      const float light = bevel.Light(x, y, m == Stuff::Rock || m == Stuff::Earth ? 7.0f : 4.0f);
      Rgb c = a * (ambient + key * light);
      // The mass of a wall or floor fades into the dark away from its faces.
      if (m != Stuff::Earth) c = c * (1 - (m == Stuff::Rock ? 0.4f : 0.62f) * Smooth(5, 46, s.dist[i]));
      // The rim that shows where one can stand.
      if (up <= 2) c = c + rim * (up == 0 ? 0.6f : up == 1 ? 0.38f : 0.14f);
      s.canvas.at(x, y) = c;
      s.cover[i] = 1;
    }
}

// The backdrop behind the free space of a closed scene.
void PaintBackdrop(Scene& s, const Textures& t) {
  if (s.outdoor) return;
  const world::Theme theme = ThemeOf(s.geo.level);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const size_t i = s.Index(x, y);
      Rgb c;
      float gradient = 1;
      switch (theme) {
        case world::Theme::Crypt:
          c = Mix(Hex(0x4a4e58), Masonry(t, x, y, 74, 38, true, 999), 0.6f) * Rgb{0.27f, 0.3f, 0.37f};
          gradient = 0.75f + 0.45f * Smooth(120, 420, static_cast<float>(y)) *
                                 Smooth(600, 430, static_cast<float>(y));
          break;
        case world::Theme::Shaft:
          c = RockColour(t, x, y) * Rgb{0.42f, 0.45f, 0.52f};
          gradient = 1.2f - 0.5f * (y / 600.0f);
          break;
        case world::Theme::Foundry:
          c = BrickColour(t, x, y, 1.6f) * Rgb{0.42f, 0.34f, 0.32f};
          gradient = 0.7f + 0.5f * Smooth(150, 470, static_cast<float>(y));
          break;
        case world::Theme::Chamber:
          c = Masonry(t, x, y, 90, 44, false, 999) * Rgb{0.38f, 0.41f, 0.5f};
          break;
        case world::Theme::Ruins:
          break;
      }
      // Shadow close to the solid rock: the corners of a room are darker.
      const float ao = 0.45f + 0.55f * Smooth(0, 34, s.dist[i]);
      s.canvas.at(x, y) = c * (gradient * ao);
      s.cover[i] = 1;
    }
}

void WriteLevel(DataSetWriter& out, int32_t level) {
  const LevelGeometry g = BuildGeometry(level);
  Scene s(g);
  const Textures t(6000u + static_cast<uint32_t>(level) * 17u);
  PaintBackdrop(s, t);
  PaintDecor(s, false);
  PaintSolids(s, t);
  PaintDecor(s, true);
  // Solid pixels never read as black (black is the transparent key) and
  // keep a colour sum above what the edge softening takes for a hole; free
  // pixels outdoors are black wherever no decoration covers them.
  std::vector<uint32_t> fore(static_cast<size_t>(kW) * kH), mask(fore.size());
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const size_t i = s.Index(x, y);
      const bool solid = g.Solid(x, y);
      mask[i] = solid ? 0xffffffffu : 0xff000000u;
      if (s.outdoor && !solid && s.cover[i] < 0.5f) {
        fore[i] = 0xff000000u;
        continue;
      }
      const Rgb c = s.canvas.at(x, y);
      auto q = [](float v) { return static_cast<uint32_t>(Clamp01(v) * 255.0f + 0.5f); };
      uint32_t r = q(c.r), gr = q(c.g), b = q(c.b);
      if (r + gr + b < 12) {
        r = std::max(r, 4u);
        gr = std::max(gr, 4u);
        b = std::max(b, 4u);
      }
      fore[i] = 0xff000000u | (r << 16) | (gr << 8) | b;
    }
  const std::string n = std::to_string(level + 1);
  out.WritePicture("data/fore" + n + ".vx1", kW, kH, fore);
  out.WritePicture("data/fore" + n + "ph.vx1", kW, kH, mask);
}

}  // namespace

void WriteWorld(DataSetWriter& out) {
  out.WritePicture("data/back1.vx1", NightSky());
  for (const int32_t level : world::kLevels) WriteLevel(out, level);
}

}  // namespace datagen
