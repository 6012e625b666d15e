#include "display/screenshot.h"

#if defined(VX_PNG_LIBPNG)
#include <png.h>
#endif

#include <cstdio>
#include <vector>

// The encoder writes into memory; the file is written here, so that a
// path is opened the same way by both encoders.
#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

// The pixels as rows of red, green, blue bytes without gaps.
std::vector<uint8_t> RgbRows(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitchPixels) {
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  for (int32_t y = 0; y < height; ++y) {
    const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(pitchPixels);
    uint8_t* out = rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 3;
    for (int32_t x = 0; x < width; ++x) {
      out[3 * x] = static_cast<uint8_t>(row[x] >> 16);
      out[3 * x + 1] = static_cast<uint8_t>(row[x] >> 8);
      out[3 * x + 2] = static_cast<uint8_t>(row[x]);
    }
  }
  return rgb;
}

#if defined(VX_PNG_LIBPNG)
bool WriteWithLibpng(std::FILE* f, const std::vector<uint8_t>& rgb, int32_t width, int32_t height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  return png_image_write_to_stdio(&image, f, 0, rgb.data(), 0, nullptr) != 0;
}
#endif

struct StbSink {
  std::FILE* file;
  bool ok;
};

void StbWrite(void* context, void* data, int size) {
  StbSink& sink = *static_cast<StbSink*>(context);
  if (size > 0 && std::fwrite(data, 1, static_cast<size_t>(size), sink.file) != static_cast<size_t>(size))
    sink.ok = false;
}

bool WriteWithStb(std::FILE* f, const std::vector<uint8_t>& rgb, int32_t width, int32_t height) {
  StbSink sink{f, true};
  const int done = stbi_write_png_to_func(&StbWrite, &sink, width, height, 3, rgb.data(), width * 3);
  return done != 0 && sink.ok;
}

}  // namespace

bool PngEncoderBuiltIn(PngEncoder encoder) {
#if defined(VX_PNG_LIBPNG)
  constexpr bool haveLibpng = true;
#else
  constexpr bool haveLibpng = false;
#endif
  return encoder == PngEncoder::Stb || haveLibpng;
}

bool WritePngWith(PngEncoder encoder, const std::string& path, const uint32_t* pixels, int32_t width,
                  int32_t height, int32_t pitchPixels) {
  if (!PngEncoderBuiltIn(encoder)) return false;
  // stb keeps a row's byte count in an int.
  if (pixels == nullptr || width <= 0 || height <= 0 || pitchPixels < width || width > (1 << 28) / 3)
    return false;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const std::vector<uint8_t> rgb = RgbRows(pixels, width, height, pitchPixels);
  bool ok = false;
#if defined(VX_PNG_LIBPNG)
  if (encoder == PngEncoder::Libpng) ok = WriteWithLibpng(f, rgb, width, height);
#endif
  if (encoder == PngEncoder::Stb) ok = WriteWithStb(f, rgb, width, height);
  const bool closed = std::fclose(f) == 0;
  return ok && closed;
}

bool WritePng(const std::string& path, const uint32_t* pixels, int32_t width, int32_t height,
              int32_t pitchPixels) {
  return WritePngWith(PngEncoderBuiltIn(PngEncoder::Libpng) ? PngEncoder::Libpng : PngEncoder::Stb, path,
                      pixels, width, height, pitchPixels);
}
