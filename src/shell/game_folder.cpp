#include "shell/game_folder.h"

#include <system_error>

#include "assets/data_set_check.h"

namespace fs = std::filesystem;

namespace {

// Whether the file holds what the entry describes.
bool Matches(const fs::path& file, const ManifestEntry& e) {
  uint64_t size = 0, sum = 0;
  std::error_code ec;
  if (!fs::is_regular_file(file, ec) || fs::file_size(file, ec) != e.size || ec) return false;
  return FileChecksum(file.string(), size, sum) && size == e.size && sum == e.checksum;
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
  // A data set that is the player's folder itself is one layer.
  if (!out.dataSet.empty() && fs::equivalent(out.dataSet, out.folder, ec)) out.dataSet.clear();
  // Without a data set only a whole game folder (one an earlier version
  // filled, with its manifest) can be played.
  if (out.dataSet.empty() && !fs::is_regular_file(out.folder / kManifestFile, ec)) {
    std::string places;
    for (const fs::path& p : dataSetPlaces) places += (places.empty() ? "" : ", ") + p.string();
    error = "no data set for the game folder " + out.folder.string() + " (looked in " + places +
            "); build it with ./scripts/play.sh, or use --root DIR";
    return false;
  }
  return true;
}

bool PreparePlayersFolder(const fs::path& folder, PlayersFolderReport& report, std::string& error) {
  report = PlayersFolderReport{};
  std::error_code ec;
  for (const char* sub : {"data", "music"}) {
    fs::create_directories(folder / sub, ec);
    if (ec) {
      error = "cannot make the game folder " + (folder / sub).string() + ": " + ec.message();
      return false;
    }
  }
  const fs::path manifest = folder / kManifestFile;
  std::vector<ManifestEntry> copied;
  if (!ReadManifest(manifest.string(), copied)) return true;  // nothing copied here
  for (const ManifestEntry& e : copied) {
    const fs::path file = folder / e.path;
    if (Matches(file, e) && fs::remove(file, ec)) {
      ++report.removed;
    } else if (fs::exists(fs::symlink_status(file, ec))) {
      ++report.kept;
    }
  }
  // Last, so that a start cut short here finishes the work the next time.
  fs::remove(manifest, ec);
  if (ec) {
    error = "cannot remove " + manifest.string() + ": " + ec.message();
    return false;
  }
  return true;
}
