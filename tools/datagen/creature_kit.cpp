#include "datagen/creature_kit.h"

#include <cmath>

#include "datagen/art_kit.h"
#include "datagen/noise.h"
#include "maths/repro_math.h"

namespace datagen {
namespace {

constexpr float kPi = 3.14159265f;

float RoundCone(float x, float y, Pt a, Pt b, float r0, float r1) {
  const float px = x - a.x, py = y - a.y, dx = b.x - a.x, dy = b.y - a.y;
  const float len2 = dx * dx + dy * dy;
  const float t = len2 > 0 ? Clamp01((px * dx + py * dy) / len2) : 0;
  return rmath::Hypot(px - dx * t, py - dy * t) - (r0 + (r1 - r0) * t);
}

}  // namespace

Pt Polar(Pt from, float degrees, float length) {
  const float a = degrees * kPi / 180.0f;
  return {from.x + rmath::Cos(a) * length, from.y + rmath::Sin(a) * length};
}

Shape Ellipse(Pt c, float rx, float ry) {
  return {[=](float x, float y) { return SdEllipse(x, y, c.x, c.y, rx, ry); }, c.x - rx - 2, c.y - ry - 2,
          c.x + rx + 2, c.y + ry + 2};
}

Shape Circle(Pt c, float r) { return Ellipse(c, r, r); }

Shape Limb(Pt a, Pt b, float r0, float r1) {
  const float r = std::max(r0, r1) + 2;
  return {[=](float x, float y) { return RoundCone(x, y, a, b, r0, r1); }, std::min(a.x, b.x) - r,
          std::min(a.y, b.y) - r, std::max(a.x, b.x) + r, std::max(a.y, b.y) + r};
}

Shape Chain(const std::vector<Pt>& points, const std::vector<float>& radii) {
  Shape s;
  s.x0 = s.y0 = 1e9f;
  s.x1 = s.y1 = -1e9f;
  for (size_t i = 0; i < points.size(); ++i) {
    const float r = radii[i] + 2;
    s.x0 = std::min(s.x0, points[i].x - r);
    s.y0 = std::min(s.y0, points[i].y - r);
    s.x1 = std::max(s.x1, points[i].x + r);
    s.y1 = std::max(s.y1, points[i].y + r);
  }
  s.sdf = [points, radii](float x, float y) {
    float d = 1e9f;
    for (size_t i = 0; i + 1 < points.size(); ++i)
      d = std::min(d, RoundCone(x, y, points[i], points[i + 1], radii[i], radii[i + 1]));
    return d;
  };
  return s;
}

Shape Polygon(const std::vector<float>& points) {
  Shape s;
  s.x0 = s.y0 = 1e9f;
  s.x1 = s.y1 = -1e9f;
  for (size_t i = 0; i + 1 < points.size(); i += 2) {
    s.x0 = std::min(s.x0, points[i] - 2);
    s.x1 = std::max(s.x1, points[i] + 2);
    s.y0 = std::min(s.y0, points[i + 1] - 2);
    s.y1 = std::max(s.y1, points[i + 1] + 2);
  }
  s.sdf = [points](float x, float y) { return SdPolygon(x, y, points); };
  return s;
}

Shape Union(const Shape& a, const Shape& b) {
  return {[a, b](float x, float y) { return std::min(a.sdf(x, y), b.sdf(x, y)); }, std::min(a.x0, b.x0),
          std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

Shape Cut(const Shape& a, const Shape& b) {
  return {[a, b](float x, float y) { return std::max(a.sdf(x, y), -b.sdf(x, y)); }, a.x0, a.y0, a.x1, a.y1};
}

Shape Grow(const Shape& a, float by) {
  return {[a, by](float x, float y) { return a.sdf(x, y) - by; }, a.x0 - by, a.y0 - by, a.x1 + by, a.y1 + by};
}

Shape Horn(Pt root, float degrees, float bend, float length, float rootRadius) {
  std::vector<Pt> pts{root};
  std::vector<float> radii{rootRadius};
  const int n = 8;
  Pt p = root;
  for (int i = 1; i <= n; ++i) {
    const float t = static_cast<float>(i) / n;
    p = Polar(p, degrees + bend * t, length / n);
    pts.push_back(p);
    radii.push_back(rootRadius * (1 - t) * 0.92f + 0.7f);
  }
  return Chain(pts, radii);
}

Pt Knee(Pt hip, Pt foot, float a, float b, float bend) {
  const float dx = foot.x - hip.x, dy = foot.y - hip.y;
  const float d = std::clamp(rmath::Hypot(dx, dy), std::fabs(a - b) + 0.01f, a + b - 0.01f);
  const float cosA = std::clamp((a * a + d * d - b * b) / (2 * a * d), -1.0f, 1.0f);
  const float theta = rmath::Atan2(dy, dx);
  const float alpha = rmath::Acos(cosA);
  const float k = theta - bend * alpha;
  return {hip.x + a * rmath::Cos(k), hip.y + a * rmath::Sin(k)};
}

Skin DemonSkin(Rgb dark, Rgb light, uint32_t seed) {
  return [=](float x, float y) {
    const float n = static_cast<float>(Fbm(x / 7.0, y / 7.0, 4, seed));
    const float ridges = static_cast<float>(Ridged(x / 16.0, y / 11.0, 3, seed + 1));
    return Mix(dark, light, n) * (0.8f + 0.35f * ridges);
  };
}

Skin BoneSkin(uint32_t seed) {
  return [=](float x, float y) {
    const float n = static_cast<float>(Fbm(x / 5.0, y / 5.0, 3, seed));
    const float ring = 0.8f + 0.2f * rmath::Sin((x + y) * 0.9f);
    return Mix(Hex(0x5a4a3a), Hex(0xb8a688), n) * ring;
  };
}

Skin StoneSkin(uint32_t seed) {
  return [=](float x, float y) {
    const float n = static_cast<float>(Fbm(x / 10.0, y / 10.0, 4, seed));
    const float grain = static_cast<float>(ValueNoise(x / 2.0, y / 2.0, seed + 5));
    return Mix(Hex(0x2d2a2a), Hex(0x6a625a), n) * (0.85f + 0.25f * grain);
  };
}

Skin FlatSkin(Rgb colour) {
  return [=](float, float) { return colour; };
}

Sprite::Sprite(int side) : side_(side), c_(side, side), cover_(static_cast<size_t>(side) * side, 0.0f) {}

void Sprite::Part(const Shape& s, const Skin& skin, float depth, float shade, float gloss) {
  const int x0 = std::max(0, static_cast<int>(s.x0)), y0 = std::max(0, static_cast<int>(s.y0));
  const int x1 = std::min(side_ - 1, static_cast<int>(s.x1) + 1),
            y1 = std::min(side_ - 1, static_cast<int>(s.y1) + 1);
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const float fx = x + 0.5f, fy = y + 0.5f;
      const float d = s.sdf(fx, fy);
      const float a = Clamp01(0.5f - d);
      if (a <= 0) continue;
      float gx = s.sdf(fx + 0.75f, fy) - s.sdf(fx - 0.75f, fy);
      float gy = s.sdf(fx, fy + 0.75f) - s.sdf(fx, fy - 0.75f);
      const float len = rmath::Hypot(gx, gy);
      if (len > 1e-5f) {
        gx /= len;
        gy /= len;
      } else {
        gx = gy = 0;
      }
      // A rounded volume: the normal leans out towards the edge.
      const float u = 1 - Clamp01(-d / depth);
      const float nz = std::sqrt(std::max(0.0f, 1 - u * u));
      const float nx = gx * u, ny = gy * u;
      const float lambert = std::max(0.0f, -0.5f * nx - 0.55f * ny + 0.67f * nz);
      const float rim = rmath::Pow(1 - nz, 3.0f) * Clamp01(-0.8f * nx - 0.6f * ny);
      Rgb col = skin(fx, fy) * ((0.16f + 0.95f * lambert) * shade);
      col = col + Hex(0x6d86b3) * (rim * 0.45f * shade);
      if (gloss > 0) col = col + Rgb{0.75f, 0.8f, 0.95f} * (gloss * rmath::Pow(lambert, 14.0f));
      // A dark seam where the part meets what lies behind it.
      if (d > -1.3f) col = col * 0.55f;
      c_.Blend(x, y, col, a);
      float& cv = cover_[static_cast<size_t>(y) * side_ + x];
      cv = std::max(cv, a);
    }
  }
}

void Sprite::Tint(const Shape& s, Rgb factor, float soft) {
  const int x0 = std::max(0, static_cast<int>(s.x0)), y0 = std::max(0, static_cast<int>(s.y0));
  const int x1 = std::min(side_ - 1, static_cast<int>(s.x1) + 1),
            y1 = std::min(side_ - 1, static_cast<int>(s.y1) + 1);
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const float a = Clamp01(0.5f - s.sdf(x + 0.5f, y + 0.5f) / soft);
      if (a <= 0 || Coverage(x, y) <= 0) continue;
      Rgb& p = c_.at(x, y);
      p = Mix(p, p * factor, a);
    }
}

