#include "shell/game_folder.h"

#include <map>
#include <system_error>

#include "assets/data_set_check.h"

namespace fs = std::filesystem;

namespace {

bool SameEntry(const ManifestEntry& a, const ManifestEntry& b) {
  return a.size == b.size && a.checksum == b.checksum;
}

// Whether the file holds what the entry describes.
bool Matches(const fs::path& file, const ManifestEntry& e) {
  uint64_t size = 0, sum = 0;
  std::error_code ec;
  if (fs::file_size(file, ec) != e.size || ec) return false;
  return FileChecksum(file.string(), size, sum) && size == e.size && sum == e.checksum;
}

// Copies through a temporary name, so that a copy cut short never stands
// where the game would read it; the permissions come along (the music
// decoders must stay runnable).
bool CopyFile(const fs::path& from, const fs::path& to, std::string& error) {
  std::error_code ec;
  fs::create_directories(to.parent_path(), ec);
  const fs::path temporary = to.string() + ".new";
  fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, ec);
  if (!ec) fs::permissions(temporary, fs::status(from).permissions(), ec);
  if (!ec) fs::rename(temporary, to, ec);
  if (ec) {
    fs::remove(temporary, ec);
    error = "cannot copy " + from.string() + " to " + to.string() + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace

std::string XdgDataHome(const char* xdgDataHome, const char* home) {
  // Relative values are invalid and ignored, as an empty one is.
  if (xdgDataHome != nullptr && xdgDataHome[0] == '/') return xdgDataHome;
  if (home != nullptr && home[0] == '/') return (fs::path(home) / ".local" / "share").string();
  return "";
}

bool ChooseGameFolder(const std::string& root, const fs::path& programFolder,
                      const std::vector<fs::path>& dataSetPlaces, const std::string& dataHome,
                      GameFolderChoice& out, std::string& error) {
  out = GameFolderChoice{};
  std::error_code ec;
  if (!root.empty()) {
    out.kind = GameFolderChoice::Kind::Root;
    out.folder = root;
    if (!fs::is_directory(out.folder, ec)) {
      error = "game folder '" + root + "' does not exist";
      return false;
    }
    return true;
  }
  const fs::path portable = programFolder / "game";
  if (fs::exists(portable / kPortableMarker, ec)) {
    out.kind = GameFolderChoice::Kind::Portable;
    out.folder = portable;
    return true;
  }
  out.kind = GameFolderChoice::Kind::PerUser;
  for (const fs::path& place : dataSetPlaces) {
    if (fs::is_regular_file(place / kManifestFile, ec)) {
      out.dataSet = place;
      break;
    }
  }
  if (dataHome.empty()) {
    error = "no home folder for the game (neither XDG_DATA_HOME nor HOME is set); use --root DIR";
    return false;
  }
  out.folder = fs::path(dataHome) / kGameFolderName;
  if (out.dataSet.empty() && !fs::is_directory(out.folder, ec)) {
    std::string places;
    for (const fs::path& p : dataSetPlaces) places += (places.empty() ? "" : ", ") + p.string();
    error = "no game folder at " + out.folder.string() + " and no data set to fill it from (looked in " +
            places + "); build it with ./scripts/play.sh, or use --root DIR";
    return false;
  }
  return true;
}

bool FillGameFolder(const fs::path& dataSet, const fs::path& folder, FillReport& report, std::string& error) {
  report = FillReport{};
  std::vector<ManifestEntry> installed;
  if (!ReadManifest((dataSet / kManifestFile).string(), installed)) {
    error = "cannot read " + (dataSet / kManifestFile).string();
    return false;
  }
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    error = "cannot make the game folder " + folder.string() + ": " + ec.message();
    return false;
  }
  std::vector<ManifestEntry> before;
  ReadManifest((folder / kManifestFile).string(), before);
  std::map<std::string, ManifestEntry> was;
  for (const ManifestEntry& e : before) was[e.path] = e;

  std::vector<ManifestEntry> now;
  bool changedManifest = before.size() != installed.size();
  for (const ManifestEntry& e : installed) {
    const fs::path target = folder / e.path;
    const auto old = was.find(e.path);
    const bool present = fs::is_regular_file(target, ec);
    if (present && old != was.end() && SameEntry(old->second, e)) {
      now.push_back(e);  // the same data set as last time: nothing to look at
      continue;
    }
    changedManifest = true;
    if (!present) {
      if (!CopyFile(dataSet / e.path, target, error)) return false;
      ++report.copied;
      now.push_back(e);
    } else if (old != was.end() && Matches(target, old->second)) {
      // Ours, as installed last time, and the data set has a new one.
      if (!CopyFile(dataSet / e.path, target, error)) return false;
      ++report.updated;
      now.push_back(e);
    } else if (old == was.end() && Matches(target, e)) {
      now.push_back(e);  // already what the data set holds
    } else {
      // The player's own version: it stays, and the manifest keeps saying
      // what was installed so that the start-up check calls it changed.
      ++report.kept;
      now.push_back(old != was.end() ? old->second : e);
    }
  }
  if (!changedManifest) return true;
  const fs::path manifest = folder / kManifestFile;
  const fs::path temporary = manifest.string() + ".new";
  if (!WriteManifest(temporary.string(), now)) {
    error = "cannot write " + manifest.string();
    return false;
  }
  fs::rename(temporary, manifest, ec);
  if (ec) {
    error = "cannot write " + manifest.string() + ": " + ec.message();
    return false;
  }
  return true;
}
