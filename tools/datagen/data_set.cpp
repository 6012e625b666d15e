#include "datagen/data_set.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "assets/data_set_check.h"
#include "gfx/picture_file.h"

namespace datagen {

namespace fs = std::filesystem;

namespace {

bool EndsWith(const std::string& s, const char* end) {
  const size_t n = std::strlen(end);
  return s.size() >= n && s.compare(s.size() - n, n, end) == 0;
}

// A new, empty file of our own beside `final` (".NAME.vxdata-XXXXXX"),
// made exclusively so that nothing at that name is followed or written
// through; empty when it cannot be made.
std::string MakeTemporary(const fs::path& final, unsigned mode, std::string& why) {
  std::string pattern = (final.parent_path() / ("." + final.filename().string() + ".vxdata-XXXXXX")).string();
  const int fd = mkstemp(pattern.data());
  if (fd < 0) {
    why = std::strerror(errno);
    return {};
  }
  (void)fchmod(fd, static_cast<mode_t>(mode));
  close(fd);
  return pattern;
}

// A file the game cannot have been given on purpose: cut to nothing, or a
// picture or sample that does not load.
bool Damaged(const std::string& path, uint64_t size) {
  if (size == 0) return true;
  if (!EndsWith(path, ".vx1") && !EndsWith(path, ".wav")) return false;
  std::string detail;
  return !FileLoads(path, detail);
}

// Removes the temporary files that a run stopped short (killed, or its
// machine down) left in `folder`: ".NAME.vxdata-" and six characters.
void SweepLeftovers(const fs::path& folder) {
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    const std::string name = e.path().filename().string();
    const size_t at = name.rfind(".vxdata-");
    if (name[0] != '.' || at == std::string::npos || at == 0 || name.size() - at != 14) continue;
    if (e.is_regular_file(ec)) fs::remove(e.path(), ec);
  }
}

std::string Stamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

}  // namespace

DataSetWriter::DataSetWriter(std::string root, bool force) : force_(force), root_(std::move(root)) {
  const mode_t mask = umask(0);
  umask(mask);
  fileMode_ = 0666u & ~static_cast<unsigned>(mask);
}

DataSetWriter::~DataSetWriter() { Abandon(); }

std::string DataSetWriter::Path(const std::string& relative) {
  const std::string name = fs::path(relative).lexically_normal().generic_string();
  files_.insert(name);
  if (const auto it = temporary_.find(name); it != temporary_.end()) return it->second;
  const fs::path final = fs::path(root_) / name;
  std::error_code ec;
  fs::create_directories(final.parent_path(), ec);
  if (ec) {
    Fail("cannot create folder " + final.parent_path().string() + ": " + ec.message());
    return temporary_[name] = "";
  }
  if (swept_.insert(final.parent_path().string()).second) SweepLeftovers(final.parent_path());
  std::string why;
  const std::string temporary = MakeTemporary(final, fileMode_, why);
  if (temporary.empty()) Fail("cannot write " + final.string() + ": " + why);
  return temporary_[name] = temporary;
}

void DataSetWriter::WriteBytes(const std::string& relative, const std::string& bytes) {
  const std::string path = Path(relative);
  if (path.empty()) return;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) Fail("cannot write " + (fs::path(root_) / relative).string());
}

void DataSetWriter::WritePicture(const std::string& relative, const Canvas& canvas, bool floor) {
  WritePicture(relative, canvas.width(), canvas.height(), canvas.ToPixels(floor));
}

void DataSetWriter::WritePicture(const std::string& relative, int32_t width, int32_t height,
                                 const std::vector<uint32_t>& pixels) {
  const std::string path = Path(relative);
  if (!path.empty() && !WriteVx1(path.c_str(), width, height, pixels.data()))
    Fail("cannot write " + (fs::path(root_) / relative).string());
  NotePicture(relative);
}

void DataSetWriter::Fail(const std::string& message) { errors_.push_back(message); }

void DataSetWriter::Abandon() {
  for (const auto& [name, temporary] : temporary_)
    if (!temporary.empty()) unlink(temporary.c_str());
  temporary_.clear();
}

