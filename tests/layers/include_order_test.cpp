// The folders' include order as docs/architecture.md writes it down: every
// `#include "..."` of src/ and tools/ must name its own folder or a lower
// layer. The order is read from the document's `layer N: ...` lines, so the
// document and the code cannot drift apart.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kRoot = VX_SOURCE_DIR;

// Folder (or "main.cpp", or "tools") to its layer.
using Layers = std::map<std::string, int>;

Layers ReadLayers(const fs::path& document) {
  Layers layers;
  std::ifstream in(document);
  const std::regex line(R"(^layer (\d+): (.+)$)");
  for (std::string text; std::getline(in, text);) {
    std::smatch m;
    if (!std::regex_match(text, m, line)) continue;
    std::istringstream names(m[2].str());
    for (std::string name; names >> name;) layers[name] = std::stoi(m[1].str());
  }
  return layers;
}

struct Include {
  fs::path file;
  int line = 0;
  std::string target;
};

std::vector<Include> QuotedIncludes(const fs::path& file) {
  std::vector<Include> out;
  std::ifstream in(file);
  const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
  int number = 0;
  for (std::string text; std::getline(in, text);) {
    ++number;
    std::smatch m;
    if (std::regex_search(text, m, include)) out.push_back({file, number, m[1].str()});
  }
  return out;
}

bool IsCode(const fs::path& p) { return p.extension() == ".h" || p.extension() == ".cpp"; }

std::string FirstPart(const fs::path& relative) { return relative.begin()->string(); }

// The layer a file of src/ or tools/ sits in, and the folder it belongs to
// ("main.cpp" for the entry; "tools/NAME" for a tool).
struct Home {
  std::string folder;
  int layer = -1;
};

Home HomeOf(const fs::path& file, const Layers& layers) {
  const fs::path rel = fs::relative(file, kRoot);
  const std::string top = FirstPart(rel);
  const fs::path inner = fs::relative(file, kRoot / top);
  if (top == "tools") {
    const auto it = layers.find("tools");
    return {"tools/" + FirstPart(inner), it == layers.end() ? -1 : it->second};
  }
  const std::string folder = inner.has_parent_path() ? FirstPart(inner) : inner.string();
  const auto it = layers.find(folder);
  return {folder, it == layers.end() ? -1 : it->second};
}

// What is wrong with one include, or "".
std::string Check(const Include& inc, const Home& home, const Layers& layers) {
  const fs::path target(inc.target);
  // A name without a folder is a neighbour in the same folder.
  if (!target.has_parent_path()) return "";
  const std::string folder = FirstPart(target);
  if (home.folder.rfind("tools/", 0) == 0) {
    if ("tools/" + folder == home.folder) return "";  // the tool's own files
    if (folder == "worldplan") return "";             // the world plan every tool may read
    if (fs::is_directory(kRoot / "tools" / folder)) return "a tool includes another tool's files";
  }
  if (folder == home.folder) return "";
  const auto it = layers.find(folder);
  if (it == layers.end()) return "includes folder '" + folder + "', which has no layer";
  // Folders of one layer (the game folders) may include each other.
  if (it->second > home.layer) {
    return "layer " + std::to_string(home.layer) + " (" + home.folder + ") includes layer " +
           std::to_string(it->second) + " (" + folder + ")";
  }
  return "";
}

std::vector<fs::path> CodeFiles() {
  std::vector<fs::path> files;
  for (const char* top : {"src", "tools"}) {
    for (const auto& e : fs::recursive_directory_iterator(kRoot / top)) {
      if (e.is_regular_file() && IsCode(e.path())) files.push_back(e.path());
    }
  }
  return files;
}

class IncludeOrder : public ::testing::Test {
 protected:
  void SetUp() override {
    layers = ReadLayers(kRoot / "docs" / "architecture.md");
    ASSERT_FALSE(layers.empty()) << "docs/architecture.md has no 'layer N: ...' lines";
  }
  Layers layers;
};

TEST_F(IncludeOrder, EverySourceFolderHasALayer) {
  for (const auto& e : fs::directory_iterator(kRoot / "src")) {
    const std::string name = e.path().filename().string();
    if (e.is_directory() || IsCode(e.path())) {
      EXPECT_EQ(layers.count(name), 1u) << "src/" << name << " is missing from the layer order";
    }
  }
  EXPECT_EQ(layers.count("tools"), 1u);
}

TEST_F(IncludeOrder, NoFolderIncludesAHigherLayer) {
  std::vector<std::string> wrong;
  size_t seen = 0;
  for (const fs::path& file : CodeFiles()) {
    const Home home = HomeOf(file, layers);
    for (const Include& inc : QuotedIncludes(file)) {
      ++seen;
      const std::string problem =
          home.layer < 0 ? "the file's folder has no layer" : Check(inc, home, layers);
      if (!problem.empty()) {
        wrong.push_back(fs::relative(file, kRoot).string() + ":" + std::to_string(inc.line) + ": \"" +
                        inc.target + "\": " + problem);
      }
    }
  }
  EXPECT_GT(seen, 200u) << "the walk found too few includes to mean anything";
  std::string all;
  for (const std::string& w : wrong) all += w + "\n";
  EXPECT_TRUE(wrong.empty()) << all;
}

TEST_F(IncludeOrder, OnlyThePlatformLayerIncludesSdl) {
  const std::regex sdl(R"(^\s*#\s*include\s*[<"]SDL)");
  for (const fs::path& file : CodeFiles()) {
    const fs::path rel = fs::relative(file, kRoot);
    if (rel.string().rfind("src/platform/", 0) == 0) continue;
    std::ifstream in(file);
    int number = 0;
    for (std::string text; std::getline(in, text);) {
      ++number;
      EXPECT_FALSE(std::regex_search(text, sdl)) << rel.string() << ":" << number;
    }
  }
}

}  // namespace
