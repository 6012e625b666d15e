#pragma once
// What the vxpic tests share: a scratch folder to work in, PNG files written
// with libpng's row interface (any depth, colour type and interlacing, so
// that refused kinds can be made too), and the program run in-process.
#include <gtest/gtest.h>
#include <png.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "config/log.h"
#include "gfx/picture_file.h"
#include "vxpic/commands.h"
#include "vxpic/picture.h"

namespace vxpic_test {

namespace fs = std::filesystem;

struct RawPng {
  int32_t width = 1, height = 1;
  int bitDepth = 8;
  int colourType = PNG_COLOR_TYPE_RGB;
  bool interlaced = false;
  std::vector<std::vector<uint8_t>> rows;  // packed as the PNG stores them
  std::vector<png_color> palette;
  std::vector<uint8_t> transparency;  // tRNS of a palette image
};

// The libpng calls, in a frame of their own that a failure jumps back to.
inline bool WriteRawRows(png_structp png, png_infop info, std::FILE* f, const RawPng& p, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_init_io(png, f);
  png_set_IHDR(png, info, static_cast<png_uint_32>(p.width), static_cast<png_uint_32>(p.height), p.bitDepth,
               p.colourType, p.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!p.palette.empty())
    png_set_PLTE(png, info, const_cast<png_colorp>(p.palette.data()), static_cast<int>(p.palette.size()));
  if (!p.transparency.empty())
    png_set_tRNS(png, info, const_cast<png_bytep>(p.transparency.data()),
                 static_cast<int>(p.transparency.size()), nullptr);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

inline bool WriteRawPng(const fs::path& path, const RawPng& p) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> rows;
  for (const auto& r : p.rows) rows.push_back(const_cast<png_bytep>(r.data()));
  const bool ok = WriteRawRows(png, info, f, p, rows.data());
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0 && ok;
}

// An 8-bit RGB or RGBA PNG of a picture (0xAARRGGBB, top row first).
inline bool WritePicturePng(const fs::path& path, const vxpic::Picture& pic, bool withAlpha) {
  RawPng p;
  p.width = pic.width;
  p.height = pic.height;
  p.colourType = withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB;
  for (int32_t y = 0; y < pic.height; ++y) {
    std::vector<uint8_t> row;
    for (int32_t x = 0; x < pic.width; ++x) {
      const uint32_t v = pic.At(x, y);
      row.push_back(static_cast<uint8_t>(v >> 16));
      row.push_back(static_cast<uint8_t>(v >> 8));
      row.push_back(static_cast<uint8_t>(v));
      if (withAlpha) row.push_back(static_cast<uint8_t>(v >> 24));
    }
    p.rows.push_back(row);
  }
  return WriteRawPng(path, p);
}

// A picture whose every pixel differs from its neighbours in all three
// channels, so that a swapped channel, row or column shows.
inline vxpic::Picture Pattern(int32_t w, int32_t h, uint32_t alpha = 0xff) {
  vxpic::Picture p;
  p.width = w;
  p.height = h;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t r = static_cast<uint32_t>(x * 37 + y * 11 + 5) & 0xffu;
      const uint32_t g = static_cast<uint32_t>(x * 13 + y * 71 + 90) & 0xffu;
      const uint32_t b = static_cast<uint32_t>(x * 101 + y * 7 + 200) & 0xffu;
      p.pixels.push_back((alpha << 24) | (r << 16) | (g << 8) | b);
    }
  return p;
}

// 256 distinct colours of 6-bit channels (what a palette can give): entry i
// is red i / 4, green 63 - i / 4, blue (i * 7) mod 64, each times 4.
inline const PaletteValues& TestPalette() {
  static const PaletteValues palette = [] {
    uint32_t colours[256];
    for (uint32_t i = 0; i < 256; ++i)
      colours[i] = ((i / 4 * 4) << 16) | (((63 - i / 4) * 4) << 8) | ((i * 7 % 64) * 4);
    return MakePalette(colours);
  }();
  return palette;
}

// A picture as the game reads it (strips take "data/pal_c.000" of the
// working folder); an empty picture when the game reads none.
inline vxpic::Picture GameRead(const std::string& name) {
  EngineLog quiet;
  uint32_t* pixels = nullptr;
  vxpic::Picture p;
  if (vxReadPic(quiet, name.c_str(), pixels, p.width, p.height) == kPictureRead && pixels != nullptr)
    p.pixels.assign(pixels, pixels + static_cast<size_t>(p.width) * static_cast<size_t>(p.height));
  std::free(pixels);
  return p;
}

// The outcome of one run of the program.
struct RunResult {
  int code = -1;
  std::string out, err;
};

inline RunResult RunVxpic(const std::vector<std::string>& args) {
  std::vector<const char*> argv{"vxpic"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  RunResult r;
  r.code = vxpic::Run(static_cast<int>(argv.size()), argv.data(), out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

inline std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Each test works in a scratch folder of its own, entered as the working
// folder (relative names, as a user types them) and removed afterwards.
class VxpicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vxpic-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    previous_ = fs::current_path();
    fs::current_path(folder_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::current_path(previous_, ec);
    fs::remove_all(folder_, ec);
  }

  fs::path folder_;

 private:
  fs::path previous_;
};

}  // namespace vxpic_test
