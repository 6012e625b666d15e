#include "assets/data_set_check.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "gfx/picture_file.h"
#include "platform/game_files.h"
#include "platform/regular_file.h"
#include "platform/riff_reader.h"
#include "sound/wave_file.h"

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kFnvOffset = 0xcbf29ce484222325ull;
constexpr uint64_t kFnvPrime = 0x100000001b3ull;

bool EndsWith(const std::string& s, const char* end) {
  const size_t n = std::strlen(end);
  return s.size() >= n && s.compare(s.size() - n, n, end) == 0;
}

bool ThreeDigitExtension(const std::string& s) {
  const size_t n = s.size();
  if (n < 4 || s[n - 4] != '.') return false;
  for (size_t i = n - 3; i < n; ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

std::string CutShort(uint64_t want, uint64_t have) {
  return "cut short: " + std::to_string(want) + " bytes needed, " + std::to_string(have) + " there";
}

// A ".vx1" picture: width and height, then three bytes per pixel from byte 10.
bool Vx1Loads(const std::string& path, uint64_t size, std::string& detail) {
  uint8_t head[4] = {};
  std::ifstream in(path, std::ios::binary);
  if (!in.read(reinterpret_cast<char*>(head), 4)) {
    detail = "no picture header";
    return false;
  }
  const int32_t w = static_cast<int16_t>(static_cast<uint16_t>(head[0] | (head[1] << 8)));
  const int32_t h = static_cast<int16_t>(static_cast<uint16_t>(head[2] | (head[3] << 8)));
  if (w <= 0 || h <= 0) {
    detail = "picture size " + std::to_string(w) + " x " + std::to_string(h);
    return false;
  }
  const uint64_t want = 10 + uint64_t{3} * static_cast<uint64_t>(w) * static_cast<uint64_t>(h);
  if (size < want) {
    detail = CutShort(want, size);
    return false;
  }
  return true;
}

// A WAV sample: what the loader plays (its own rule), with a data chunk
// that the file holds to its end.
bool WaveLoads(const std::string& path, std::string& detail) {
  platform::RiffReader r;
  if (!r.OpenFile(path.c_str())) {
    detail = "cannot be read";
    return false;
  }
  WaveHeaders headers;
  if (ExamineWave(r, headers) != kWaveLoaded) {
    detail = headers.reason;
    return false;
  }
  const uint64_t want = headers.dataOffset + headers.bytes;
  if (want > r.Size()) {
    detail = CutShort(want, r.Size());
    return false;
  }
  return true;
}

// Pictures that the game reads whole (texture strips and bitmaps) are read
// by the game's own reader; a strip finds the palette by its name in the
// working folder, as in the game.
bool PictureReads(const std::string& path, std::string& detail) {
  EngineLog quiet;
  uint32_t* pixels = nullptr;
  int32_t w = 0, h = 0;
  const int32_t status = vxReadPic(quiet, path.c_str(), pixels, w, h);
  std::free(pixels);
  if (status != kPictureRead) detail = "the picture cannot be read";
  return status == kPictureRead;
}

// The palette: 771 numbers.
bool PaletteLoads(const std::string& path, std::string& detail) {
  std::ifstream in(path);
  int32_t v = 0, count = 0;
  while (count < kPaletteValues && in >> v) ++count;
  if (count < kPaletteValues) {
    detail = "cut short: " + std::to_string(kPaletteValues) + " numbers needed, " + std::to_string(count) +
             " there";
    return false;
  }
  return true;
}

}  // namespace

bool FileChecksum(const std::string& path, uint64_t& size, uint64_t& checksum) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  uint64_t h = kFnvOffset;
  uint64_t total = 0;
  static thread_local std::vector<unsigned char> buffer(1 << 16);
  for (;;) {
    const size_t got = std::fread(buffer.data(), 1, buffer.size(), f);
    for (size_t i = 0; i < got; ++i) h = (h ^ buffer[i]) * kFnvPrime;
    total += got;
    if (got < buffer.size()) break;
  }
  const bool ok = std::ferror(f) == 0;
  std::fclose(f);
  size = total;
  checksum = h;
  return ok;
}

bool WriteManifest(const std::string& file, const std::vector<ManifestEntry>& entries) {
  std::FILE* f = std::fopen(file.c_str(), "wb");
  if (f == nullptr) return false;
  std::fprintf(f, "# The files of this game folder as they were written: size, checksum, name.\n");
  for (const ManifestEntry& e : entries)
    std::fprintf(f, "%" PRIu64 " %016" PRIx64 " %s\n", e.size, e.checksum, e.path.c_str());
  const bool written = std::ferror(f) == 0;
  return std::fclose(f) == 0 && written;
}

