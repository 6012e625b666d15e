// Screenshots through each PNG encoder the build holds: the file decodes to
// the back buffer's colours (alpha dropped, rows taken at the pitch), the
// same pixels whichever encoder wrote it; and what cannot be written is
// refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "display/screenshot.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

namespace {

namespace fs = std::filesystem;

struct Picture {
  int32_t width = 0, height = 0, pitch = 0;
  std::vector<uint32_t> pixels;
};

// Every byte value in every channel somewhere, noise in the alpha byte and
// in the columns past the width, which must not show.
Picture TestPicture(int32_t width, int32_t height, int32_t pitch) {
  Picture p{width, height, pitch, std::vector<uint32_t>(static_cast<size_t>(pitch) * height)};
  uint32_t x = 0x12345678;
  for (size_t i = 0; i < p.pixels.size(); ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    p.pixels[i] = (i % 3 == 0) ? static_cast<uint32_t>(i * 0x010203u) ^ x : x;
  }
  return p;
}

// The decoded file as rows of red, green, blue; empty when it does not decode.
std::vector<uint8_t> Decode(const std::string& file, int& width, int& height) {
  int channels = 0;
  stbi_uc* rgb = stbi_load(file.c_str(), &width, &height, &channels, 3);
  if (rgb == nullptr) return {};
  std::vector<uint8_t> out(rgb, rgb + static_cast<size_t>(width) * height * 3);
  stbi_image_free(rgb);
  return out;
}

std::vector<uint8_t> Expected(const Picture& p) {
  std::vector<uint8_t> out;
  for (int32_t y = 0; y < p.height; ++y)
    for (int32_t x = 0; x < p.width; ++x) {
      const uint32_t c = p.pixels[static_cast<size_t>(y) * p.pitch + x];
      out.insert(out.end(),
                 {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
    }
  return out;
}

class ScreenshotEncoders : public ::testing::Test {
 protected:
  fs::path dir;
  void SetUp() override {
    dir = fs::path(::testing::TempDir()) /
          ("vxshot-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

TEST_F(ScreenshotEncoders, EveryEncoderWritesTheBackBuffersColoursAtItsPitch) {
  ASSERT_TRUE(PngEncoderBuiltIn(PngEncoder::Stb));
  // The back buffer's size, a wider pitch than width, and odd small sizes.
  for (const Picture& p : {TestPicture(800, 600, 800), TestPicture(97, 13, 131), TestPicture(1, 1, 1)}) {
    std::vector<std::vector<uint8_t>> decoded;
    for (PngEncoder e : {PngEncoder::Libpng, PngEncoder::Stb}) {
      if (!PngEncoderBuiltIn(e)) continue;
      const std::string file = (dir / (e == PngEncoder::Stb ? "stb.png" : "libpng.png")).string();
      ASSERT_TRUE(WritePngWith(e, file, p.pixels.data(), p.width, p.height, p.pitch)) << file;
      int w = 0, h = 0;
      decoded.push_back(Decode(file, w, h));
      EXPECT_EQ(w, p.width);
      EXPECT_EQ(h, p.height);
      EXPECT_TRUE(decoded.back() == Expected(p))
          << file << " holds other colours (" << p.width << " x " << p.height << ")";
    }
    if (decoded.size() == 2) {
      EXPECT_TRUE(decoded[0] == decoded[1]);
    }
  }
  // The chosen encoder is one of them and writes the same pixels.
  const Picture p = TestPicture(40, 30, 48);
  ASSERT_TRUE(WritePng((dir / "chosen.png").string(), p.pixels.data(), p.width, p.height, p.pitch));
  int w = 0, h = 0;
  EXPECT_TRUE(Decode((dir / "chosen.png").string(), w, h) == Expected(p));
}

TEST_F(ScreenshotEncoders, WhatCannotBeWrittenIsRefused) {
  const Picture p = TestPicture(8, 8, 8);
  const std::string file = (dir / "shot.png").string();
  for (PngEncoder e : {PngEncoder::Libpng, PngEncoder::Stb}) {
    if (!PngEncoderBuiltIn(e)) {
      EXPECT_FALSE(WritePngWith(e, file, p.pixels.data(), 8, 8, 8))
          << "an encoder that is not built in wrote";
      continue;
    }
    EXPECT_FALSE(WritePngWith(e, file, nullptr, 8, 8, 8));
    EXPECT_FALSE(WritePngWith(e, file, p.pixels.data(), 0, 8, 8));
    EXPECT_FALSE(WritePngWith(e, file, p.pixels.data(), 8, -1, 8));
    EXPECT_FALSE(WritePngWith(e, file, p.pixels.data(), 8, 8, 7));  // rows would overlap
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(WritePngWith(e, (dir / "no such folder" / "shot.png").string(), p.pixels.data(), 8, 8, 8));
    EXPECT_FALSE(WritePngWith(e, dir.string(), p.pixels.data(), 8, 8, 8));  // a folder stands there
  }
}

}  // namespace
