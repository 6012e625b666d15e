// The interface pictures: the message boxes, the title banner and loading
// panel, the key caps, the time bar, the hint arrows, the music credit and
// the moons.
#include <cmath>

#include "datagen/art_kit.h"
#include "datagen/data_set.h"
#include "datagen/fonts.h"
#include "datagen/noise.h"

namespace datagen {
namespace {

// The message boxes are 680 × 260: the text runs along the top, the
// character stands at the lower left and the key caps sit at (386, 121)
// and (386, 151) from the box's corner.
constexpr int kBoxWidth = 680;
constexpr int kBoxHeight = 260;

// A faint crescent cut into the panel, as a watermark.
void Watermark(Canvas& c, float cx, float cy, float r, Rgb tint) {
  c.Paint(
      static_cast<int>(cx - r - 2), static_cast<int>(cy - r - 2), static_cast<int>(cx + r + 2),
      static_cast<int>(cy + r + 2),
      [&](float x, float y) {
        return std::max(SdCircle(x, y, cx, cy, r), -SdCircle(x, y, cx + r * 0.38f, cy - r * 0.2f, r * 0.86f));
      },
      [&](float x, float y, float) { return c.at(static_cast<int>(x), static_cast<int>(y)) + tint; }, 1.5f);
}

Canvas MessageBox() {
  Canvas c(kBoxWidth, kBoxHeight);
  PanelStyle s;
  s.seed = 400;
  DrawPanel(c, s);
  Watermark(c, 600, 70, 40, Rgb{0.02f, 0.025f, 0.04f});
  return c;
}

Canvas TitleBox() {
  Canvas c(kBoxWidth, kBoxHeight);
  PanelStyle s;
  s.frame = Material::Stone;
  s.border = 18;
  s.inner = {0.03f, 0.035f, 0.05f};
  s.innerGlow = {0.07f, 0.085f, 0.12f};
  s.seed = 413;
  DrawPanel(c, s);
  // Moonlight falling in from the upper right.
  c.Glow(620, 30, 260, Rgb{0.05f, 0.06f, 0.09f}, 2.0f);
  Watermark(c, 585, 75, 46, Rgb{0.025f, 0.03f, 0.05f});
  return c;
}

Canvas BossBox() {
  Canvas c(kBoxWidth, kBoxHeight);
  PanelStyle s;
  s.frame = Material::EmberIron;
  s.inner = {0.045f, 0.02f, 0.02f};
  s.innerGlow = {0.11f, 0.04f, 0.025f};
  s.seed = 719;
  DrawPanel(c, s);
  // Embers glowing up from the bottom edge.
  for (int i = 0; i < 9; ++i) c.Glow(60.0f + i * 72.0f, 250, 70, Rgb{0.06f, 0.015f, 0.0f}, 2.0f);
  return c;
}

// The stone lintel under the title text.
Canvas TitleBanner() {
  const int w = 560, h = 44;
  Canvas c(w, h);
  Bevel bevel(w, h);
  auto shape = [&](float x, float y) {
    // Ends cut as points, like a carved plaque.
    const float cx = w / 2.0f, cy = h / 2.0f;
    const float box = SdBox(x, y, cx, cy, w / 2.0f - 22, h / 2.0f - 2, 3);
    const float tipL = SdPolygon(x, y, {2, cy, 30, 2, 30, h - 2.0f});
    const float tipR = SdPolygon(x, y, {w - 2.0f, cy, w - 30.0f, 2, w - 30.0f, h - 2.0f});
    return std::min(box, std::min(tipL, tipR));
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float d = shape(x + 0.5f, y + 0.5f);
      bevel.at(x, y) = Clamp01(-d / 6.0f) + 0.06f * static_cast<float>(Fbm(x / 7.0, y / 7.0, 3, 730));
    }
  c.Paint(0, 0, w - 1, h - 1, shape, [&](float x, float y, float) {
    const int ix = static_cast<int>(x), iy = static_cast<int>(y);
    Rgb col = MaterialColour(Material::Stone, x, y, 730) * 0.55f * bevel.Light(ix, iy, 5.0f);
    // A darker recessed field where the title is written.
    if (SdBox(x, y, w / 2.0f, h / 2.0f, w / 2.0f - 40, h / 2.0f - 8, 2) < 0) col = col * 0.45f;
    return col;
  });
  return c;
}

// The panel behind the loading text and bar, with a moon over towers.
Canvas LoadingPanel() {
  const int w = 300, h = 112;
  Canvas c(w, h);
  PanelStyle s;
  s.border = 8;
  s.rivets = false;
  s.seed = 731;
  DrawPanel(c, s);
  // Night sky behind the emblem.
  c.Paint(
      222, 14, 288, 98, [](float x, float y) { return SdBox(x, y, 255, 56, 31, 40, 4); },
      [](float, float y, float) { return Mix(Hex(0x1a2436), Hex(0x06080d), (y - 14) / 84.0f); });
  DrawMoon(c, 262, 38, 13, 7, true, 0.8f);
  // Towers in silhouette.
  auto towers = [](float x, float y) {
    float d = SdBox(x, y, 238, 84, 7, 16);
    d = std::min(d, SdPolygon(x, y, {229, 68, 238, 54, 247, 68}));
    d = std::min(d, SdBox(x, y, 266, 88, 12, 12));
    d = std::min(d, SdPolygon(x, y, {252, 76, 266, 62, 280, 76}));
    return std::max(d, SdBox(x, y, 255, 56, 31, 40, 4));
  };
  c.Fill(222, 14, 288, 98, towers, Hex(0x020305));
  c.Paint(
      230, 78, 236, 84, [](float x, float y) { return SdBox(x, y, 234, 81, 1.5f, 2.5f); },
      [](float, float, float) { return Hex(0xd9a24a); });
  c.Glow(234, 81, 7, Rgb{0.25f, 0.15f, 0.03f});
  return c;
}

// A key cap: `top` rows of black above it, the label strip at `labelY`.
Canvas KeyCap(int w, int h, int top, int labelY, bool returnArrow) {
  Canvas c(w, h);
  const float x0 = 2, x1 = w - 3.0f, y0 = static_cast<float>(top), y1 = h - 3.0f;
  const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, hw = (x1 - x0) / 2, hh = (y1 - y0) / 2;
  Bevel bevel(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float d = SdBox(x + 0.5f, y + 0.5f, cx, cy, hw, hh, 7);
      bevel.at(x, y) = Clamp01(-d / 5.0f);
    }
  c.Paint(
      0, 0, w - 1, h - 1, [&](float x, float y) { return SdBox(x, y, cx, cy, hw, hh, 7); },
      [&](float x, float y, float) {
        const Rgb base = MaterialColour(Material::Iron, x, y, 408) * 0.75f;
        Rgb col = base * bevel.Light(static_cast<int>(x), static_cast<int>(y), 3.0f);
        // The worn top face is a little lighter towards its centre.
        col = col + Hex(0x0b0e14) * Smooth(hw, 0, std::fabs(x - cx));
        return col;
      });
  // A dark field behind the label.
  c.Paint(
      0, 0, w - 1, h - 1, [&](float x, float y) { return SdBox(x, y, cx, labelY + 6.0f, hw - 7, 8, 3); },
      [&](float x, float y, float) { return c.at(static_cast<int>(x), static_cast<int>(y)) * 0.45f; });
  if (returnArrow) {
    const Rgb glow = Hex(0x9fc0ff);
    const float ay = top + 16.0f;
    auto arrow = [&](float x, float y) {
      float d = SdSegment(x, y, cx + 16, ay - 8, cx + 16, ay + 4, 1.6f);
      d = std::min(d, SdSegment(x, y, cx + 16, ay + 4, cx - 12, ay + 4, 1.6f));
      d = std::min(d, SdPolygon(x, y, {cx - 20, ay + 4, cx - 10, ay - 3, cx - 10, ay + 11}));
      return d;
    };
    c.Glow(cx, ay + 2, 26, Rgb{0.05f, 0.08f, 0.16f});
    c.Fill(0, 0, w - 1, h - 1, arrow, glow);
  }
  return c;
}

// One segment of the time bar: a glowing blue crystal.
Canvas BarSegment() {
  const int w = 20, h = 14;
  Canvas c(w, h);
  c.Paint(
      0, 0, w - 1, h - 1,
      [](float x, float y) {
        return SdPolygon(x, y, {1, 7, 5, 1, 15, 1, 19, 7, 15, 13, 5, 13});
      },
      [](float x, float y, float) {
        const float facet = y < 7 ? 1.0f : 0.7f;
        const float core = 1 - std::fabs(x - 10) / 10;
        return Mix(Hex(0x0a3a8c), Hex(0x8fd8ff), core * facet * (1.1f - std::fabs(y - 5) / 9));
      });
  return c;
}

// The bar's frame: an iron plate with an engraved field for the text and a
// slot for ten segments 22 pixels apart.
Canvas BarFrame() {
  const int w = 230, h = 48;
  Canvas c(w, h);
  PanelStyle s;
  s.border = 5;
  s.rivets = false;
  s.seed = 6;
  DrawPanel(c, s);
  c.Paint(
      0, 0, w - 1, h - 1, [](float x, float y) { return SdBox(x, y, 115, 35, 111, 9, 2); },
      [](float, float y, float) { return Mix(Hex(0x05070c), Hex(0x0d1422), (y - 26) / 18); });
  return c;
}

// The blinking hint arrow, pointing right; the others are turned copies.
Canvas HintArrow() {
  const int s = 48;
  Canvas c(s, s);
  c.Glow(24, 24, 24, Rgb{0.05f, 0.09f, 0.16f}, 1.6f);
  auto shape = [](float x, float y) {
    return std::min(SdBox(x, y, 17, 24, 11, 5, 2), SdPolygon(x, y, {24, 10, 44, 24, 24, 38}));
  };
  c.Paint(0, 0, s - 1, s - 1, shape, [&](float x, float y, float d) {
    const float edge = Smooth(-4, 0, d);
    return Mix(Mix(Hex(0xdfeaff), Hex(0x7fa6e8), (y - 10) / 28), Hex(0x3a5a9a), edge) *
           (0.9f + 0.2f * (x / s));
  });
  return c;
}

Canvas Turned(const Canvas& src, int quarterTurns) {
  Canvas c(src.width(), src.height());
  const int n = src.width();
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      int sx = x, sy = y;
      for (int t = 0; t < quarterTurns; ++t) {
        const int tx = sy, ty = n - 1 - sx;
        sx = tx;
        sy = ty;
      }
      c.at(x, y) = src.at(sx, sy);
    }
  return c;
}

Canvas MusicCredit() {
  FontFace face("DejaVuSerifCondensed-Bold.ttf", 15);
  const std::string text = "MUSIC PLAYED BY THE ENGINE'S OWN SYNTHESISER";
  const int tw = face.TextWidth(text, 0.6);
  const int w = tw + 64, h = 34;
  Canvas c(w, h);
  const int x = 46;
  // Two eighth notes before the text.
  for (float nx : {static_cast<float>(x - 30), static_cast<float>(x - 18)}) {
    c.Fill(
        0, 0, w - 1, h - 1, [&](float px, float py) { return SdEllipse(px, py, nx, 24, 4.2f, 3.2f); },
        Hex(0xc9d6ee));
    c.Fill(
        0, 0, w - 1, h - 1,
        [&](float px, float py) { return SdSegment(px, py, nx + 3.4f, 23, nx + 3.4f, 8, 0.8f); },
        Hex(0xc9d6ee));
  }
  c.Fill(
      0, 0, w - 1, h - 1,
      [&](float px, float py) { return SdSegment(px, py, x - 26.6f, 8, x - 14.6f, 8, 1.4f); }, Hex(0xc9d6ee));
  face.DrawText(c, text, x, 23, Hex(0xdfe6f5), 0.6);
  return c;
}

Canvas MoonPicture(int index) {
  switch (index) {
    case 1: {
      Canvas c(160, 160);
      DrawMoon(c, 80, 80, 40, 381, true, 1.0f);
      return c;
    }
    case 2: {
      // The moon's reflection on dark water: broken bright streaks.
      Canvas c(200, 64);
      for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 200; ++x) {
          const float wave = static_cast<float>(ValueNoise(x / 14.0, y * 1.3, 382));
          const float across = 1 - std::fabs(x - 100.0f) / (40.0f + y * 0.9f);
          const float v = Clamp01(across) * Smooth(0.45f, 0.8f, wave) * (1 - y / 80.0f);
          c.at(x, y) = Hex(0xbcd0f0) * v;
        }
      return c;
    }
    case 3: {
      Canvas c(96, 96);
      DrawMoon(c, 48, 48, 20, 383, false, 1.2f);
      return c;
    }
    default: {
      Canvas c(128, 128);
      DrawMoon(c, 64, 64, 34, 384, false, 0.9f);
      // The dark side hides most of the disc: a crescent.
      c.Paint(
          0, 0, 127, 127, [](float x, float y) { return SdCircle(x, y, 80, 56, 33); },
          [](float, float, float) {
            return Rgb{0.008f, 0.01f, 0.016f};
          },
          2.0f);
      return c;
    }
  }
}

}  // namespace

