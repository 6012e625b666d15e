#pragma once
// What the file-reading fuzz targets share: the input written to a file of
// this process's own, and the checks on a picture the reader accepted.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gfx/image_slots.h"
#include "gfx/picture_file.h"
#include "shell/globals.h"

namespace fuzz {

// Pictures past this many pixels are valid but only slow the search down;
// the size bounds themselves are covered by the tests.
constexpr int64_t kMaxPixels = int64_t{1} << 16;

// The large-size programs (built with VX_FUZZ_LARGE_SIZES) keep what the
// others skip: small files that declare pictures of up to 64 Mi pixels.
#if defined(VX_FUZZ_LARGE_SIZES)
constexpr bool kLargeSizes = true;
#else
constexpr bool kLargeSizes = false;
#endif

// The picture budget of the large-size runs: half the game's, so that the
// slots filled to it, the sanitizers' own memory and the fuzzer's stay under
// the 2 GiB a run is held to. The budget works the same at any size.
constexpr int64_t kLargeSizeBudget = int64_t{1} << 30;

// Writes the input to `path`; false when the file cannot be written.
inline bool WriteInput(const char* path, const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(path, "wb");
  if (f == nullptr) return false;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  return true;
}

// A temporary file name of this process's own with the given ending.
inline const std::string& InputPath(const char* ending) {
  static const std::string path = "/tmp/vx-fuzz-" + std::to_string(getpid()) + ending;
  return path;
}

// Reads a picture file; when the reader accepts it, the spare bytes past the
// pixels must be there (ASan) and cleared.
inline void ReadAndCheckPicture(const char* path) {
  uint32_t* pixels = nullptr;
  int32_t width = 0, height = 0;
  if (vxReadPic(engine.log, path, pixels, width, height) != kPictureRead) return;
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(pixels);
  for (int64_t i = int64_t{width} * height * 4; i < PictureBufferBytes(width, height); ++i) {
    if (bytes[i] != 0) std::abort();
  }
  std::free(pixels);
}

// Loads a picture into the next slot in turn and keeps it there, giving
// back the slot's earlier picture first: the slots fill up to the budget and
// stay there, the oldest making room for the newest. Stops the run when the
// count of held bytes disagrees with the slots or passes the budget.
inline void LoadAndKeep(const char* path) {
  GfxContext& gfx = engine.gfx;
  gfx.pictureBudget = kLargeSizeBudget;
  static int32_t next = 0;
  const int32_t slot = next;
  next = (next + 1) % kImageSlots;
  ReleasePicture(gfx, slot);
  LoadPicture(gfx, slot, path);
  int64_t held = 0;
  for (const ImageSlot& s : gfx.slots) held += s.heldBytes;
  if (held != gfx.pictureBytes || held > gfx.pictureBudget) std::abort();
  // The most the slots held, shown when the run ends.
  static struct Most {
    int64_t bytes = 0;
    ~Most() {
      std::fprintf(stderr, "large sizes: the slots held at most %lld of %lld bytes\n",
                   static_cast<long long>(bytes), static_cast<long long>(kLargeSizeBudget));
    }
  } most;
  if (held > most.bytes) most.bytes = held;
  const ImageSlot* s = UsableSlot(gfx, slot);
  if (s == nullptr) return;
  if (s->heldBytes != PictureHeldBytes(s->width, s->height)) std::abort();
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(s->pixels);
  for (int64_t i = int64_t{s->width} * s->height * 4; i < PictureBufferBytes(s->width, s->height); ++i) {
    if (bytes[i] != 0) std::abort();
  }
}

}  // namespace fuzz
