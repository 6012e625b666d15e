// The player: a hooded knight in moon-iron on one turning leg. The body
// strips (sword and gun) hold the eleven attack frames, their marker strips
// the four corners the weapon is warped onto, and the leg is a separate
// iron stilt with a foot at each end, since the game turns it full circles
// as the player rolls along. Lit like the rest of the art: cold moonlight
// from the upper left.
#include "datagen/player_art.h"

#include <cmath>
#include <string>
#include <vector>

#include "datagen/art_kit.h"
#include "datagen/data_set.h"
#include "datagen/noise.h"
#include "datagen/player_pose.h"
#include "maths/repro_math.h"

namespace datagen {
namespace {

constexpr float kPi = 3.14159265f;

// Shapes are drawn at `scale` times the picture's size and averaged down,
// so the small sprites get clean edges; coordinates stay in picture pixels.
class FineCanvas {
 public:
  FineCanvas(int width, int height, int scale)
      : c_(width * scale, height * scale), k_(static_cast<float>(scale)) {}

  template <class Sdf, class Shade>
  void Paint(float x0, float y0, float x1, float y1, Sdf sdf, Shade shade) {
    c_.Paint(
        static_cast<int>(std::floor(x0 * k_)), static_cast<int>(std::floor(y0 * k_)),
        static_cast<int>(std::ceil(x1 * k_)), static_cast<int>(std::ceil(y1 * k_)),
        [&](float x, float y) { return sdf(x / k_, y / k_) * k_; },
        [&](float x, float y, float d) { return shade(x / k_, y / k_, d / k_); });
  }
  // A glow on what is already drawn only: the sprites are keyed on black,
  // and a halo around them would show as a dark fringe.
  void Glow(float cx, float cy, float radius, Rgb colour) {
    const float r = radius * k_, px = cx * k_, py = cy * k_;
    for (int y = std::max(0, static_cast<int>(py - r));
         y <= std::min(c_.height() - 1, static_cast<int>(py + r)); ++y)
      for (int x = std::max(0, static_cast<int>(px - r));
           x <= std::min(c_.width() - 1, static_cast<int>(px + r)); ++x) {
        const Rgb p = c_.at(x, y);
        const float d = rmath::Hypot(x + 0.5f - px, y + 0.5f - py) / r;
        if (d < 1 && p.r + p.g + p.b > 0.02f) c_.at(x, y) = p + colour * ((1 - d) * (1 - d));
      }
  }

  Canvas Reduce() const {
    const int k = static_cast<int>(k_);
    Canvas out(c_.width() / k, c_.height() / k);
    const float norm = 1.0f / static_cast<float>(k * k);
    for (int y = 0; y < out.height(); ++y)
      for (int x = 0; x < out.width(); ++x) {
        Rgb sum;
        for (int j = 0; j < k; ++j)
          for (int i = 0; i < k; ++i) sum = sum + c_.at(x * k + i, y * k + j);
        out.at(x, y) = sum * norm;
      }
    return out;
  }

