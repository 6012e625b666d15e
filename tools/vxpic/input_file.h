#pragma once
// The files vxpic reads: only regular files, opened without blocking, so
// that a folder, a named pipe or a device named in their place is refused
// at once (never waited on, never read without end), and no larger than
// the bound of their kind.
#include <cstdint>
#include <string>

namespace vxpic {

// What vxpic reads of each kind at most. A PNG holds at most 64 Mi pixels
// for the game, which stored without compression are some 256 MiB; the
// rest of the bound is room for what paint programs add.
inline constexpr uint64_t kPngMaxFileBytes = uint64_t{384} << 20;
// A texture strip holds at most 1,000,000 numbers, a palette 771.
inline constexpr uint64_t kStripMaxFileBytes = uint64_t{64} << 20;
inline constexpr uint64_t kPaletteMaxFileBytes = uint64_t{1} << 20;
// Pictures the game reads by their header (".vx1", bitmaps) are read only
// as far as their size needs, whatever the file's length.
inline constexpr uint64_t kNoFileBound = UINT64_MAX;

// A regular file of at most `maxBytes`, opened for reading; closed when
// destroyed.
class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // False, with the reason ("a folder, not a file", "cannot open it (...)",
  // ...), when the path names no regular file that opens or one past the
  // bound.
  bool Open(const std::string& path, uint64_t maxBytes, std::string& error);
  // Reads up to `bytes`, fewer only at the end of the file or on an error.
  size_t Read(void* to, size_t bytes);
  int fd() const { return fd_; }
  uint64_t size() const { return size_; }

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

// The whole of a regular file of at most `maxBytes`.
bool ReadInputFile(const std::string& path, uint64_t maxBytes, std::string& bytes, std::string& error);

}  // namespace vxpic
