#include "shell/demo.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

#include "assets/data_set_check.h"
#include "config/configuration.h"
#include "game/saved_game.h"
#include "platform/file_replace.h"
#include "platform/game_files.h"
#include "platform/regular_file.h"
#include "shell/comforts.h"
#include "shell/game_checksum.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kLargestOwnFile = size_t{1} << 20;

// The configuration with the music switched off: the record's line, where
// there is one, says 0.
std::string WithoutMusic(const std::string& ini) {
  std::istringstream lines(ini);
  std::string out;
  const std::string prefix = std::to_string(kRecordMusic) + ",";
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(prefix, 0) == 0) line = prefix + ",,0";
    out += line + "\n";
  }
  return out;
}

// A manifest line "SIZE CHECKSUM music/decN.exe".
bool IsDecoderProgramLine(const std::string& line) {
  const size_t name = line.rfind(' ');
  if (name == std::string::npos || line[0] == '#') return false;
  const std::string path = line.substr(name + 1);
  const std::string prefix = "music/dec", suffix = ".exe";
  if (path.size() <= prefix.size() + suffix.size() || path.rfind(prefix, 0) != 0 ||
      path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0)
    return false;
  for (size_t i = prefix.size(); i < path.size() - suffix.size(); ++i)
    if (path[i] < '0' || path[i] > '9') return false;
  return true;
}

}  // namespace

std::string ManifestFileChecksum(const std::string& manifestPath) {
  uint64_t size = 0, sum = 0;
  if (manifestPath.empty() || !platform::IsRegularFile(manifestPath.c_str()) ||
      !FileChecksum(manifestPath, size, sum))
    return "none";
  return ChecksumText(sum);
}

std::string DataSetChecksum(const std::string& manifestPath) {
  std::string text;
  if (manifestPath.empty() || !platform::IsRegularFile(manifestPath.c_str()) ||
      !platform::ReadWholeFile(manifestPath, text))
    return "none";
  // 64-bit FNV-1a over the lines, each ended by a line feed (a carriage
  // return before it is not counted), but those naming a decoder program.
  uint64_t sum = UINT64_C(0xcbf29ce484222325);
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (IsDecoderProgramLine(line)) continue;
    line += '\n';
    for (const char c : line) sum = (sum ^ static_cast<unsigned char>(c)) * UINT64_C(0x100000001b3);
  }
  return ChecksumText(sum);
}

std::string WithDisplaySize(const std::string& ini, int32_t width, int32_t height) {
  // The record reader takes the first line of a number.
  return std::to_string(kRecordDisplaySize) + ",,," + std::to_string(width) + "," + std::to_string(height) +
         "\n" + ini;
}

DemoFile DemoHeaderHere(const std::string& data, const std::vector<std::string>& ownFiles,
                        int32_t desktopWidth, int32_t desktopHeight, std::vector<std::string>& warnings) {
  DemoFile h;
  h.format = kDemoFormat;
  h.engine = VX_VERSION_TEXT;
  h.data = data;
  RecordReader r;
  const struct {
    const char* name;
    int32_t record;
  } kSettings[] = {{"windowed", kRecordWindowed},   {"sound", kRecordSound},
                   {"lowdetail", kRecordLowDetail}, {"music", kRecordMusic},
                   {"controls", kRecordControls},   {"alttext", kRecordAltText}};
  ReadRecord(r, kRecordDisplaySize, kConfigFile);
  int32_t width = r.values[0], height = r.values[1];
  const bool desktopSize = ReadConfigValue(r, kRecordWindowed) == 0 && (width < 1 || height < 1);
  if (desktopSize) {
    width = desktopWidth;
    height = desktopHeight;
  }
  h.settings.emplace_back("display", std::to_string(width) + "x" + std::to_string(height));
  for (const auto& s : kSettings)
    h.settings.emplace_back(s.name, std::to_string(ReadConfigValue(r, s.record)));

  const auto embed = [&](const std::string& name, const std::string& path) {
    std::string bytes;
    if (!platform::IsRegularFile(path.c_str())) return;
    if (!SafeEmbeddedName(name)) {
      warnings.push_back(name + " has a name a demo cannot hold");
      return;
    }
    if (!platform::ReadWholeFile(path, bytes)) {
      warnings.push_back(name + " cannot be read");
      return;
    }
    if (bytes.size() > kLargestOwnFile) {
      warnings.push_back(name + " is larger than 1 MiB");
      return;
    }
    h.files.push_back(DemoEmbeddedFile{name, std::move(bytes)});
  };
  embed(kConfigFile, platform::GameFile(kConfigFile));
  if (desktopSize) {
    // Without a settings file the game ran on its defaults; the playback
    // still needs the display size the mouse positions were scaled by.
    if (h.files.empty())
      h.files.push_back(DemoEmbeddedFile{kConfigFile, WithDisplaySize("", width, height)});
    else
      h.files[0].bytes = WithDisplaySize(h.files[0].bytes, width, height);
  }
  embed(kSaveFile, kSaveFile);
  embed(kSaveBackupFile, kSaveBackupFile);
  for (const std::string& name : ownFiles)
    if (name != kConfigFile) embed(name, name);
  return h;
}

