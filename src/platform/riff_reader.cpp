#include "platform/riff_reader.h"

#include <climits>
#include <cstring>

#include "platform/regular_file.h"

namespace platform {
namespace {

constexpr uint32_t kRiff = FourCC('R', 'I', 'F', 'F');
constexpr uint32_t kList = FourCC('L', 'I', 'S', 'T');

uint32_t LittleEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

// Where the chunk ends, with the pad byte that follows an odd size.
uint64_t PaddedEnd(const RiffChunk& c) { return c.dataOffset + c.size + (c.size & 1u); }

}  // namespace

RiffReader::~RiffReader() { Close(); }

bool RiffReader::OpenFile(const char* path) {
  Close();
  if (path == nullptr) return false;
  file_ = OpenRegularFileStream(path);  // a pipe or a device is no WAV file
  if (file_ == nullptr) return false;
  // The size bounds every read, so a file that cannot be measured is
  // treated as empty rather than read blindly.
  if (std::fseek(file_, 0, SEEK_END) == 0) {
    const long end = std::ftell(file_);
    size_ = end > 0 ? static_cast<uint64_t>(end) : 0;
  }
  open_ = true;
  return true;
}

void RiffReader::OpenMemory(const uint8_t* data, size_t size) {
  Close();
  memory_ = data;
  size_ = data != nullptr ? size : 0;
  open_ = true;
}

void RiffReader::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  memory_ = nullptr;
  size_ = 0;
  position_ = 0;
  open_ = false;
}

size_t RiffReader::ReadAt(uint64_t offset, void* dst, size_t bytes) {
  if (!open_ || offset >= size_ || bytes == 0) return 0;
  const uint64_t left = size_ - offset;
  const size_t n = left < bytes ? static_cast<size_t>(left) : bytes;
  if (memory_ != nullptr) {
    std::memcpy(dst, memory_ + offset, n);
    return n;
  }
  if (file_ == nullptr || offset > static_cast<uint64_t>(LONG_MAX) ||
      std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0)
    return 0;
  return std::fread(dst, 1, n, file_);
}

size_t RiffReader::Read(void* dst, size_t bytes) {
  const size_t n = ReadAt(position_, dst, bytes);
  position_ += n;
  return n;
}

bool RiffReader::ReadHeader(RiffChunk& out) {
  uint8_t header[8];
  if (ReadAt(position_, header, sizeof header) != sizeof header) return false;
  out.id = LittleEndian32(header);
  out.size = LittleEndian32(header + 4);
  out.dataOffset = position_ + 8;
  out.formType = 0;
  if (out.id == kRiff || out.id == kList) {
    uint8_t type[4];
    if (ReadAt(out.dataOffset, type, sizeof type) != sizeof type) return false;
    out.formType = LittleEndian32(type);
  }
  return true;
}

bool RiffReader::Descend(RiffChunk& out) {
  RiffChunk c;
  if (!ReadHeader(c)) return false;
  out = c;
  position_ = c.dataOffset + ((c.id == kRiff || c.id == kList) ? 4u : 0u);
  return true;
}

bool RiffReader::DescendRiff(uint32_t formType, RiffChunk& out) {
  RiffChunk c;
  while (ReadHeader(c)) {
    if (c.id == kRiff && c.formType == formType) {
      out = c;
      position_ = c.dataOffset + 4;
      return true;
    }
    position_ = PaddedEnd(c);
  }
  return false;
}

bool RiffReader::DescendTo(uint32_t id, const RiffChunk& parent, RiffChunk& out) {
  const uint64_t parentEnd = parent.dataOffset + parent.size;
  RiffChunk c;
  while (position_ < parentEnd && ReadHeader(c)) {
    if (c.id == id) {
      out = c;
      position_ = c.dataOffset + ((c.id == kRiff || c.id == kList) ? 4u : 0u);
      return true;
    }
    position_ = PaddedEnd(c);
  }
  return false;
}

void RiffReader::Ascend(const RiffChunk& chunk) { position_ = PaddedEnd(chunk); }

}  // namespace platform