void WriteInterfaceArt(DataSetWriter& out) {
  out.WritePicture("data/mback2.vx1", MessageBox());
  out.WritePicture("data/dback1.vx1", TitleBox());
  out.WritePicture("data/hback1.vx1", BossBox());
  out.WritePicture("data/dback2.vx1", TitleBanner());
  out.WritePicture("data/dback3.vx1", LoadingPanel());
  out.WritePicture("data/enter.vx1", KeyCap(80, 90, 16, 59, true), true);
  out.WritePicture("data/space.vx1", KeyCap(80, 42, 6, 24, false), true);
  out.WritePicture("data/tind2.vx1", BarSegment(), true);
  out.WritePicture("data/tindw.vx1", BarFrame());
  const Canvas arrow = HintArrow();
  out.WritePicture("data/arr_l.vx1", Turned(arrow, 2), true);
  out.WritePicture("data/arr_r.vx1", arrow, true);
  out.WritePicture("data/arr_u.vx1", Turned(arrow, 3), true);
  out.WritePicture("data/arr_d.vx1", Turned(arrow, 1), true);
  out.WritePicture("data/mus.vx1", MusicCredit(), true);
  for (int i = 1; i <= 4; ++i)
    out.WritePicture("data/moonrp" + std::to_string(i) + ".vx1", MoonPicture(i), true);
}

}  // namespace datagen