void Sprite::BodyGlow(Pt c, float radius, Rgb colour, float power) {
  const int x0 = std::max(0, static_cast<int>(c.x - radius)),
            y0 = std::max(0, static_cast<int>(c.y - radius));
  const int x1 = std::min(side_ - 1, static_cast<int>(c.x + radius) + 1);
  const int y1 = std::min(side_ - 1, static_cast<int>(c.y + radius) + 1);
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const float cv = Coverage(x, y);
      if (cv <= 0) continue;
      const float d = rmath::Hypot(x + 0.5f - c.x, y + 0.5f - c.y) / radius;
      if (d >= 1) continue;
      c_.at(x, y) = c_.at(x, y) + colour * (rmath::Pow(1 - d, power) * cv);
    }
}

void Sprite::Emit(const Shape& s, Rgb colour, float soft) {
  const int x0 = std::max(0, static_cast<int>(s.x0)), y0 = std::max(0, static_cast<int>(s.y0));
  const int x1 = std::min(side_ - 1, static_cast<int>(s.x1) + 1),
            y1 = std::min(side_ - 1, static_cast<int>(s.y1) + 1);
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const float a = Clamp01(0.5f - s.sdf(x + 0.5f, y + 0.5f) / soft);
      if (a <= 0) continue;
      c_.Blend(x, y, colour, a);
      float& cv = cover_[static_cast<size_t>(y) * side_ + x];
      cv = std::max(cv, a);
    }
}

