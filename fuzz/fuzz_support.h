#pragma once
// What the file-reading fuzz targets share: the input written to a file of
// this process's own, and the checks on a picture the reader accepted.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gfx/picture_file.h"
#include "shell/globals.h"

namespace fuzz {

// Pictures past this many pixels are valid but only slow the search down;
// the size bounds themselves are covered by the tests.
constexpr int64_t kMaxPixels = int64_t{1} << 16;

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

}  // namespace fuzz