namespace {

// The manifest's lines: a file of some hundred lines, read whole up to a
// bound that no manifest comes near.
constexpr size_t kManifestMaxBytes = size_t{64} << 20;

void ParseManifest(const std::string& text, std::vector<ManifestEntry>& entries) {
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    ManifestEntry e;
    std::string size, sum;
    if (!(words >> size >> sum)) continue;
    std::getline(words >> std::ws, e.path);
    char* end = nullptr;
    e.size = std::strtoull(size.c_str(), &end, 10);
    if (*end != '\0' || size[0] == '-') continue;
    e.checksum = std::strtoull(sum.c_str(), &end, 16);
    if (*end != '\0' || sum.size() != 16) continue;
    // Names stay inside the folder.
    if (e.path.empty() || e.path[0] == '/' || e.path.find("..") != std::string::npos) continue;
    entries.push_back(e);
  }
}

// The whole text of a regular file of at most `limit` bytes; false, with
// the reason, otherwise.
bool ReadSmallFile(const std::string& file, size_t limit, std::string& text, std::string& why) {
  bool notRegular = false;
  const int fd = platform::OpenRegularFile(file.c_str(), &notRegular);
  if (fd < 0) {
    why = notRegular ? "not a file" : "cannot be read";
    return false;
  }
  text.clear();
  char buffer[1 << 16];
  bool ok = true;
  for (;;) {
    const long got = platform::ReadSome(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ok = false;
    if (got <= 0) break;
    text.append(buffer, static_cast<size_t>(got));
    if (text.size() > limit) {
      why = "larger than " + std::to_string(limit) + " bytes";
      platform::CloseFile(fd);
      return false;
    }
  }
  platform::CloseFile(fd);
  if (!ok) why = "cannot be read";
  return ok;
}

}  // namespace

bool ReadManifest(const std::string& file, std::vector<ManifestEntry>& entries) {
  entries.clear();
  std::string text, why;
  if (!ReadSmallFile(file, kManifestMaxBytes, text, why)) return false;
  ParseManifest(text, entries);
  return true;
}

ManifestState LoadManifest(const std::string& file, std::vector<ManifestEntry>& entries,
                           std::string& detail) {
  entries.clear();
  detail.clear();
  std::error_code ec;
  if (fs::symlink_status(file, ec).type() == fs::file_type::not_found) return ManifestState::Absent;
  std::string text;
  if (!ReadSmallFile(file, kManifestMaxBytes, text, detail)) return ManifestState::Damaged;
  ParseManifest(text, entries);
  if (!entries.empty()) return ManifestState::Read;
  detail = text.empty() ? "empty" : "lists no file";
  return ManifestState::Damaged;
}

std::vector<ManifestEntry> DescribeFiles(const std::string& root, const std::vector<std::string>& paths) {
  std::vector<ManifestEntry> out;
  for (const std::string& p : paths) {
    ManifestEntry e;
    e.path = p;
    if (FileChecksum((fs::path(root) / p).string(), e.size, e.checksum)) out.push_back(e);
  }
  return out;
}

bool FileLoads(const std::string& name, std::string& detail) {
  std::error_code ec;
  const uint64_t size = fs::file_size(name, ec);
  if (ec || !platform::MayRead(name.c_str())) {
    detail = "cannot be read";
    return false;
  }
  if (EndsWith(name, ".vx1")) return Vx1Loads(name, size, detail);
  if (EndsWith(name, ".wav")) return WaveLoads(name, detail);
  if (EndsWith(name, "pal_c.000")) return PaletteLoads(name, detail);
  if (EndsWith(name, ".bmp") || ThreeDigitExtension(name)) return PictureReads(name, detail);
  if (EndsWith(name, ".exe") && !platform::MayRun(name.c_str())) {
    detail = "cannot be run";
    return false;
  }
  return true;
}

namespace {

// What the game meets of one entry, read where the game reads it.
DataSetFinding Examine(const ManifestEntry& e) {
  const bool players = !platform::GeneratedSet().empty() && platform::PlayersFile(e.path.c_str());
  const std::string full = platform::GameFile(e.path.c_str());
  std::error_code ec;
  if (!fs::is_regular_file(full, ec)) {
    // A player's folder, a broken link or a pipe in the way hides the
    // generated file all the same, so it is the player's to mend.
    if (players) return {Finding::Damaged, e.path, "not a file", true};
    return {Finding::Missing, e.path, "", false};
  }
  std::string detail;
  if (!FileLoads(full, detail)) return {Finding::Damaged, e.path, detail, players};
  uint64_t size = 0, sum = 0;
  if (!FileChecksum(full, size, sum)) return {Finding::Damaged, e.path, "cannot be read", players};
  if (size != e.size || sum != e.checksum) return {Finding::Changed, e.path, "", players};
  return {Finding::Same, e.path, "", players};
}

}  // namespace

std::vector<DataSetFinding> CheckDataSet(const std::vector<ManifestEntry>& entries) {
  std::vector<DataSetFinding> findings;
  for (const ManifestEntry& e : entries) {
    DataSetFinding f = Examine(e);
    if (f.kind != Finding::Same) findings.push_back(std::move(f));
  }
  return findings;
}

std::vector<DataSetFinding> ListOverrides(const std::vector<ManifestEntry>& entries) {
  std::vector<DataSetFinding> out;
  if (platform::GeneratedSet().empty()) return out;
  for (const ManifestEntry& e : entries) {
    if (platform::PlayersFile(e.path.c_str())) out.push_back(Examine(e));
  }
  return out;
}
