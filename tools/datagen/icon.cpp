#include "datagen/icon.h"

#include <png.h>

#include <cmath>
#include <vector>

#include "datagen/art_kit.h"
#include "datagen/canvas.h"

namespace datagen {

bool WriteIcon(const std::string& pngFile, int size) {
  if (size < 16) return false;
  const float s = static_cast<float>(size) / 256.0f;  // drawn at 256, scaled
  Canvas c(size, size);
  // Night sky, lighter towards the horizon.
  c.Shade(
      [&](float, float y, Rgb) { return Mix(Hex(0x0a1228), Hex(0x27406e), y / static_cast<float>(size)); });
  DrawMoon(c, 168 * s, 82 * s, 46 * s, 7, false, 1.4f);
  // A hill the figure stands on.
  c.Fill(
      0, static_cast<int>(180 * s), size - 1, size - 1,
      [&](float x, float y) { return SdEllipse(x, y, 110 * s, 262 * s, 190 * s, 78 * s); }, Hex(0x070a12));

  const Rgb body = Hex(0x0b0d14);
  const Rgb rim = Hex(0x7f9cc8);
  const auto silhouette = [&](float x, float y) {
    float d = SdEllipse(x, y, 104 * s, 128 * s, 22 * s, 34 * s);                  // body
    d = std::min(d, SdCircle(x, y, 104 * s, 82 * s, 15 * s));                     // head
    d = std::min(d, SdSegment(x, y, 104 * s, 156 * s, 98 * s, 196 * s, 8 * s));   // the one leg
    d = std::min(d, SdEllipse(x, y, 92 * s, 199 * s, 14 * s, 6 * s));             // foot
    d = std::min(d, SdSegment(x, y, 118 * s, 112 * s, 140 * s, 124 * s, 6 * s));  // arm
    return d;
  };
  // A cold rim of moonlight on the side that faces the moon, then the body.
  c.Fill(
      0, 0, size - 1, size - 1, [&](float x, float y) { return silhouette(x - 2.5f * s, y + 1.5f * s); },
      rim);
  c.Fill(0, 0, size - 1, size - 1, silhouette, body);
  // The blade, raised, with its glint.
  const float hx = 140 * s, hy = 124 * s, tx = 206 * s, ty = 30 * s;
  c.Glow(0.5f * (hx + tx), 0.5f * (hy + ty), 70 * s, Hex(0x3a5a90), 2.0f);
  c.Fill(
      0, 0, size - 1, size - 1, [&](float x, float y) { return SdSegment(x, y, hx, hy, tx, ty, 4.5f * s); },
      Hex(0xdfe9ff));
  c.Fill(
      0, 0, size - 1, size - 1,
      [&](float x, float y) { return SdSegment(x, y, 130 * s, 114 * s, 150 * s, 134 * s, 4 * s); },
      Hex(0x8a6a3a));
  c.Glow(tx, ty, 18 * s, Hex(0xffffff), 3.0f);

  const std::vector<uint32_t> rgb = c.ToPixels();
  std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4);
  const float radius = 44 * s;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const size_t i = static_cast<size_t>(y) * size + x;
      const float half = static_cast<float>(size) / 2;
      const float d = SdBox(x + 0.5f, y + 0.5f, half, half, half - 2 * s, half - 2 * s, radius);
      const float alpha = Clamp01(0.5f - d);
      rgba[4 * i] = static_cast<uint8_t>(rgb[i] >> 16);
      rgba[4 * i + 1] = static_cast<uint8_t>(rgb[i] >> 8);
      rgba[4 * i + 2] = static_cast<uint8_t>(rgb[i]);
      rgba[4 * i + 3] = static_cast<uint8_t>(std::lround(alpha * 255));
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(size);
  image.height = static_cast<png_uint_32>(size);
  image.format = PNG_FORMAT_RGBA;
  return png_image_write_to_file(&image, pngFile.c_str(), 0, rgba.data(), 0, nullptr) != 0;
}

}  // namespace datagen
