// Feeds arbitrary bytes to the picture reader as a ".vx1" file, then runs the
// slot preparation steps over whatever picture it gives. Built as
// fuzz_vx1_large, it keeps every picture in a slot instead (fuzz_support.h).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "gfx/image_slots.h"
#include "gfx/picture_file.h"
#include "shell/globals.h"

namespace {

void Exercise(GfxContext& gfx, int32_t slot) {
  PrepareAlpha(gfx, slot, 1);
  SoftenEdges(gfx, slot);
  ComputeRowSpans(gfx, slot);
  RowSpan(gfx, slot, PictureHeight(gfx, slot) - 1, 1);
  PackToLuma8(gfx, slot);
  ReleasePicture(gfx, slot);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 4 && !fuzz::kLargeSizes) {
    const int64_t w = static_cast<int16_t>(data[0] | (data[1] << 8));
    const int64_t h = static_cast<int16_t>(data[2] | (data[3] << 8));
    if (w * h > fuzz::kMaxPixels) return 0;
  }
  const std::string& path = fuzz::InputPath(".vx1");
  if (!fuzz::WriteInput(path.c_str(), data, size)) return 0;
  if (fuzz::kLargeSizes) {
    fuzz::LoadAndKeep(path.c_str());
    return 0;
  }
  fuzz::ReadAndCheckPicture(path.c_str());
  LoadPicture(engine.gfx, 1, path.c_str());
  Exercise(engine.gfx, 1);
  return 0;
}