std::string DemoMismatch(const DemoFile& demo, const std::string& data, const std::string& olderData) {
  if (demo.format != kDemoFormat)
    return "it is of demo format " + std::to_string(demo.format) + ", this program reads format " +
           std::to_string(kDemoFormat);
  if (demo.engine != VX_VERSION_TEXT)
    return "it was recorded by " +
           (demo.engine.empty() ? std::string("an unnamed engine") : "'" + demo.engine + "'") +
           ", this is '" + VX_VERSION_TEXT + "'";
  if (demo.data != data && (olderData.empty() || demo.data != olderData))
    return "it was recorded with the data set " + demo.data + ", this game folder has " + data;
  if (!demo.ended) return "it is cut short (it has no end record)";
  return "";
}

bool MakePlaybackFolder(const DemoFile& demo, fs::path& folder, std::string& error) {
  std::error_code ec;
  const fs::path base = fs::temp_directory_path(ec);
  if (ec) {
    error = "no temporary folder: " + ec.message();
    return false;
  }
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int n = 0;; ++n) {
    folder = base / ("vxgame-play-" + std::to_string(now % 1000000007) + "-" + std::to_string(n));
    if (fs::create_directory(folder, ec)) break;
    if (n == 100 || (ec && ec != std::errc::file_exists)) {
      error = "cannot make a folder in " + base.string() + (ec ? ": " + ec.message() : "");
      return false;
    }
  }
  for (const DemoEmbeddedFile& f : demo.files) {
    const fs::path path = folder / fs::path(f.name);
    fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << (f.name == kConfigFile ? WithoutMusic(f.bytes) : f.bytes);
    if (!out.flush()) {
      error = "cannot write " + path.string();
      return false;
    }
  }
  return true;
}

std::string NextDemoName() {
  const std::string stamp = LocalTimeStamp();
  std::error_code ec;
  fs::create_directories("demos", ec);
  if (!fs::is_directory("demos", ec)) return "";
  for (int n = 1; n < 1000; ++n) {
    const fs::path p = fs::path("demos") /
                       ("vxgame-" + std::string(stamp) + (n == 1 ? "" : "-" + std::to_string(n)) + ".dem");
    if (!fs::exists(p, ec)) return fs::absolute(p, ec).string();
  }
  return "";
}

bool DemoRecorder::Start(const std::string& path, const DemoFile& header, platform::Backend& inner,
                         std::string& error) {
  if (!writer_.Open(path, error)) return false;
  writer_.Header(header);
  backend_ = std::make_unique<platform::RecordingBackend>(inner, writer_);
  return true;
}

void DemoRecorder::AfterFrame(int64_t frame) {
  if (backend_ && frame % kDemoCheckFrames == 0) writer_.Check(frame, GameChecksum());
}

bool DemoRecorder::Finish(int64_t frames) {
  if (finished_ || !backend_) return true;
  finished_ = true;
  backend_->Flush();
  return writer_.End(backend_->Ticks(), frames, GameChecksum());
}

void DemoPlayer::Start(const DemoFile& demo, platform::Backend& inner, bool viewer) {
  checks_ = demo.checks;
  ended_ = demo.ended;
  endFrames_ = demo.endFrames;
  endChecksum_ = demo.endChecksum;
  viewer_ = viewer;
  backend_ = std::make_unique<platform::PlaybackBackend>(inner, demo.input, viewer);
}

void DemoPlayer::AfterFrame(int64_t frame) {
  const auto it = checks_.find(frame);
  if (it == checks_.end() || firstDifference_ != 0) return;
  const uint64_t sum = GameChecksum();
  if (sum == it->second) {
    lastInStep_ = frame;
    return;
  }
  firstDifference_ = frame;
  std::printf(
      "vxgame: out of step at frame %lld: the game state differs from the recorded one (in step at frame "
      "%lld)\n",
      static_cast<long long>(frame), static_cast<long long>(lastInStep_));
  std::fflush(stdout);
}

int DemoPlayer::Finish(int64_t frames) {
  if (finished_) return verdict_;
  finished_ = true;
  const uint64_t sum = GameChecksum();
  const long long n = frames;
  verdict_ = kExitOutOfStep;
  if (firstDifference_ != 0) {
    std::printf("vxgame: out of step: first at frame %lld, the demo ended at frame %lld\n",
                static_cast<long long>(firstDifference_), n);
  } else if (!ended_) {
    std::printf("vxgame: the demo is cut short; in step up to frame %lld, where its last check was\n",
                static_cast<long long>(lastInStep_));
    verdict_ = 0;
  } else if (frames == endFrames_ && sum == endChecksum_) {
    std::printf("vxgame: in step: %lld frames, the same game as recorded\n", n);
    verdict_ = 0;
  } else if (frames < endFrames_ && viewer_) {
    std::printf("vxgame: stopped at frame %lld of %lld, in step so far\n", n,
                static_cast<long long>(endFrames_));
    verdict_ = 0;
  } else if (frames != endFrames_) {
    std::printf(
        "vxgame: out of step: the game ended after %lld frames, the recorded one after %lld (in step at "
        "frame %lld)\n",
        n, static_cast<long long>(endFrames_), static_cast<long long>(lastInStep_));
  } else {
    std::printf(
        "vxgame: out of step at frame %lld: the game state at the end differs (in step at frame %lld)\n", n,
        static_cast<long long>(lastInStep_));
  }
  if (backend_ && backend_->ClockMismatchTick() != 0)
    std::printf("vxgame: the game read the clock otherwise than recorded, first in tick %lld\n",
                static_cast<long long>(backend_->ClockMismatchTick()));
  std::fflush(stdout);
  return verdict_;
}
