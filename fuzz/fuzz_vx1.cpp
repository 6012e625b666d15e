// Feeds arbitrary bytes to the picture reader as a ".vx1" file, then runs the
// slot preparation steps over whatever picture it gives.
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

void Exercise(GfxContext& gfx, int32_t slot) {
  PrepareAlpha(gfx, slot, 1);
  SoftenEdges(gfx, slot);
  ComputeRowSpans(gfx, slot);
  RowSpan(gfx, slot, PictureHeight(gfx, slot) - 1, 1);
  PackToLuma8(gfx, slot);
  ImageSlot& s = gfx.slots[slot];
  std::free(s.pixels);
  std::free(s.opaqueLeft);
  std::free(s.opaqueRight);
  std::free(s.visibleLeft);
  std::free(s.visibleRight);
  s = ImageSlot{};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 4) {
    const int64_t w = static_cast<int16_t>(data[0] | (data[1] << 8));
    const int64_t h = static_cast<int16_t>(data[2] | (data[3] << 8));
    if (w * h > kFuzzMaxPixels) return 0;
  }
  static const std::string path = "/tmp/vx-fuzz-" + std::to_string(getpid()) + ".vx1";
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
  LoadPicture(engine.gfx, 1, path.c_str());
  Exercise(engine.gfx, 1);
  return 0;
}
