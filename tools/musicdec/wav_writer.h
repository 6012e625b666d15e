// Canonical 44-byte PCM WAV header and a file that appears under its final
// name only once it is completely on disk.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace musicdec {

inline constexpr std::size_t kWavHeaderBytes = 44;

// "RIFF"/"WAVE", a 16-byte "fmt " chunk (PCM, 2 channels, 44100 Hz, 16 bit),
// then the "data" chunk header for the given number of frames.
std::array<std::uint8_t, kWavHeaderBytes> WavHeader(std::uint32_t frames);

// Writes to "<path>.<pid>.part"; Commit() syncs it and renames it to <path>.
// Anything not committed is removed, so a reader never sees a partial file.
class AtomicFile {
 public:
  explicit AtomicFile(std::string path);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool Open();
  bool Write(const void* data, std::size_t size);
  bool Commit();
  const std::string& Error() const { return error_; }
  const std::string& TempPath() const { return tempPath_; }

 private:
  bool Flush();
  bool Fail(const std::string& what);
  void Discard();

  std::string path_;
  std::string tempPath_;
  std::string error_;
  int fd_ = -1;
  std::string buffer_;
};

// Creates (or truncates) a small file with the given text and syncs it.
bool WriteSmallFile(const std::string& path, const std::string& text, std::string& error);

}  // namespace musicdec
