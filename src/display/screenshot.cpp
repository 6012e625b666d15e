#include "display/screenshot.h"

#if __has_include(<png.h>)
#include <png.h>
#endif

#include <cstdio>
#include <vector>

#if __has_include(<png.h>)
bool WritePng(const std::string& path, const uint32_t* pixels, int32_t width, int32_t height,
              int32_t pitchPixels) {
  if (pixels == nullptr || width <= 0 || height <= 0 || pitchPixels < width) return false;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
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
  const int ok = png_image_write_to_stdio(&image, f, 0, rgb.data(), 0, nullptr);
  const bool closed = std::fclose(f) == 0;
  return ok != 0 && closed;
}
#else
// A build without a PNG encoder (the browser's, for now) writes no picture
// and says so through the result, as for a file that cannot be written.
bool WritePng(const std::string&, const uint32_t*, int32_t, int32_t, int32_t) { return false; }
#endif
