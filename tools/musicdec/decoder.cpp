#include "musicdec/decoder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>

#include "musicdec/os_files.h"
#include "musicdec/renderer.h"
#include "musicdec/score.h"
#include "musicdec/wav_writer.h"

namespace musicdec {
namespace {

constexpr const char* kUsage =
    "usage: musicdec [--track N] [--in FILE] [--out DIR] [--check]\n"
    "  Decodes the packed track \"trackN.vxm\" found beside the program into\n"
    "  \"floorN.wav\", then creates \"finN.txt\". N comes from the program's name\n"
    "  (dec2.exe -> 2) unless --track is given. --check only reads the track.\n";

std::string_view BaseName(std::string_view path) {
  std::size_t slash = path.size();
  while (slash > 0 && !IsSeparator(path[slash - 1])) --slash;
  return path.substr(slash);
}

std::string DirName(const std::string& path) {
  std::size_t slash = path.size();
  while (slash > 0 && !IsSeparator(path[slash - 1])) --slash;
  if (slash == 0) return ".";
  return slash == 1 ? path.substr(0, 1) : path.substr(0, slash - 1);
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The folder the program was started from. The path it was started by wins,
// so a link to the program in a music folder works like a copy.
std::string ProgramFolder(const std::string& argv0) {
  if (DirName(argv0) != "." && IsRegularFile(argv0)) return DirName(argv0);
  const std::string self = SelfExe();
  return self.empty() ? std::string(".") : DirName(self);
}

void Complain(const std::string& what) { std::fprintf(stderr, "musicdec: %s\n", what.c_str()); }

enum class ReadStatus { Ok, IoFailure, TooLarge };

ReadStatus ReadPackedTrack(const std::string& path, std::string& text, std::string& error) {
  const int fd = OpenForReading(path);
  if (fd < 0) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return ReadStatus::IoFailure;
  }
  ReadStatus status = ReadStatus::Ok;
  char buf[16384];
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = "cannot read " + path + ": " + std::strerror(errno);
      status = ReadStatus::IoFailure;
      break;
    }
    if (n == 0) break;
    if (text.size() + static_cast<std::size_t>(n) > kMaxScoreBytes) {
      error = path + ": larger than " + std::to_string(kMaxScoreBytes) + " bytes";
      status = ReadStatus::TooLarge;
      break;
    }
    text.append(buf, static_cast<std::size_t>(n));
  }
  close(fd);
  return status;
}

struct Options {
  int track = -1;
  std::string in;
  std::string out;
  bool check = false;
};

bool ParseArgs(const std::vector<std::string>& args, Options& o, std::string& error) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--check") {
      o.check = true;
    } else if (a == "--track" && hasValue) {
      const std::string& v = args[++i];
      int n = 0;
      auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
      if (ec != std::errc() || p != v.data() + v.size() || n < 1 || n > 99) {
        error = "--track takes a number from 1 to 99, not '" + v + "'";
        return false;
      }
      o.track = n;
    } else if (a == "--in" && hasValue) {
      o.in = args[++i];
    } else if (a == "--out" && hasValue) {
      o.out = args[++i];
    } else {
      const bool known = a == "--track" || a == "--in" || a == "--out";
      error = known ? "option " + a + " needs a value" : "unknown option '" + a + "'";
      return false;
    }
  }
  return true;
}

}  // namespace

int TrackNumberFromName(std::string_view path) {
  const std::string_view base = BaseName(path);
  const std::size_t first = base.find_first_of("0123456789");
  if (first == std::string_view::npos) return -1;
  std::size_t last = first;
  while (last < base.size() && base[last] >= '0' && base[last] <= '9') ++last;
  if (last - first > 2) return -1;
  int n = 0;
  for (std::size_t i = first; i < last; ++i) n = n * 10 + (base[i] - '0');
  return n >= 1 && n <= 99 ? n : -1;
}

std::string PackedTrackName(int track) { return "track" + std::to_string(track) + ".vxm"; }
std::string WavName(int track) { return "floor" + std::to_string(track) + ".wav"; }
std::string MarkerName(int track) { return "fin" + std::to_string(track) + ".txt"; }
std::string ShippedTrackPath(int track) {
  return std::string(VX_MUSICDEC_TRACKS_DIR) + "/" + PackedTrackName(track);
}