 private:
  Canvas c_;
  float k_;
};

// Lambert light from the moon at the upper left for the normal (nx, ny,
// nz), with a cold rim on the edges that face it.
float MoonLight(float nx, float ny, float nz) {
  const float lambert = std::max(0.0f, -0.5f * nx - 0.55f * ny + 0.67f * nz);
  const float rim = rmath::Pow(std::max(0.0f, 1 - nz), 3.0f) * std::max(0.0f, -nx) * 0.9f;
  return 0.18f + 0.95f * lambert + rim;
}

float Bulge(float x, float y, float cx, float cy, float rx, float ry) {
  const float dx = std::clamp((x - cx) / rx, -1.0f, 1.0f), dy = std::clamp((y - cy) / ry, -1.0f, 1.0f);
  const float z = std::sqrt(std::max(0.0f, 1 - dx * dx - dy * dy));
  return MoonLight(dx, dy, z);
}

// Light across a limb from a to b: round in cross-section.
float Tube(float x, float y, float ax, float ay, float bx, float by, float r) {
  const float dx = bx - ax, dy = by - ay, len = std::max(rmath::Hypot(dx, dy), 1e-3f);
  const float side = ((x - ax) * -dy + (y - ay) * dx) / len / r;  // -1 .. 1 across
  const float s = std::clamp(side, -1.0f, 1.0f);
  const float nz = std::sqrt(std::max(0.0f, 1 - s * s));
  return MoonLight(s * -dy / len, s * dx / len, nz);
}

const Rgb kCloth = Hex(0x27324a), kClothLight = Hex(0x4a5f86);
const Rgb kIron = Hex(0x66708a), kIronLight = Hex(0xa9b4cc);
const Rgb kEye = Hex(0xd8e6ff);

Rgb IronAt(float x, float y, uint32_t seed) {
  const float n = static_cast<float>(Fbm(x / 6.0, y / 6.0, 3, seed));
  return Mix(kIron, kIronLight, 0.25f + 0.5f * n);
}

// The upper body turns about the hip by the frame's lean; shapes are given
// upright and looked up through the inverse turn.
struct Lean {
  float c, s;
  explicit Lean(float degrees) : c(rmath::Cos(degrees * kPi / 180)), s(rmath::Sin(degrees * kPi / 180)) {}
  // Upright coordinates of a drawn point.
  void Upright(float x, float y, float& ux, float& uy) const {
    const float dx = x - kHipX, dy = y - kHipY;
    ux = kHipX + dx * c + dy * s;
    uy = kHipY - dx * s + dy * c;
  }
  // Where an upright point is drawn.
  void Drawn(float ux, float uy, float& x, float& y) const {
    const float dx = ux - kHipX, dy = uy - kHipY;
    x = kHipX + dx * c - dy * s;
    y = kHipY + dx * s + dy * c;
  }
};

// The elbow of an arm from shoulder s to hand h with two segments of
// length `seg`; it hangs below the line between them.
void Elbow(float sx, float sy, float hx, float hy, float seg, float& ex, float& ey) {
  const float dx = hx - sx, dy = hy - sy;
  const float d = std::clamp(rmath::Hypot(dx, dy), 0.5f, 2 * seg - 0.05f);
  const float mx = (sx + hx) / 2, my = (sy + hy) / 2;
  const float off = std::sqrt(std::max(0.0f, seg * seg - d * d / 4));
  float px = -dy / d, py = dx / d;
  if (py < 0 || (py == 0 && px > 0)) px = -px, py = -py;
  ex = mx + px * off;
  ey = my + py * off;
}

void DrawBody(FineCanvas& f, BodyKind kind, int frame) {
  const HeldPose& pose = PosesOf(kind)[static_cast<size_t>(frame)];
  const Lean lean(pose.lean);
  auto up = [&](auto sdf) {
    return [&lean, sdf](float x, float y) {
      float ux, uy;
      lean.Upright(x, y, ux, uy);
      return sdf(ux, uy);
    };
  };
  auto upShade = [&](auto shade) {
    return [&lean, shade](float x, float y, float d) {
      float ux, uy;
      lean.Upright(x, y, ux, uy);
      return shade(ux, uy, d);
    };
  };
  // Paints a shape of the upper body, given upright with its bounding box,
  // over the box it covers once leaned.
  auto paintUp = [&](float x0, float y0, float x1, float y1, auto sdf, auto shade) {
    float left = 1e9f, top = 1e9f, right = -1e9f, bottom = -1e9f;
    for (const float cx : {x0, x1})
      for (const float cy : {y0, y1}) {
        float x, y;
        lean.Drawn(cx, cy, x, y);
        left = std::min(left, x), top = std::min(top, y), right = std::max(right, x),
        bottom = std::max(bottom, y);
      }
    f.Paint(left - 1, top - 1, right + 1, bottom + 1, up(sdf), upShade(shade));
  };
  // Paints a shape drawn where it is, within a margin around two points.
  auto paintAt = [&](float ax, float ay, float bx, float by, float margin, auto sdf, auto shade) {
    f.Paint(std::min(ax, bx) - margin, std::min(ay, by) - margin, std::max(ax, bx) + margin,
            std::max(ay, by) + margin, sdf, shade);
  };

  // The cloak, streaming back from the shoulders, its hem torn.
  auto cloak = [](float x, float y) {
    const float hem = 1.6f * static_cast<float>(ValueNoise(x / 2.2, 3.0, 611)) - 0.8f;
    const float body = SdPolygon(x, y, {23, 33, 35, 34, 36, 42, 33, 52, 28, 60, 21, 65, 15,
                                        67, 10, 65, 5,  68, 6,  59, 9,  49, 14, 40, 19, 35});
    return body + std::max(0.0f, hem) * Smooth(56, 66, y);
  };
  paintUp(3, 31, 38, 70, cloak, [](float x, float y, float d) {
    const float folds = static_cast<float>(Fbm(x / 2.5, y / 9.0, 3, 612));
    Rgb col = Mix(kCloth, kClothLight, folds) * Bulge(x, y, 22, 48, 18, 24);
    // Moonlight catches the cloak's trailing edge.
    col = col + Hex(0x6d86b3) * (Smooth(-2.5f, 0, d) * Smooth(22, 8, x) * 0.6f);
    return col;
  });

  // Breastplate and the plated skirt below the belt.
  auto torso = [](float x, float y) {
    const float chest = SdEllipse(x, y, 30, 45, 8.5f, 11);
    const float belly = SdEllipse(x, y, 28.5f, 54, 7.5f, 6);
    const float skirt = SdPolygon(x, y, {20.5f, 53, 36, 53, 34.5f, 61, 22, 61.5f});
    return std::min(std::min(chest, belly), skirt);
  };
  paintUp(19, 32, 40, 63, torso, [](float x, float y, float d) {
    Rgb col = IronAt(x, y, 613) * Bulge(x, y, 29, 46, 11, 15);
    if (y > 54) col = col * (0.8f + 0.15f * rmath::Cos((x - 20) * 1.3f));  // skirt plates
    return col * (0.75f + 0.25f * Smooth(-1.2f, -0.2f, -d));
  });
  // The crescent on the chest, the sign of the moon's order.
  paintUp(
      27, 38, 36, 48,
      [](float x, float y) {
        return std::max(SdCircle(x, y, 31.5f, 43, 3.2f), -SdCircle(x, y, 33, 42, 2.7f));
      },
      [](float, float, float) { return Hex(0xdfe8f8); });
  f.Glow(31.5f, 43, 4, Rgb{0.05f, 0.07f, 0.12f});
  // Belt with a buckle.
  paintUp(
      19, 50, 38, 55, [](float x, float y) { return SdBox(x, y, 28.5f, 52.5f, 8, 1.3f, 0.6f); },
      [](float, float, float) { return Hex(0x3b3431); });
  paintUp(
      29, 50, 34, 55, [](float x, float y) { return SdBox(x, y, 31.5f, 52.5f, 1.5f, 1.6f, 0.4f); },
      [](float, float, float) { return Hex(0xb89b62); });
  // The hip socket the leg turns in.
  paintAt(
      kHipX, kHipY, kHipX, kHipY, 6, [](float x, float y) { return SdCircle(x, y, kHipX, kHipY, 4.6f); },
      [](float x, float y, float d) {
        return Mix(Hex(0x20242e), IronAt(x, y, 614), Smooth(-1.6f, -0.4f, -(-d - 1.2f))) *
               Bulge(x, y, kHipX, kHipY, 4.6f, 4.6f);
      });

  // Hood and helm, the eye's glow in the visor.
  auto hood = [](float x, float y) {
    return std::min(SdEllipse(x, y, 30.5f, 25, 7, 8), SdPolygon(x, y, {26, 19, 18.5f, 23, 26, 28}));
  };
  paintUp(17, 16, 38, 34, hood, [](float x, float y, float) {
    const float folds = static_cast<float>(Fbm(x / 2.0, y / 5.0, 3, 615));
    return Mix(kCloth, kClothLight, 0.3f + 0.6f * folds) * Bulge(x, y, 29, 24, 9, 10);
  });
  paintUp(
      28, 20, 38, 32, [](float x, float y) { return SdEllipse(x, y, 33, 26, 4.4f, 5.6f); },
      [](float x, float y, float) { return IronAt(x, y, 616) * Bulge(x, y, 32, 25, 5, 6.5f); });
  paintUp(
      31, 23, 39, 27, [](float x, float y) { return SdBox(x, y, 35, 25, 2.6f, 0.9f, 0.5f); },
      [](float, float, float) { return Hex(0x0b0e16); });
  {
    float ex, ey;
    lean.Drawn(35.8f, 25, ex, ey);
    f.Glow(ex, ey, 4.5f, Rgb{0.2f, 0.32f, 0.55f});
    f.Paint(
        ex - 3, ey - 3, ex + 3, ey + 3,
        [ex, ey](float x, float y) { return SdEllipse(x, y, ex, ey, 1.5f, 0.7f); },
        [](float, float, float) { return kEye; });
  }
  // Gorget.
  paintUp(
      25, 30, 37, 36, [](float x, float y) { return SdEllipse(x, y, 31, 33, 5, 2.4f); },
      [](float x, float y, float) { return IronAt(x, y, 617) * Bulge(x, y, 30, 32, 6, 3); });

  // The weapon arm: sleeve, pauldron, bracer and gauntlet. The fist sits on
  // the weapon's grip, which the game draws over it.
  float sx, sy;
  lean.Drawn(34, 37.5f, sx, sy);
  const float hx = pose.handX, hy = pose.handY;
  float ex, ey;
  Elbow(sx, sy, hx, hy, 10.5f, ex, ey);
  paintAt(
      sx, sy, ex, ey, 4, [&](float x, float y) { return SdSegment(x, y, sx, sy, ex, ey, 2.6f); },
      [&](float x, float y, float) {
        const float folds = static_cast<float>(ValueNoise(x / 1.5, y / 1.5, 618));
        return Mix(kCloth, kClothLight, 0.4f + 0.4f * folds) * Tube(x, y, sx, sy, ex, ey, 2.6f);
      });
  paintAt(
      ex, ey, hx, hy, 4, [&](float x, float y) { return SdSegment(x, y, ex, ey, hx, hy, 2.3f); },
      [&](float x, float y, float) { return IronAt(x, y, 619) * Tube(x, y, ex, ey, hx, hy, 2.3f); });
  paintAt(
      ex, ey, ex, ey, 4, [&](float x, float y) { return SdCircle(x, y, ex, ey, 2.4f); },
      [&](float x, float y, float) { return IronAt(x, y, 620) * Bulge(x, y, ex, ey, 2.4f, 2.4f); });
  paintUp(
      28, 31, 40, 42, [](float x, float y) { return SdEllipse(x, y, 34, 36.5f, 5.4f, 4.2f); },
      [](float x, float y, float d) {
        const Rgb rim = Hex(0xc9d4ea) * Smooth(-1.2f, 0, d) * 0.5f;
        return IronAt(x, y, 621) * Bulge(x, y, 33, 35.5f, 6, 5) + rim;
      });
  paintAt(
      hx, hy, hx, hy, 4, [&](float x, float y) { return SdCircle(x, y, hx, hy, 2.9f); },
      [&](float x, float y, float) {
        const float knuckles = 0.85f + 0.15f * rmath::Cos((x + y) * 3.0f);
        return Mix(Hex(0x4a4f5e), kIronLight, 0.35f) * knuckles * Bulge(x, y, hx, hy, 2.9f, 2.9f);
      });
}

Canvas BodyStrip(BodyKind kind) {
  const int side = kPlayerFrameSide;
  Canvas strip(side * kAttackFrames, side);
  for (int frame = 0; frame < kAttackFrames; ++frame) {
    FineCanvas f(side, side, 4);
    DrawBody(f, kind, frame);
    strip.Draw(f.Reduce(), frame * side, 0);
  }
  return strip;
}

std::vector<uint32_t> MarkerStrip(BodyKind kind) {
  const int side = kPlayerFrameSide;
  std::vector<uint32_t> pixels(static_cast<size_t>(side) * kAttackFrames * side, 0xff000000u);
  for (int frame = 0; frame < kAttackFrames; ++frame) {
    const MarkerQuad q = MarkersOf(kind, frame);
    auto put = [&](PixelPoint p, uint32_t colour) {
      pixels[static_cast<size_t>(p.y) * side * kAttackFrames + static_cast<size_t>(frame * side + p.x)] =
          colour;
    };
    put(q.red, kMarkerRed);
    put(q.green, kMarkerGreen);
    put(q.blue, kMarkerBlue);
    put(q.magenta, kMarkerMagenta);
  }
  return pixels;
}

// The leg: an iron stilt through a hub, a rounded hoof at each end. The
// game draws it onto a 12 × 56 quad about the hip and stands it on the mask
// 22 pixels below the hub, so the soles lie at 50 / 56 of the height.
Canvas Leg() {
  const int w = kLegPictureWidth, h = kLegPictureHeight;
  FineCanvas f(w, h, 4);
  const float cx = w / 2.0f, cy = h / 2.0f;
  const float sole = h * 50.0f / 56.0f, reach = sole - cy;
  for (float s : {-1.0f, 1.0f}) {
    const float hoofY = cy + s * (reach - 4.5f);
    // The shank, tapering towards the hoof.
    f.Paint(
        0, 0, w, h,
        [&](float x, float y) {
          const float t = std::clamp((y - cy) * s / reach, 0.0f, 1.0f);
          return SdSegment(x, y, cx, cy, cx, hoofY, 1) - (3.2f - 1.2f * t) + 1;
        },
        [&](float x, float y, float) { return IronAt(x, y, 630) * Tube(x, y, cx, cy, cx, hoofY, 3.2f); });
    // A brass band halfway down.
    f.Paint(
        0, 0, w, h,
        [&](float x, float y) { return SdBox(x, y, cx, cy + s * reach * 0.55f, 3.6f, 1.3f, 0.6f); },
        [&](float x, float y, float) { return Hex(0xb89b62) * Tube(x, y, cx, 0, cx, 1, 3.6f); });
    // The hoof: a rounded pad, flat where it meets the ground.
    f.Paint(
        0, 0, w, h,
        [&](float x, float y) {
          return std::max(SdEllipse(x, y, cx, hoofY, 8, 6.5f), (y - (cy + s * reach)) * s);
        },
        [&](float x, float y, float) {
          const float sole01 = Smooth(2.0f, 4.5f, (y - hoofY) * s);
          return Mix(IronAt(x, y, 631) * Bulge(x, y, cx, hoofY - s * 2, 8, 7), Hex(0x3a3f4c), sole01 * 0.6f);
        });
  }
  // The hub, with the moon rune that glows where the leg meets the body.
  f.Paint(
      0, 0, w, h, [&](float x, float y) { return SdCircle(x, y, cx, cy, 8); },
      [&](float x, float y, float d) {
        const Rgb rim = Hex(0xc9d4ea) * Smooth(-1.5f, 0, d) * 0.4f;
        return IronAt(x, y, 632) * Bulge(x, y, cx, cy, 8, 8) + rim;
      });
  f.Glow(cx, cy, 6, Rgb{0.12f, 0.2f, 0.38f});
  f.Paint(
      0, 0, w, h,
      [&](float x, float y) {
        return std::max(SdCircle(x, y, cx, cy, 3.4f), -SdCircle(x, y, cx + 1.6f, cy - 0.8f, 2.8f));
      },
      [](float, float, float) { return Hex(0xdfe8f8); });
  return f.Reduce();
}

}  // namespace

void WritePlayerArt(DataSetWriter& out) {
  out.WritePicture("data/lg1.vx1", Leg(), true);
  const int side = kPlayerFrameSide;
  out.WritePicture("data/mz2.vx1", BodyStrip(BodyKind::Sword), true);
  out.WritePicture("data/mz2w.vx1", side * kAttackFrames, side, MarkerStrip(BodyKind::Sword));
  out.WritePicture("data/mz4.vx1", BodyStrip(BodyKind::Gun), true);
  out.WritePicture("data/mz4w.vx1", side * kAttackFrames, side, MarkerStrip(BodyKind::Gun));
  WriteWeaponArt(out);
  WriteItemArt(out);
}

}  // namespace datagen