bool DataSetWriter::MoveAside(const std::string& relative) {
  std::error_code ec;
  if (backupFolder_.empty()) {
    // A folder of this run's own, never one an earlier run filled.
    const std::string stamp = Stamp();
    for (int n = 1; n < 100 && backupFolder_.empty(); ++n) {
      const std::string name = "vxdata-backup/" + stamp + (n == 1 ? "" : "-" + std::to_string(n));
      const fs::path folder = fs::path(root_) / name;
      fs::create_directories(folder.parent_path(), ec);
      if (!ec && fs::create_directory(folder, ec) && !ec) backupFolder_ = name;
    }
    if (backupFolder_.empty()) {
      Fail("cannot make a backup folder in " + (fs::path(root_) / "vxdata-backup").string());
      return false;
    }
  }
  const fs::path from = fs::path(root_) / relative;
  const fs::path to = fs::path(root_) / backupFolder_ / relative;
  fs::create_directories(to.parent_path(), ec);
  if (!ec) fs::rename(from, to, ec);
  if (ec) {
    Fail("cannot move " + from.string() + " into " + to.parent_path().string() + ": " + ec.message());
    return false;
  }
  backedUp_.push_back(relative);
  changedFolder_ = true;
  return true;
}

bool DataSetWriter::Finish(const std::string& manifestName) {
  // Every file was written, and reads back, before anything moves.
  std::vector<ManifestEntry> entries;
  for (const std::string& name : files_) {
    ManifestEntry e;
    e.path = name;
    const std::string& temporary = temporary_[name];
    if (temporary.empty()) continue;  // its failure is among the errors
    if (!FileChecksum(temporary, e.size, e.checksum))
      Fail("cannot read back " + (fs::path(root_) / name).string());
    entries.push_back(e);
  }
  const fs::path manifest = fs::path(root_) / manifestName;
  std::string manifestTemporary;
  if (errors_.empty()) {
    if (swept_.insert(manifest.parent_path().string()).second) SweepLeftovers(manifest.parent_path());
    std::string why;
    manifestTemporary = MakeTemporary(manifest, fileMode_, why);
    if (manifestTemporary.empty())
      Fail("cannot write the manifest " + manifest.string() + ": " + why);
    else if (!WriteManifest(manifestTemporary, entries))
      Fail("cannot write the manifest " + manifest.string());
  }
  if (!errors_.empty()) {
    if (!manifestTemporary.empty()) unlink(manifestTemporary.c_str());
    Abandon();
    return false;
  }

  // Something other than a file where the manifest goes would stop it last
  // of all, once the files were moved: it goes aside first.
  struct stat at {};
  if (lstat(manifest.c_str(), &at) == 0 && !S_ISREG(at.st_mode) && !MoveAside(manifestName)) {
    unlink(manifestTemporary.c_str());
    Abandon();
    return false;
  }

  // What the previous run wrote: a file still as it lists it is ours to
  // replace; any other is the player's.
  std::vector<ManifestEntry> listed;
  std::map<std::string, ManifestEntry> previous;
  if (ReadManifest(manifest.string(), listed))
    for (const ManifestEntry& e : listed) previous[e.path] = e;

  for (const ManifestEntry& made : entries) {
    const std::string& name = made.path;
    const fs::path final = fs::path(root_) / name;
    const std::string temporary = temporary_[name];
    struct stat st {};
    bool replace = true;
    if (lstat(final.c_str(), &st) == 0) {
      uint64_t size = 0, sum = 0;
      const bool file = S_ISREG(st.st_mode) && FileChecksum(final.string(), size, sum);
      const auto was = previous.find(name);
      const bool ours =
          file && ((size == made.size && sum == made.checksum) ||
                   (was != previous.end() && size == was->second.size && sum == was->second.checksum));
      if (!ours) {
        if (file && !force_ && !Damaged(final.string(), size)) {
          kept_.push_back(name);
          replace = false;
        } else if (!MoveAside(name)) {
          replace = false;
        }
      }
    }
    bool placed = false;
    if (replace) {
      std::error_code ec;
      fs::rename(temporary, final, ec);
      if (ec)
        Fail("cannot put " + final.string() + " in place: " + ec.message());
      else
        placed = changedFolder_ = true;
    }
    if (!placed) unlink(temporary.c_str());
    temporary_.erase(name);
  }
  if (!errors_.empty()) {
    unlink(manifestTemporary.c_str());
    Abandon();
    return false;
  }
  std::error_code ec;
  fs::rename(manifestTemporary, manifest, ec);
  if (ec) {
    unlink(manifestTemporary.c_str());
    Fail("cannot put the manifest " + manifest.string() + " in place: " + ec.message());
    return false;
  }
  changedFolder_ = true;
  return true;
}

bool WriteDataSet(DataSetWriter& out) {
  WriteConfigFile(out);
  WriteTexts(out);
  WriteFonts(out);
  WriteInterfaceArt(out);
  WriteFaces(out);
  WriteCreatures(out);
  WriteFog(out);
  WritePlayerArt(out);
  WriteWorld(out);
  WriteSounds(out);
  WriteMusic(out);
  WriteLevelObjects(out);
  return out.Finish(kManifestFile);
}

}  // namespace datagen
