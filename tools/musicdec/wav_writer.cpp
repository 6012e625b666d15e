#include "musicdec/wav_writer.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "musicdec/os_files.h"
#include "musicdec/score.h"

namespace musicdec {
namespace {

constexpr std::size_t kBufferBytes = 1 << 16;

void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void Put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

std::array<std::uint8_t, kWavHeaderBytes> WavHeader(std::uint32_t frames) {
  constexpr std::uint16_t kChannels = 2;
  constexpr std::uint16_t kBits = 16;
  constexpr std::uint16_t kBlockAlign = kChannels * kBits / 8;
  const std::uint32_t dataBytes = frames * kBlockAlign;
  std::array<std::uint8_t, kWavHeaderBytes> h{};
  std::memcpy(&h[0], "RIFF", 4);
  Put32(&h[4], 36 + dataBytes);
  std::memcpy(&h[8], "WAVE", 4);
  std::memcpy(&h[12], "fmt ", 4);
  Put32(&h[16], 16);
  Put16(&h[20], 1);  // PCM
  Put16(&h[22], kChannels);
  Put32(&h[24], kSampleRate);
  Put32(&h[28], kSampleRate * kBlockAlign);
  Put16(&h[32], kBlockAlign);
  Put16(&h[34], kBits);
  std::memcpy(&h[36], "data", 4);
  Put32(&h[40], dataBytes);
  return h;
}

AtomicFile::AtomicFile(std::string path)
    : path_(std::move(path)), tempPath_(path_ + "." + std::to_string(ProcessId()) + ".part") {}

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Fail(const std::string& what) {
  error_ = what + " " + tempPath_ + ": " + std::strerror(errno);
  Discard();
  return false;
}

void AtomicFile::Discard() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
    std::remove(tempPath_.c_str());
  }
}

bool AtomicFile::Open() {
  fd_ = OpenForWriting(tempPath_);
  if (fd_ < 0) {
    error_ = "cannot create " + tempPath_ + ": " + std::strerror(errno);
    return false;
  }
  buffer_.reserve(kBufferBytes);
  return true;
}

bool AtomicFile::Flush() {
  const char* p = buffer_.data();
  std::size_t left = buffer_.size();
  while (left > 0) {
    const ssize_t n = write(fd_, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail("cannot write");
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  buffer_.clear();
  return true;
}

bool AtomicFile::Write(const void* data, std::size_t size) {
  if (fd_ < 0) return false;
  buffer_.append(static_cast<const char*>(data), size);
  return buffer_.size() < kBufferBytes || Flush();
}

bool AtomicFile::Commit() {
  if (fd_ < 0 || !Flush()) return false;
  if (!SyncFile(fd_)) return Fail("cannot sync");
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) {
    error_ = "cannot close " + tempPath_ + ": " + std::strerror(errno);
    std::remove(tempPath_.c_str());
    return false;
  }
  // The new name itself is made durable before anyone is told about it.
  if (!PublishFile(tempPath_, path_)) {
    error_ = "cannot rename " + tempPath_ + " to " + path_ + ": " + std::strerror(errno);
    std::remove(tempPath_.c_str());
    return false;
  }
  return true;
}

bool WriteSmallFile(const std::string& path, const std::string& text, std::string& error) {
  const int fd = OpenForWriting(path);
  if (fd < 0) {
    error = "cannot create " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool ok =
      write(fd, text.data(), static_cast<unsigned>(text.size())) == static_cast<int>(text.size()) &&
      SyncFile(fd);
  if (!ok) error = "cannot write " + path + ": " + std::strerror(errno);
  if (close(fd) != 0 && ok) {
    error = "cannot close " + path + ": " + std::strerror(errno);
    return false;
  }
  return ok;
}

}  // namespace musicdec
