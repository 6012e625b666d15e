#pragma once
// Painting the creatures: shapes given by signed distances with a bounding
// box, painted as rounded lit volumes (the moon at the upper left, a cold
// rim on the edges facing it), skins, glowing eyes and mouths, two-bone
// legs, and the strip of square frames the game cuts them from.
#include <cstdint>
#include <functional>
#include <vector>

#include "datagen/canvas.h"

namespace datagen {

// A shape: sdf < 0 inside, and a box that holds it.
struct Shape {
  std::function<float(float, float)> sdf;
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

struct Pt {
  float x = 0, y = 0;
};
inline Pt operator+(Pt a, Pt b) { return {a.x + b.x, a.y + b.y}; }
inline Pt operator-(Pt a, Pt b) { return {a.x - b.x, a.y - b.y}; }
inline Pt operator*(Pt a, float k) { return {a.x * k, a.y * k}; }
inline Pt Lerp(Pt a, Pt b, float t) { return a + (b - a) * t; }
// The point at `length` from `from` in direction `degrees` (0 = right, 90 = down).
Pt Polar(Pt from, float degrees, float length);

Shape Ellipse(Pt c, float rx, float ry);
Shape Circle(Pt c, float r);
// A capsule whose radius runs from r0 at a to r1 at b.
Shape Limb(Pt a, Pt b, float r0, float r1);
// Tapering limbs through the points, radius i at point i.
Shape Chain(const std::vector<Pt>& points, const std::vector<float>& radii);
Shape Polygon(const std::vector<float>& points);
Shape Union(const Shape& a, const Shape& b);
// a with b cut away.
Shape Cut(const Shape& a, const Shape& b);
// Shape grown (positive) or shrunk by `by` pixels.
Shape Grow(const Shape& a, float by);
// A horn: a tapering curve from `root` leaving at `degrees`, bending by
// `bend` degrees over its length.
Shape Horn(Pt root, float degrees, float bend, float length, float rootRadius);

// The knee (or elbow) of a two-bone limb from `hip` to `foot` with bones a
// and b; `bend` +1 puts the knee on the right of the hip-to-foot line
// (forward for a creature facing right), -1 on the left.
Pt Knee(Pt hip, Pt foot, float a, float b, float bend);

// A skin: base colour at a point, before light.
using Skin = std::function<Rgb(float, float)>;
Skin DemonSkin(Rgb dark, Rgb light, uint32_t seed);
Skin BoneSkin(uint32_t seed);
Skin StoneSkin(uint32_t seed);
Skin FlatSkin(Rgb colour);

// One frame of a creature: colour, and how much of each pixel the body covers.
class Sprite {
 public:
  explicit Sprite(int side);
  int side() const { return side_; }
  float Coverage(int x, int y) const { return cover_[static_cast<size_t>(y) * side_ + x]; }
  const Canvas& canvas() const { return c_; }

  // A solid part, lit as a volume about `depth` pixels deep; `shade` dims a
  // part that lies further back, `gloss` adds a moonlit highlight.
  void Part(const Shape& s, const Skin& skin, float depth, float shade = 1.0f, float gloss = 0.0f);
  // Paint laid on the body where it already is (spots, scars, shadows),
  // multiplied in: factor 1 leaves the body alone.
  void Tint(const Shape& s, Rgb factor, float soft = 1.5f);
  // Light that glows from a point onto the body only (eyes, maws, embers):
  // the background stays black.
  void BodyGlow(Pt c, float radius, Rgb colour, float power = 2.0f);
  // A shape that shines by itself, unlit, with its own colour.
  void Emit(const Shape& s, Rgb colour, float soft = 1.0f);
  // A glowing eye: a dark socket, a lit slit or disc and its glow on the skin.
  void Eye(Pt c, float rx, float ry, Rgb light, float glow = 1.0f);
  // Glowing cracks over the body where ridged noise of `scale` crests
  // above `threshold` (0.85 many, 0.95 few), inside `region` when given.
  void Veins(float scale, uint32_t seed, float threshold, Rgb colour, const Shape* region = nullptr);

  // The frame's pixels: 0 outside the body, never pure black (nor so dark
  // that the edge softening would punch holes) inside it.
  std::vector<uint32_t> Pixels() const;

 private:
  int side_;
  Canvas c_;
  std::vector<float> cover_;
};

// Frames of one side laid left to right (width = side · frames), or one
// picture of any width (frames 1).
struct Strip {
  int side = 0, frames = 0, width = 0;
  std::vector<uint32_t> pixels;
};
Strip MakeStrip(const std::vector<Sprite>& frames);

// Where a foot is in a walk cycle at phase u (0..1): on the ground and
// sliding back over the first half, lifted and swung forward over the
// second. x from -stride/2 to +stride/2 about the hip; lift upwards.
Pt WalkFoot(float u, float stride, float lift);

}  // namespace datagen
