#pragma once
// Painting a level picture on its geometry: the scene being painted with
// the distance fields that shade it, smooth noise sampled from a coarse
// grid, and the steps the level painter runs (backdrop, decoration,
// materials, lights).
#include <cstdint>
#include <vector>

#include "datagen/canvas.h"
#include "datagen/world_geometry.h"

namespace datagen {

// Fractal noise over the screen, computed on a coarse grid and read back
// bilinearly: smooth texture at a fraction of the cost. Features are about
// scaleX by scaleY pixels; points off the screen read the nearest edge.
class SmoothField {
 public:
  SmoothField(double scaleX, double scaleY, int octaves, uint32_t seed, int step = 4);
  float At(float x, float y) const;

 private:
  int step_, cols_, rows_;
  std::vector<float> v_;
};

enum class Where { Air, Solid, Any };

struct Scene {
  explicit Scene(const LevelGeometry& g);

  const LevelGeometry& geo;
  bool outdoor;  // row 0: free pixels stay black (transparent) unless decorated
  Canvas canvas;
  // Outdoors: how much of a free pixel the decoration covers (0 = sky).
  std::vector<float> cover;
  // Distance from a free pixel to the nearest solid one, and from a solid
  // pixel to the nearest free one, in pixels (capped).
  std::vector<float> dist;
  // Solid pixels: rows up to the first free pixel above (0 = a top surface).
  std::vector<int16_t> up;

  size_t Index(int x, int y) const {
    return static_cast<size_t>(y) * canvas.width() + static_cast<size_t>(x);
  }
  bool Solid(int x, int y) const { return geo.Solid(x, y); }
  bool Allowed(int x, int y, Where w) const { return w == Where::Any || (w == Where::Solid) == Solid(x, y); }

  // Paints `sdf < 0` in the box, coloured by shade(x, y, d), on the pixels
  // that `where` allows; outdoors it marks free pixels as covered.
  template <class Sdf, class Shade>
  void Paint(float bx0, float by0, float bx1, float by1, Where where, Sdf sdf, Shade shade,
             float soft = 1.0f) {
    const int x0 = std::max(0, static_cast<int>(bx0)), y0 = std::max(0, static_cast<int>(by0));
    const int x1 = std::min(canvas.width() - 1, static_cast<int>(bx1) + 1);
    const int y1 = std::min(canvas.height() - 1, static_cast<int>(by1) + 1);
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        if (!Allowed(x, y, where)) continue;
        const float fx = x + 0.5f, fy = y + 0.5f;
        const float a = Clamp01(0.5f - sdf(fx, fy) / soft);
        if (a <= 0) continue;
        canvas.Blend(x, y, shade(fx, fy, a), a);
        float& c = cover[Index(x, y)];
        c = std::max(c, a);
      }
  }
  // Adds a round light; outdoors only onto what is drawn, so the sky stays
  // clear for the backdrop behind it.
  void Light(float cx, float cy, float radius, Rgb colour, float power = 2.0f);
};

// The level's own decoration: ruins and trees in the distance, lanterns,
// torches, furnaces, light from the holes. Before the solids when `front`
// is false, after them (on walls, and the lights) when it is true.
void PaintDecor(Scene& s, bool front);

// Helpers shared by the painters.
float Hash01(int32_t x, int32_t y, uint32_t seed);
// A lantern: an iron cage with a warm flame, hanging or standing at (x, y).
void DrawLantern(Scene& s, float x, float y, Where where);
// A flaming torch in an iron bracket on a wall.
void DrawTorch(Scene& s, float x, float y);

}  // namespace datagen
