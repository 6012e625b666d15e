#pragma once
// A floating-point RGB drawing surface for the procedural art, with
// anti-aliased shapes given by signed distance functions, soft glows,
// blurs and a bevel light. Pictures leave it as 0xffRRGGBB pixels.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "maths/repro_math.h"

namespace datagen {

struct Rgb {
  float r = 0, g = 0, b = 0;
};
inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator-(Rgb a, Rgb b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Rgb Mix(Rgb a, Rgb b, float t) { return a + (b - a) * t; }
// A colour from 0xRRGGBB.
inline Rgb Hex(uint32_t v) {
  return {((v >> 16) & 255) / 255.0f, ((v >> 8) & 255) / 255.0f, (v & 255) / 255.0f};
}

inline float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline float Smooth(float e0, float e1, float x) {
  const float t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

// Signed distances (negative inside).
inline float SdCircle(float x, float y, float cx, float cy, float r) {
  return rmath::Hypot(x - cx, y - cy) - r;
}
inline float SdEllipse(float x, float y, float cx, float cy, float rx, float ry) {
  // A close approximation, exact on the axes.
  const float k = rmath::Hypot((x - cx) / rx, (y - cy) / ry);
  return (k - 1) * std::min(rx, ry);
}
inline float SdBox(float x, float y, float cx, float cy, float hw, float hh, float radius = 0) {
  const float qx = std::fabs(x - cx) - hw + radius, qy = std::fabs(y - cy) - hh + radius;
  const float outside = rmath::Hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}
inline float SdSegment(float x, float y, float ax, float ay, float bx, float by, float r) {
  const float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
  const float len2 = dx * dx + dy * dy;
  const float t = len2 > 0 ? Clamp01((px * dx + py * dy) / len2) : 0;
  return rmath::Hypot(px - dx * t, py - dy * t) - r;
}
// A convex or concave polygon; points as x0, y0, x1, y1, ...
float SdPolygon(float x, float y, const std::vector<float>& points);

class Canvas {
 public:
  Canvas(int width, int height, Rgb fill = {});

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb& at(int x, int y) { return px_[static_cast<size_t>(y) * width_ + x]; }
  const Rgb& at(int x, int y) const { return px_[static_cast<size_t>(y) * width_ + x]; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  void Blend(int x, int y, Rgb c, float a) {
    if (!Inside(x, y) || a <= 0) return;
    Rgb& p = at(x, y);
    p = Mix(p, c, std::min(a, 1.0f));
  }
  void Add(int x, int y, Rgb c, float a = 1) {
    if (!Inside(x, y) || a <= 0) return;
    at(x, y) = at(x, y) + c * a;
  }

  // Paints the shape `sdf(x, y) < 0` over the box, coloured by
  // `shade(x, y, d)`, with an edge `soft` pixels wide. Pixel centres are at
  // +0.5.
  template <class Sdf, class Shade>
  void Paint(int x0, int y0, int x1, int y1, Sdf sdf, Shade shade, float soft = 1.0f) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, width_ - 1);
    y1 = std::min(y1, height_ - 1);
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        const float fx = x + 0.5f, fy = y + 0.5f;
        const float d = sdf(fx, fy);
        const float a = Clamp01(0.5f - d / soft);
        if (a > 0) Blend(x, y, shade(fx, fy, d), a);
      }
    }
  }
  template <class Sdf>
  void Fill(int x0, int y0, int x1, int y1, Sdf sdf, Rgb colour, float soft = 1.0f) {
    Paint(x0, y0, x1, y1, sdf, [colour](float, float, float) { return colour; }, soft);
  }
  // Every pixel through `f(x, y, old) -> new`.
  template <class F>
  void Shade(F f) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) at(x, y) = f(x + 0.5f, y + 0.5f, at(x, y));
  }

  // Adds a round glow: colour · strength · falloff^power inside radius.
  void Glow(float cx, float cy, float radius, Rgb colour, float power = 2.0f);
  void BoxBlur(int radius, int passes = 2);
  // Copies `other` in at (x, y); black source pixels are skipped when
  // `keyBlack` is set.
  void Draw(const Canvas& other, int x, int y, bool keyBlack = false);
  // Mirrors the picture left to right.
  void MirrorX();

  // 0xffRRGGBB pixels, rounded. With `floor` set, every pixel that is not
  // black keeps a colour sum of at least 12, so that a black-keyed picture
  // shows its darkest parts instead of holes.
  std::vector<uint32_t> ToPixels(bool floor = false) const;

 private:
  int width_, height_;
  std::vector<Rgb> px_;
};

// Light on a height field h(x, y) (0..1, larger is nearer), from the upper
// left: the factor to multiply a surface colour by (about 0.4 to 1.6).
class Bevel {
 public:
  Bevel(int width, int height) : width_(width), height_(height), h_(static_cast<size_t>(width) * height) {}
  float& at(int x, int y) { return h_[static_cast<size_t>(y) * width_ + x]; }
  float Get(int x, int y) const {
    x = std::clamp(x, 0, width_ - 1);
    y = std::clamp(y, 0, height_ - 1);
    return h_[static_cast<size_t>(y) * width_ + x];
  }
  float Light(int x, int y, float depth) const;

 private:
  int width_, height_;
  std::vector<float> h_;
};

}  // namespace datagen