void Sprite::Eye(Pt c, float rx, float ry, Rgb light, float glow) {
  Tint(Ellipse(c, rx * 1.7f + 1, ry * 1.7f + 1), Rgb{0.3f, 0.22f, 0.22f}, 2.0f);
  BodyGlow(c, (rx + ry) * 2.4f * glow + 2, light * (0.45f * glow));
  Emit(Ellipse(c, rx, ry), light);
  Emit(Ellipse({c.x + rx * 0.25f, c.y}, rx * 0.45f, ry * 0.55f), Mix(light, Hex(0xfff4d6), 0.7f));
}

void Sprite::Veins(float scale, uint32_t seed, float threshold, Rgb colour, const Shape* region) {
  for (int y = 0; y < side_; ++y)
    for (int x = 0; x < side_; ++x) {
      const float cv = Coverage(x, y);
      if (cv < 0.99f) continue;
      if (region != nullptr && region->sdf(x + 0.5f, y + 0.5f) > 0) continue;
      const float r = static_cast<float>(Ridged(x / scale, y / scale, 3, seed));
      if (r <= threshold) continue;
      c_.at(x, y) = c_.at(x, y) + colour * Smooth(threshold, threshold + (1 - threshold) * 0.6f, r);
    }
}

std::vector<uint32_t> Sprite::Pixels() const {
  const size_t n = static_cast<size_t>(side_) * side_;
  std::vector<uint32_t> out(n, 0);
  auto q = [](float v) {
    return std::max<uint32_t>(4, static_cast<uint32_t>(std::lround(Clamp01(v) * 255.0f)));
  };
  for (size_t i = 0; i < n; ++i) {
    if (cover_[i] < 0.35f) continue;  // the faintest fringe stays outside
    const Rgb& p = c_.at(static_cast<int>(i % side_), static_cast<int>(i / side_));
    out[i] = 0xff000000u | (q(p.r) << 16) | (q(p.g) << 8) | q(p.b);
  }
  // Gaps that the background cannot reach (between a limb and the body)
  // would show the level through the creature once black is keyed out:
  // they are shut with a dark shade of their surroundings.
  std::vector<uint8_t> outside(n, 0);
  std::vector<size_t> todo;
  auto reach = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= side_ || y >= side_) return;
    const size_t i = static_cast<size_t>(y) * side_ + x;
    if (outside[i] || out[i] != 0) return;
    outside[i] = 1;
    todo.push_back(i);
  };
  for (int i = 0; i < side_; ++i) reach(i, 0), reach(i, side_ - 1), reach(0, i), reach(side_ - 1, i);
  while (!todo.empty()) {
    const size_t i = todo.back();
    todo.pop_back();
    const int x = static_cast<int>(i % side_), y = static_cast<int>(i / side_);
    reach(x + 1, y), reach(x - 1, y), reach(x, y + 1), reach(x, y - 1);
  }
  for (int y = 0; y < side_; ++y)
    for (int x = 0; x < side_; ++x) {
      const size_t i = static_cast<size_t>(y) * side_ + x;
      if (out[i] != 0 || outside[i]) continue;
      Rgb sum;
      float k = 0;
      for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
        const int nx = x + dx, ny = y + dy;
        if (nx < 0 || ny < 0 || nx >= side_ || ny >= side_) continue;
        if (cover_[static_cast<size_t>(ny) * side_ + nx] < 0.35f) continue;
        sum = sum + c_.at(nx, ny);
        k += 1;
      }
      const Rgb shade = k > 0 ? sum * (0.45f / k) : Rgb{};
      out[i] = 0xff000000u | (q(shade.r) << 16) | (q(shade.g) << 8) | q(shade.b);
    }
  return out;
}

Strip MakeStrip(const std::vector<Sprite>& frames) {
  Strip s;
  s.side = frames.empty() ? 0 : frames[0].side();
  s.frames = static_cast<int>(frames.size());
  const int w = s.side * s.frames;
  s.width = w;
  s.pixels.assign(static_cast<size_t>(w) * s.side, 0);
  for (int f = 0; f < s.frames; ++f) {
    const std::vector<uint32_t> p = frames[static_cast<size_t>(f)].Pixels();
    for (int y = 0; y < s.side; ++y)
      for (int x = 0; x < s.side; ++x)
        s.pixels[static_cast<size_t>(y) * w + f * s.side + x] = p[static_cast<size_t>(y) * s.side + x];
  }
  return s;
}

Pt WalkFoot(float u, float stride, float lift) {
  u -= std::floor(u);
  if (u < 0.5f) return {stride * (0.5f - 2 * u), 0};
  const float s = (u - 0.5f) * 2;
  return {stride * (-0.5f + (1 - rmath::Cos(kPi * s)) / 2), -lift * rmath::Sin(kPi * s)};
}

}  // namespace datagen
