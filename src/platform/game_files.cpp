#include "platform/game_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

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

}  // namespace platform
