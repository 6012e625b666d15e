// The decoder program: finds its packed track beside itself, writes
// "floorN.wav" and then the marker "finN.txt" into the same folder.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace musicdec {

inline constexpr int kExitOk = 0;
inline constexpr int kExitIoFailure = 1;
inline constexpr int kExitBadInput = 2;  // usage error or bad packed track

// The track number in a program's base name ("music/dec2.exe" -> 2): the
// first run of digits, 1..99. -1 when there is none.
int TrackNumberFromName(std::string_view path);

// File names inside the music folder.
std::string PackedTrackName(int track);  // "trackN.vxm"
std::string WavName(int track);          // "floorN.wav"
std::string MarkerName(int track);       // "finN.txt"

// Where the shipped packed track N lives in the source tree, for the tool
// that builds a game folder: it copies it to "music/trackN.vxm".
std::string ShippedTrackPath(int track);

// args[0] is the program path as started. Messages go to stderr.
int RunDecoder(const std::vector<std::string>& args);

// RunDecoder as a library call that works a slice at a time, for a caller
// with no processes and no other thread (the browser's page): Begin reads
// the options and the packed track (false when there is nothing to render:
// --help, --check or a failure, with ExitCode set); each Step renders about
// `frames` more frames and returns false once the decoder has ended. The
// WAV file is written whole at the end, then the marker; its bytes are
// RunDecoder's.
class DecodeJob {
 public:
  DecodeJob();
  ~DecodeJob();
  DecodeJob(const DecodeJob&) = delete;
  DecodeJob& operator=(const DecodeJob&) = delete;
  bool Begin(const std::vector<std::string>& args);
  bool Step(std::int64_t frames);
  int ExitCode() const { return exitCode_; }

 private:
  struct Work;
  std::unique_ptr<Work> work_;
  int exitCode_ = kExitOk;
};

}  // namespace musicdec
