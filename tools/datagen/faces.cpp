// The three characters of the message boxes, each a set of frames that the
// menus pick at random: the Warden (the guide, resting on frame 0), the
// horned one of the title (resting on frame 2) and the stone warden of the
// deep (resting on frame 3). All lit by the moon from the upper left.
#include <cmath>

#include "datagen/canvas.h"
#include "datagen/data_set.h"
#include "datagen/noise.h"
#include "maths/repro_math.h"

namespace datagen {
namespace {

// Lambert light with the moon at the upper left for a surface whose normal
// is (nx, ny, nz), plus a rim of cold light.
float MoonLight(float nx, float ny, float nz) {
  const float lambert = std::max(0.0f, -0.5f * nx - 0.55f * ny + 0.67f * nz);
  const float rim = rmath::Pow(std::max(0.0f, 1 - nz), 3.0f) * std::max(0.0f, -nx) * 0.9f;
  return 0.12f + 0.95f * lambert + rim;
}

// Shading of an ellipsoid bulge at (x, y) centred on (cx, cy).
float Bulge(float x, float y, float cx, float cy, float rx, float ry) {
  const float dx = (x - cx) / rx, dy = (y - cy) / ry;
  const float z = std::sqrt(std::max(0.0f, 1 - dx * dx - dy * dy));
  return MoonLight(dx, dy, z);
}

struct Expression {
  float mouthOpen = 0;   // 0 closed .. 1 wide
  float eyesOpen = 1;    // 0 closed .. 1 open
  float brow = 0;        // raised
  float glow = 1;        // eye light
};

// --- The Warden ---------------------------------------------------------

Canvas Warden(const Expression& e) {
  Canvas c(150, 150);
  const float cx = 75;
  // Cloak and shoulders.
  auto cloak = [&](float x, float y) {
    const float hood = SdEllipse(x, y, cx, 66, 47, 56);
    const float shoulders = SdBox(x, y, cx, 138, 70, 26, 20);
    return std::min(hood, shoulders);
  };
  c.Paint(0, 0, 149, 149, cloak, [&](float x, float y, float d) {
    const float folds = static_cast<float>(Fbm(x / 9.0, y / 26.0, 4, 401));
    const float l = Bulge(x, y, cx, 78, 72, 80);
    Rgb col = Mix(Hex(0x1c2433), Hex(0x3a4a66), folds) * l;
    // Moonlit rim on the left edge of the hood.
    col = col + Hex(0x6d86b3) * (Smooth(-5, 0, d) * Smooth(cx, 20, x) * 0.7f);
    return col;
  });
  // The dark opening of the hood.
  c.Fill(0, 0, 149, 149, [&](float x, float y) { return SdEllipse(x, y, cx, 74, 31, 40); }, Hex(0x05070b), 3.0f);
  // Face.
  const float fy = 78;
  c.Paint(0, 0, 149, 149, [&](float x, float y) { return SdEllipse(x, y, cx, fy, 23, 30); },
          [&](float x, float y, float) {
            const float l = Bulge(x, y, cx - 2, fy - 4, 25, 32);
            const float hoodShadow = Smooth(fy - 30, fy - 8, y);
            return Hex(0xb9c2d0) * (l * (0.35f + 0.65f * hoodShadow));
          });
  // Beard, over the chin.
  c.Paint(0, 0, 149, 149,
          [&](float x, float y) { return SdPolygon(x, y, {cx - 21, fy + 2, cx + 21, fy + 2, cx + 12, fy + 40, cx, fy + 52, cx - 12, fy + 40}); },
          [&](float x, float y, float) {
            const float strands = static_cast<float>(ValueNoise(x / 1.6, y / 14.0, 402));
            return Hex(0x8c95a6) * (0.55f + 0.45f * strands) * Bulge(x, y, cx - 3, fy + 16, 26, 34);
          });
  // Moustache and the mouth in it.
  c.Fill(0, 0, 149, 149, [&](float x, float y) { return SdEllipse(x, y, cx, fy + 9, 13, 4); }, Hex(0x7b8496));
  const float mouthH = 1 + 6 * e.mouthOpen;
  c.Fill(0, 0, 149, 149, [&](float x, float y) { return SdEllipse(x, y, cx, fy + 14 + mouthH / 2, 7, mouthH / 2 + 0.6f); },
         Hex(0x0b0a0e));
  // Eyes: pale light in deep sockets.
  for (float s : {-1.0f, 1.0f}) {
    const float ex = cx + s * 10, ey = fy - 6;
    c.Fill(0, 0, 149, 149, [&](float x, float y) { return SdEllipse(x, y, ex, ey, 6.5f, 4.5f); }, Hex(0x14161d));
    if (e.eyesOpen > 0.2f) {
      c.Glow(ex, ey, 7, Rgb{0.25f, 0.38f, 0.6f} * e.glow);
      c.Fill(0, 0, 149, 149, [&](float x, float y) { return SdEllipse(x, y, ex, ey, 3.2f, 2.4f * e.eyesOpen); },
             Hex(0xd8e6ff));
    } else {
      c.Fill(0, 0, 149, 149, [&](float x, float y) { return SdSegment(x, y, ex - 5, ey, ex + 5, ey + 1, 0.8f); },
             Hex(0x6a7284));
    }
    // Brow.
    const float by = ey - 7 - 3 * e.brow;
    c.Fill(0, 0, 149, 149, [&](float x, float y) { return SdSegment(x, y, ex - 7, by + s * 1.5f, ex + 7, by - s * 1.5f, 1.6f); },
           Hex(0x9aa3b4));
  }
  // A pendant of moon silver on the cloak.
  c.Glow(cx, 128, 12, Rgb{0.1f, 0.13f, 0.2f});
  c.Fill(0, 0, 149, 149, [&](float x, float y) {
    return std::max(SdCircle(x, y, cx, 128, 6), -SdCircle(x, y, cx + 3, 126, 5));
  }, Hex(0xdfe8f8));
  return c;
}

// --- The horned one -----------------------------------------------------

Canvas Horned(const Expression& e) {
  Canvas c(160, 150);
  const float cx = 80, cy = 86;
  // Horns: curved tapering strokes.
  for (float s : {-1.0f, 1.0f}) {
    float px = cx + s * 24, py = cy - 30, r = 9;
    for (int i = 0; i < 26; ++i) {
      const float t = i / 25.0f;
      const float nx = cx + s * (24 + 40 * rmath::Sin(t * 1.9f)),
                  ny = cy - 30 - 52 * rmath::Sin(t * 1.4f) + 22 * t * t;
      const float nr = 9 * (1 - t) + 1;
      c.Paint(
          0, 0, 159, 149, [&](float x, float y) { return SdSegment(x, y, px, py, nx, ny, (r + nr) / 2); },
          [&](float x, float y, float) {
            const float ring = 0.75f + 0.25f * rmath::Sin((x + y) * 0.9f);
            return Mix(Hex(0x3b3129), Hex(0xb7a58a), t) * ring * Bulge(x, y, nx - s * 3, ny - 3, 12, 12);
          });
      px = nx;
      py = ny;
      r = nr;
    }
  }
  // Head.
  auto head = [&](float x, float y) {
    const float skull = SdEllipse(x, y, cx, cy - 6, 38, 40);
    const float jaw = SdPolygon(x, y, {cx - 32, cy + 4, cx + 32, cy + 4, cx + 18, cy + 46, cx, cy + 54, cx - 18, cy + 46});
    return std::min(skull, jaw) - 1;
  };
  c.Paint(0, 0, 159, 149, head, [&](float x, float y, float) {
    const float skin = static_cast<float>(Fbm(x / 7.0, y / 7.0, 4, 390));
    const float ridges = static_cast<float>(Ridged(x / 18.0, y / 12.0, 3, 391));
    Rgb col = Mix(Hex(0x3a1416), Hex(0x7a2c24), skin) * (0.8f + 0.35f * ridges);
    return col * Bulge(x, y, cx - 4, cy, 42, 56);
  });
  // Shoulders in the dark below.
  c.Paint(0, 0, 159, 149, [&](float x, float y) { return SdEllipse(x, y, cx, 160, 78, 30); },
          [&](float x, float y, float) { return Hex(0x2a1514) * Bulge(x, y, cx - 10, 150, 80, 40); });
  // Brow ridge shadow, eyes.
  for (float s : {-1.0f, 1.0f}) {
    const float ex = cx + s * 15, ey = cy - 10;
    c.Fill(0, 0, 159, 149, [&](float x, float y) { return SdEllipse(x, y, ex, ey, 11, 7); }, Hex(0x120607));
    const float open = e.eyesOpen;
    c.Glow(ex, ey, 16 * e.glow, Rgb{0.5f, 0.18f, 0.02f} * e.glow);
    c.Fill(0, 0, 159, 149,
           [&](float x, float y) { return SdEllipse(x, y, ex + s * 1, ey + 1, 6, 3.5f * open + 0.3f); },
           Mix(Hex(0xffb347), Hex(0xfff2c0), e.glow - 0.6f));
    c.Fill(0, 0, 159, 149,
           [&](float x, float y) { return SdSegment(x, y, ex - 12 * s, ey - 10 + 2 * e.brow, ex + 9 * s, ey - 5, 2.4f); },
           Hex(0x2a0e0e));
  }
  // Mouth with fangs.
  const float mh = 2 + 14 * e.mouthOpen;
  const float my = cy + 28;
  c.Fill(0, 0, 159, 149, [&](float x, float y) { return SdEllipse(x, y, cx, my + mh / 2, 17, mh / 2 + 1); },
         Hex(0x0d0304));
  if (e.mouthOpen > 0.3f) c.Glow(cx, my + mh / 2, 14, Rgb{0.25f, 0.06f, 0.0f});
  for (float s : {-1.0f, 1.0f}) {
    const float tx = cx + s * 10;
    c.Fill(0, 0, 159, 149, [&](float x, float y) { return SdPolygon(x, y, {tx - 3, my - 1, tx + 3, my - 1, tx, my + 7 + 3 * e.mouthOpen}); },
           Hex(0xe6dcc4));
  }
  return c;
}

// --- The stone warden of the deep ---------------------------------------

Canvas StoneWarden(const Expression& e) {
  Canvas c(140, 216);
  const float cx = 66, cy = 150;
  // A head of stacked slabs.
  const std::vector<std::vector<float>> slabs = {
      {18, 118, 60, 92, 112, 104, 124, 150, 104, 168, 30, 164},
      {10, 160, 64, 150, 126, 158, 132, 206, 70, 214, 8, 204},
      {40, 96, 74, 78, 104, 90, 100, 108, 52, 110},
  };
  uint32_t seed = 720;
  for (const auto& slab : slabs) {
    c.Paint(0, 0, 139, 215, [&](float x, float y) { return SdPolygon(x, y, slab) - 1; },
            [&](float x, float y, float d) {
              const float n = static_cast<float>(Fbm(x / 10.0, y / 10.0, 4, seed));
              const float edge = Smooth(-6, 0, d);
              Rgb col = Mix(Hex(0x2d2a2a), Hex(0x6a625a), n);
              return col * (1.1f - 0.5f * edge) * Bulge(x, y, cx - 10, cy - 10, 90, 90);
            });
    ++seed;
  }
  // Glowing cracks.
  for (int y = 80; y < 216; ++y)
    for (int x = 0; x < 140; ++x) {
      const Rgb& p = c.at(x, y);
      if (p.r + p.g + p.b < 0.02f) continue;
      const float crack = static_cast<float>(Ridged(x / 22.0, y / 22.0, 3, 725));
      if (crack > 0.9f) c.at(x, y) = p + Hex(0xff6a1a) * (Smooth(0.9f, 0.97f, crack) * 0.8f * e.glow);
    }
  // The one eye.
  const float ex = cx + 4, ey = cy - 12;
  c.Fill(0, 0, 139, 215, [&](float x, float y) { return SdEllipse(x, y, ex, ey, 20, 12); }, Hex(0x0c0807));
  c.Glow(ex, ey, 26 * e.glow, Rgb{0.6f, 0.22f, 0.02f} * e.glow);
  c.Fill(0, 0, 139, 215, [&](float x, float y) { return SdEllipse(x, y, ex, ey, 13, 8 * e.eyesOpen + 0.5f); },
         Hex(0xffa53a));
  c.Fill(0, 0, 139, 215, [&](float x, float y) { return SdEllipse(x, y, ex + 2, ey, 4, 5 * e.eyesOpen + 0.3f); },
         Hex(0xfff4d6));
  // The mouth: a split in the lower slab.
  const float mh = 2 + 10 * e.mouthOpen;
  c.Fill(0, 0, 139, 215, [&](float x, float y) { return SdBox(x, y, cx + 2, cy + 30 + mh / 2, 30, mh / 2, 2); },
         Hex(0x0a0605));
  if (e.mouthOpen > 0.3f) c.Glow(cx + 2, cy + 30 + mh / 2, 24, Rgb{0.35f, 0.1f, 0.0f});
  return c;
}

}  // namespace

void WriteFaces(DataSetWriter& out) {
  // The Warden: frame 0 at rest, 1 and 2 speaking, 3 a blink, 4 emphatic.
  const Expression warden[5] = {{0, 1, 0, 1}, {0.45f, 1, 0.3f, 1}, {1, 1, 0.5f, 1.1f}, {0, 0, 0, 0.6f},
                                {0.7f, 1, 1, 1.3f}};
  for (int i = 0; i < 5; ++i) out.WritePicture("data/ment" + std::to_string(i) + ".vx1", Warden(warden[i]), true);
  // The horned one: frame 2 at rest.
  const Expression horned[4] = {{0.25f, 1, 0.3f, 1}, {1, 1, 1, 1.2f}, {0, 0.55f, 0, 0.8f}, {0.5f, 1, 0.6f, 1.4f}};
  for (int i = 0; i < 4; ++i) out.WritePicture("data/dem" + std::to_string(i + 1) + ".vx1", Horned(horned[i]), true);
  // The stone warden: frame 3 at rest.
  const Expression stone[4] = {{0.3f, 1, 0, 1.1f}, {0.1f, 0.45f, 0, 0.9f}, {1, 1, 0, 1.4f}, {0, 0.8f, 0, 0.8f}};
  for (int i = 0; i < 4; ++i)
    out.WritePicture("data/sboss" + std::to_string(i + 1) + ".vx1", StoneWarden(stone[i]), true);
}

}  // namespace datagen
