// Feeds arbitrary bytes to the picture reader as a Windows bitmap, then runs
// the slot preparation steps over whatever picture it gives.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gfx/image_slots.h"
#include "gfx/picture_file.h"
#include "shell/engine.h"

namespace {

// Pictures past this many pixels are valid but only slow the search down;
// the size bounds themselves are covered by the tests.
constexpr int64_t kFuzzMaxPixels = int64_t{1} << 16;

int64_t Field16(const uint8_t* data, size_t size, size_t at) {
  if (at + 2 > size) return 0;
  return static_cast<int16_t>(data[at] | (data[at + 1] << 8));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (Field16(data, size, 18) * Field16(data, size, 22) > kFuzzMaxPixels) return 0;
  static const std::string path = "/tmp/vx-fuzz-" + std::to_string(getpid()) + ".bmp";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  uint32_t* pixels = nullptr;
  int32_t width = 0, height = 0;
  if (vxReadPic(engine.log, path.c_str(), pixels, width, height) == kPictureRead) {
    // The spare bytes past the pixels must be there (ASan) and cleared.
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(pixels);
    for (int64_t i = int64_t{width} * height * 4; i < PictureBufferBytes(width, height); ++i) {
      if (bytes[i] != 0) std::abort();
    }
    std::free(pixels);
  }

  GfxContext& gfx = engine.gfx;
  LoadPicture(gfx, 2, path.c_str());
  PrepareAlpha(gfx, 2, 3);
  SoftenEdges(gfx, 2);
  ComputeRowSpans(gfx, 2);
  PackTo24(gfx, 2);
  ImageSlot& s = gfx.slots[2];
  std::free(s.pixels);
  std::free(s.opaqueLeft);
  std::free(s.opaqueRight);
  std::free(s.visibleLeft);
  std::free(s.visibleRight);
  s = ImageSlot{};
  return 0;
}
