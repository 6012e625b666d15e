#include "datagen/contact_sheet.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "datagen/canvas.h"
#include "datagen/fonts.h"
#include "datagen/screen_preview.h"
#include "gfx/picture_file.h"

namespace datagen {
namespace {

constexpr int kSheetWidth = 2 * 800 + 3 * 12;
constexpr int kMargin = 12;
constexpr int kLabelHeight = 16;
constexpr int kMaxCellWidth = 700;
constexpr int kMaxCellHeight = 280;

struct Picture {
  std::string name;
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  int cellW = 0, cellH = 0, scale = 1;  // shown at 1/scale
};

Rgb ToRgb(uint32_t p) { return Hex(p & 0xffffff); }

bool WritePng(const std::string& file, int width, int height, const std::vector<uint32_t>& pixels) {
  std::vector<uint8_t> rgb(pixels.size() * 3);
  for (size_t i = 0; i < pixels.size(); ++i) {
    rgb[3 * i] = static_cast<uint8_t>(pixels[i] >> 16);
    rgb[3 * i + 1] = static_cast<uint8_t>(pixels[i] >> 8);
    rgb[3 * i + 2] = static_cast<uint8_t>(pixels[i]);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&image, file.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

}  // namespace

bool WriteContactSheet(const std::string& root, const std::vector<std::string>& names,
                       const std::string& pngFile, const std::string& screensPrefix) {
  // The palette of the texture strips is found relative to the folder.
  const std::filesystem::path previous = std::filesystem::current_path();
  std::error_code ec;
  std::filesystem::current_path(root, ec);
  std::vector<Picture> pictures;
  EngineLog quiet;
  for (const std::string& name : names) {
    Picture p;
    p.name = name;
    uint32_t* pixels = nullptr;
    int32_t w = 0, h = 0;
    if (!ec && vxReadPic(quiet, name.c_str(), pixels, w, h) == kPictureRead && pixels != nullptr) {
      p.width = w;
      p.height = h;
      p.pixels.assign(pixels, pixels + static_cast<size_t>(w) * h);
    }
    std::free(pixels);
    while (p.width / p.scale > kMaxCellWidth || p.height / p.scale > kMaxCellHeight) ++p.scale;
    // Glyph strips are long and low: shown whole, they fit at full size.
    if (p.height > 0 && p.height <= 24 && p.width <= kSheetWidth - 2 * kMargin) p.scale = 1;
    // The fog sequence is many large soft pictures: show it at half size.
    if (name.find("/fog/") != std::string::npos) p.scale = std::max(p.scale, 2);
    p.cellW = std::max(p.width / p.scale, 90);
    p.cellH = p.height / p.scale + kLabelHeight;
    pictures.push_back(std::move(p));
  }
  if (!ec) std::filesystem::current_path(previous, ec);

  // The composed screens first, two to a row, at full size.
  const std::vector<PreviewScreen> screens = ComposeScreens(root);
  bool ok = true;
  if (!screensPrefix.empty())
    for (size_t i = 0; i < screens.size(); ++i)
      ok = WritePng(screensPrefix + "-" + std::to_string(i + 1) + ".png", screens[i].width, screens[i].height,
                    screens[i].pixels) &&
           ok;
  for (const PreviewScreen& s : screens) {
    Picture p;
    p.name = s.title;
    p.width = s.width;
    p.height = s.height;
    p.pixels = s.pixels;
    p.cellW = s.width;
    p.cellH = s.height + kLabelHeight;
    pictures.insert(pictures.begin() + static_cast<long>(&s - screens.data()), std::move(p));
  }
  // Shelf layout, left to right in file order.
  int x = kMargin, y = kMargin, shelf = 0;
  std::vector<std::pair<int, int>> at;
  for (const Picture& p : pictures) {
    if (x + p.cellW + kMargin > kSheetWidth) {
      x = kMargin;
      y += shelf + kMargin;
      shelf = 0;
    }
    at.emplace_back(x, y);
    x += p.cellW + kMargin;
    shelf = std::max(shelf, p.cellH);
  }
  const int height = y + shelf + kMargin;
  Canvas sheet(kSheetWidth, height, Hex(0x1b1d22));
  FontFace label("DejaVuSans.ttf", 11);
  for (size_t i = 0; i < pictures.size(); ++i) {
    const Picture& p = pictures[i];
    const auto [px, py] = at[i];
    for (int j = 0; j < p.height / p.scale; ++j)
      for (int k = 0; k < p.width / p.scale; ++k)
        sheet.at(px + k, py + j) = ToRgb(p.pixels[static_cast<size_t>(j * p.scale) * p.width + k * p.scale]);
    std::string text = p.name.substr(p.name.find_last_of('/') + 1);
    if (p.width == 0) text += " (unreadable)";
    if (p.scale > 1) text += " 1:" + std::to_string(p.scale);
    label.DrawText(sheet, text, px, py + p.height / p.scale + 12, Hex(0xb8c0cc));
  }
  return WritePng(pngFile, kSheetWidth, height, sheet.ToPixels()) && ok;
}

}  // namespace datagen
