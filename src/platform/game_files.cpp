#include "platform/game_files.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>

#include "platform/regular_file.h"

namespace platform {
namespace {

struct GeneratedLayer {
  std::string folder;
  std::vector<std::string> names;  // sorted
};

GeneratedLayer& Generated() {
  static GeneratedLayer layer;
  return layer;
}

}  // namespace

void SetGeneratedSet(const std::string& folder, std::vector<std::string> names) {
  GeneratedLayer& g = Generated();
  g.folder = folder;
  while (g.folder.size() > 1 && g.folder.back() == '/') g.folder.pop_back();
  std::sort(names.begin(), names.end());
  g.names = std::move(names);
}

const std::string& GeneratedSet() { return Generated().folder; }

bool PlayersFile(const char* name) {
  std::error_code ec;
  return name != nullptr && name[0] != '\0' &&
         std::filesystem::exists(std::filesystem::symlink_status(name, ec));
}

std::string GameFile(const char* name) {
  if (name == nullptr) return "";
  const GeneratedLayer& g = Generated();
  if (g.folder.empty() || name[0] == '/' || name[0] == '\0' || PlayersFile(name)) return name;
  const char* rest = name;
  while (rest[0] == '.' && rest[1] == '/') rest += 2;
  if (!std::binary_search(g.names.begin(), g.names.end(), std::string(rest))) return name;
  return g.folder + "/" + rest;
}

std::vector<bool> RegularGameFiles(const std::string& folder, const std::vector<std::string>& names) {
  std::vector<bool> regular(names.size(), false);
  // The listing answers by exact name; where the file system matches names
  // in any case, or the folder does not list, each name is asked for.
#if defined(_WIN32)
  const bool listed = false;
#else
  bool listed = !folder.empty() && folder[0] != '/' && folder[0] != '.';
  for (const std::string& name : names) listed = listed && name.find('/') == std::string::npos;
#endif
  std::set<std::string> players;
  std::error_code ec;
  if (listed) {
    std::filesystem::directory_iterator it(folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
      players.insert(it->path().filename().string());
  }
  if (!listed || (ec && ec != std::errc::no_such_file_or_directory)) {
    for (size_t i = 0; i < names.size(); ++i)
      regular[i] = IsRegularFile(GameFile((folder + "/" + names[i]).c_str()).c_str());
    return regular;
  }
  const GeneratedLayer& g = Generated();
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string name = folder + "/" + names[i];
    if (players.count(names[i]) != 0) {
      regular[i] = IsRegularFile(name.c_str());
    } else if (!g.folder.empty() && std::binary_search(g.names.begin(), g.names.end(), name)) {
      regular[i] = IsRegularFile((g.folder + "/" + name).c_str());
    }
  }
  return regular;
}

}  // namespace platform