struct DecodeJob::Work {
  Score score;
  std::unique_ptr<LoopRenderer> renderer;
  std::string wavPath;
  std::string markerPath;
  std::vector<std::uint8_t> wav;  // the whole file, written at the end
};

DecodeJob::DecodeJob() = default;
DecodeJob::~DecodeJob() = default;

bool DecodeJob::Begin(const std::vector<std::string>& args) {
  exitCode_ = kExitOk;
  Options opt;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      std::fputs(kUsage, stdout);
      return false;
    }
  }
  std::string argError;
  if (!ParseArgs(args, opt, argError)) {
    Complain(argError);
    std::fputs(kUsage, stderr);
    exitCode_ = kExitBadInput;
    return false;
  }
  const std::string argv0 = args.empty() ? std::string() : args[0];
  if (opt.track < 0) opt.track = TrackNumberFromName(argv0);
  if (opt.track < 0) opt.track = TrackNumberFromName(SelfExe());
  if (opt.track < 0) {
    Complain("no track number in the program name; use --track N");
    exitCode_ = kExitBadInput;
    return false;
  }
  const std::string folder = ProgramFolder(argv0);
  if (opt.in.empty()) opt.in = folder + "/" + PackedTrackName(opt.track);
  if (opt.out.empty()) opt.out = folder;
  auto work = std::make_unique<Work>();
  work->wavPath = opt.out + "/" + WavName(opt.track);
  work->markerPath = opt.out + "/" + MarkerName(opt.track);

  // A marker left from an earlier run must not vouch for this one.
  if (!opt.check && std::remove(work->markerPath.c_str()) != 0 && errno != ENOENT) {
    Complain("cannot remove " + work->markerPath + ": " + std::strerror(errno));
    exitCode_ = kExitIoFailure;
    return false;
  }

  std::string text;
  std::string error;
  switch (ReadPackedTrack(opt.in, text, error)) {
    case ReadStatus::IoFailure:
      Complain(error);
      exitCode_ = kExitIoFailure;
      return false;
    case ReadStatus::TooLarge:
      Complain(error);
      exitCode_ = kExitBadInput;
      return false;
    case ReadStatus::Ok:
      break;
  }
  ParseResult parsed = ParseScore(text);
  if (!parsed.ok) {
    Complain(opt.in + ": " + parsed.error);
    exitCode_ = kExitBadInput;
    return false;
  }
  work->score = std::move(parsed.score);
  const std::int64_t frames = work->score.LoopFrames();
  if (opt.check) {
    std::printf("%s: %.2f s, %zu instruments, %zu notes\n", opt.in.c_str(),
                static_cast<double>(frames) / kSampleRate, work->score.instruments.size(),
                work->score.notes.size());
    return false;
  }
  const auto header = WavHeader(static_cast<std::uint32_t>(frames));
  work->wav.reserve(header.size() + static_cast<std::size_t>(frames) * 4);
  work->wav.assign(header.begin(), header.end());
  work->renderer = std::make_unique<LoopRenderer>(work->score);
  work_ = std::move(work);
  return true;
}

bool DecodeJob::Step(std::int64_t frames) {
  if (!work_) return false;
  Work& w = *work_;
  w.renderer->Step(frames, [&](const std::int16_t* samples, std::size_t count) {
    // Little-endian whatever the host is.
    for (std::size_t i = 0; i < count * 2; ++i) {
      const auto v = static_cast<std::uint16_t>(samples[i]);
      w.wav.push_back(static_cast<std::uint8_t>(v));
      w.wav.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    return true;
  });
  if (!w.renderer->Done()) return true;
  // The file appears whole under its name, then the marker vouches for it.
  AtomicFile file(w.wavPath);
  std::string error;
  if (!file.Open() || !file.Write(w.wav.data(), w.wav.size()) || !file.Commit()) {
    Complain(file.Error().empty() ? "cannot write " + w.wavPath : file.Error());
    exitCode_ = kExitIoFailure;
  } else if (!WriteSmallFile(w.markerPath, "done\n", error)) {
    Complain(error);
    exitCode_ = kExitIoFailure;
  }
  work_.reset();
  return false;
}

int RunDecoder(const std::vector<std::string>& args) {
  DecodeJob job;
  if (job.Begin(args)) {
    while (job.Step(std::int64_t{1} << 24)) {
    }
  }
  return job.ExitCode();
}

}  // namespace musicdec
