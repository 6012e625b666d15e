#include "datagen/canvas.h"

#include "maths/repro_math.h"

namespace datagen {

float SdPolygon(float x, float y, const std::vector<float>& points) {
  const size_t n = points.size() / 2;
  if (n < 3) return 1e9f;
  float d = 1e30f;
  bool inside = false;
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    const float xi = points[2 * i], yi = points[2 * i + 1];
    const float xj = points[2 * j], yj = points[2 * j + 1];
    const float ex = xj - xi, ey = yj - yi;
    const float wx = x - xi, wy = y - yi;
    const float len2 = ex * ex + ey * ey;
    const float t = len2 > 0 ? Clamp01((wx * ex + wy * ey) / len2) : 0;
    const float bx = wx - ex * t, by = wy - ey * t;
    d = std::min(d, bx * bx + by * by);
    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
  }
  const float dist = std::sqrt(d);
  return inside ? -dist : dist;
}

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), px_(static_cast<size_t>(width) * height, fill) {}

void Canvas::Glow(float cx, float cy, float radius, Rgb colour, float power) {
  const int x0 = static_cast<int>(cx - radius), x1 = static_cast<int>(cx + radius) + 1;
  const int y0 = static_cast<int>(cy - radius), y1 = static_cast<int>(cy + radius) + 1;
  for (int y = std::max(y0, 0); y <= std::min(y1, height_ - 1); ++y) {
    for (int x = std::max(x0, 0); x <= std::min(x1, width_ - 1); ++x) {
      const float d = rmath::Hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
      if (d >= 1) continue;
      at(x, y) = at(x, y) + colour * rmath::Pow(1 - d, power);
    }
  }
}

void Canvas::BoxBlur(int radius, int passes) {
  if (radius < 1) return;
  std::vector<Rgb> line;
  for (int pass = 0; pass < passes; ++pass) {
    for (int horizontal = 0; horizontal < 2; ++horizontal) {
      const int len = horizontal ? width_ : height_;
      const int lines = horizontal ? height_ : width_;
      line.resize(static_cast<size_t>(len));
      for (int l = 0; l < lines; ++l) {
        auto ref = [&](int i) -> Rgb& { return horizontal ? at(i, l) : at(l, i); };
        for (int i = 0; i < len; ++i) line[static_cast<size_t>(i)] = ref(i);
        Rgb sum;
        for (int i = -radius; i <= radius; ++i) sum = sum + line[static_cast<size_t>(std::clamp(i, 0, len - 1))];
        const float k = 1.0f / (2 * radius + 1);
        for (int i = 0; i < len; ++i) {
          ref(i) = sum * k;
          sum = sum + line[static_cast<size_t>(std::min(i + radius + 1, len - 1))] -
                line[static_cast<size_t>(std::max(i - radius, 0))];
        }
      }
    }
  }
}

void Canvas::Draw(const Canvas& other, int x, int y, bool keyBlack) {
  for (int j = 0; j < other.height(); ++j) {
    for (int i = 0; i < other.width(); ++i) {
      const Rgb c = other.at(i, j);
      if (keyBlack && c.r + c.g + c.b <= 0.0f) continue;
      if (Inside(x + i, y + j)) at(x + i, y + j) = c;
    }
  }
}

void Canvas::MirrorX() {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_ / 2; ++x) std::swap(at(x, y), at(width_ - 1 - x, y));
}

std::vector<uint32_t> Canvas::ToPixels(bool floor) const {
  std::vector<uint32_t> out(px_.size());
  for (size_t i = 0; i < px_.size(); ++i) {
    auto q = [](float v) { return static_cast<uint32_t>(std::lround(Clamp01(v) * 255.0f)); };
    uint32_t r = q(px_[i].r), g = q(px_[i].g), b = q(px_[i].b);
    if (floor && r + g + b > 0 && r + g + b < 12) {
      r = std::max(r, 4u);
      g = std::max(g, 4u);
      b = std::max(b, 4u);
    }
    out[i] = 0xff000000u | (r << 16) | (g << 8) | b;
  }
  return out;
}

float Bevel::Light(int x, int y, float depth) const {
  const float dx = (Get(x + 1, y) - Get(x - 1, y)) * depth;
  const float dy = (Get(x, y + 1) - Get(x, y - 1)) * depth;
  // Normal (-dx, -dy, 1), light from the upper left and in front.
  const float len = std::sqrt(dx * dx + dy * dy + 1);
  const float lx = -0.55f, ly = -0.6f, lz = 0.58f;
  const float dot = (-dx * lx - dy * ly + lz) / len;
  return 0.35f + 1.1f * std::max(dot, 0.0f);
}

}  // namespace datagen
