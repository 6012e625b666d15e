// Feeds arbitrary bytes to the picture reader as a Windows bitmap, then runs
// the slot preparation steps over whatever picture it gives. Built as
// fuzz_bmp_large, it keeps every picture in a slot instead (fuzz_support.h).
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

int64_t Field16(const uint8_t* data, size_t size, size_t at) {
  if (at + 2 > size) return 0;
  return static_cast<int16_t>(data[at] | (data[at + 1] << 8));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!fuzz::kLargeSizes && Field16(data, size, 18) * Field16(data, size, 22) > fuzz::kMaxPixels) return 0;
  const std::string& path = fuzz::InputPath(".bmp");
  if (!fuzz::WriteInput(path.c_str(), data, size)) return 0;
  if (fuzz::kLargeSizes) {
    fuzz::LoadAndKeep(path.c_str());
    return 0;
  }
  fuzz::ReadAndCheckPicture(path.c_str());

  GfxContext& gfx = engine.gfx;
  LoadPicture(gfx, 2, path.c_str());
  PrepareAlpha(gfx, 2, 3);
  SoftenEdges(gfx, 2);
  ComputeRowSpans(gfx, 2);
  PackTo24(gfx, 2);
  ReleasePicture(gfx, 2);
  return 0;
}
