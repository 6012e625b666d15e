// Feeds arbitrary text to the picture reader as a texture strip and its
// palette: the input up to the first '|' is the strip, the rest the palette
// (no '|': no palette file). Built as fuzz_strip_large, it also takes the
// long value counts (large strips) and keeps every picture in a slot
// (fuzz_support.h).
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "fuzz_support.h"
#include "gfx/image_slots.h"
#include "gfx/picture_file.h"
#include "shell/globals.h"

namespace {

// Value counts this large need a long stream of zeros and only slow the
// search down; counts past the reader's limit still go through. The
// large-size program keeps them.
constexpr long kFuzzSlowCountFrom = 20000;
constexpr long kFuzzSlowCountTo = 1000000;

// The reader takes the palette from "data/pal_c.000" in the working folder, so
// each fuzzing process reads in a folder of its own; the fuzzer's own folder
// is restored after every input, as it reads its corpus by relative names.
const std::filesystem::path& ScratchFolder() {
  static const std::filesystem::path folder = [] {
    char pattern[] = "/tmp/vx-fuzz-strip-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return std::filesystem::path();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(pattern) / "data", ec);
    return ec ? std::filesystem::path() : std::filesystem::path(pattern);
  }();
  return folder;
}

void ReadStrip(const uint8_t* data, size_t size, size_t stripSize, const uint8_t* bar) {
  const char* stripName = "data/fuzz.000";
  if (!fuzz::WriteInput(stripName, data, stripSize)) return;
  if (bar != nullptr) {
    if (!fuzz::WriteInput(kPaletteFileName, bar + 1, size - stripSize - 1)) return;
  } else {
    std::remove(kPaletteFileName);
  }
  if (fuzz::kLargeSizes) {
    fuzz::LoadAndKeep(stripName);
  } else {
    fuzz::ReadAndCheckPicture(stripName);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint8_t* bar = static_cast<const uint8_t*>(std::memchr(data, '|', size));
  const size_t stripSize = bar != nullptr ? static_cast<size_t>(bar - data) : size;
  const std::string stripText(reinterpret_cast<const char*>(data), stripSize);
  const long count = std::strtol(stripText.c_str(), nullptr, 10);
  if (!fuzz::kLargeSizes && count >= kFuzzSlowCountFrom && count <= kFuzzSlowCountTo) return 0;
  if (ScratchFolder().empty()) return 0;

  std::error_code ec;
  const std::filesystem::path previous = std::filesystem::current_path(ec);
  if (ec) return 0;
  std::filesystem::current_path(ScratchFolder(), ec);
  if (ec) return 0;
  ReadStrip(data, size, stripSize, bar);
  std::filesystem::current_path(previous, ec);
  return 0;
}
