#pragma once
// Reads RIFF files chunk by chunk: descend into a chunk, read from the
// current position, ascend out of it. The moves follow the multimedia file
// functions the WAV loader was written against, including their quirks: a
// plain descend takes whatever chunk header is at the current position, a
// "RIFF" or "LIST" chunk is entered after its form type, reads are not
// limited to the chunk, and ascending skips the pad byte of an odd size.
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace platform {

constexpr uint32_t FourCC(char a, char b, char c, char d) {
  return static_cast<uint32_t>(static_cast<uint8_t>(a)) | (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8) |
         (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24);
}

struct RiffChunk {
  uint32_t id = 0;
  uint32_t size = 0;        // bytes of data, as the header gives it
  uint32_t formType = 0;    // "RIFF" and "LIST" chunks only
  uint64_t dataOffset = 0;  // first byte after the 8-byte header
};

class RiffReader {
 public:
  RiffReader() = default;
  ~RiffReader();
  RiffReader(const RiffReader&) = delete;
  RiffReader& operator=(const RiffReader&) = delete;

  // A file opened for reading; false when it cannot be opened.
  bool OpenFile(const char* path);
  // Bytes in memory (kept by the caller while the reader is used).
  void OpenMemory(const uint8_t* data, size_t size);
  void Close();
  bool IsOpen() const { return open_; }
  uint64_t Size() const { return size_; }
  uint64_t Position() const { return position_; }

  // Finds a "RIFF" chunk of the given form type, from the current position
  // on (other chunks are skipped), and enters it.
  bool DescendRiff(uint32_t formType, RiffChunk& out);
  // Enters the chunk whose header is at the current position, whatever it is.
  bool Descend(RiffChunk& out);
  // Finds chunk `id` from the current position on, inside `parent`, and
  // enters it.
  bool DescendTo(uint32_t id, const RiffChunk& parent, RiffChunk& out);
  // Moves to the end of the chunk, past its pad byte when its size is odd.
  void Ascend(const RiffChunk& chunk);
  // Reads up to `bytes` from the current position; returns the bytes read.
  size_t Read(void* dst, size_t bytes);

 private:
  bool ReadHeader(RiffChunk& out);
  size_t ReadAt(uint64_t offset, void* dst, size_t bytes);

  bool open_ = false;
  std::FILE* file_ = nullptr;
  const uint8_t* memory_ = nullptr;
  uint64_t size_ = 0;
  uint64_t position_ = 0;
};

}  // namespace platform
