// The folders' include order as docs/architecture.md writes it down: every
// `#include "..."` of src/ and tools/ must name its own folder or a lower
// layer, and inside the game layer a folder of a lower `game layer N: ...`
// line never includes a higher one. The order is read from the document's
// lines, so the document and the code cannot drift apart. Beside the order,
// no circle of modules (a header and its .cpp) may appear in src/.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kRoot = VX_SOURCE_DIR;

// Folder (or "main.cpp", or "tools") to its layer.
using Layers = std::map<std::string, int>;

Layers ReadLayers(const fs::path& document, const std::string& prefix = "layer") {
  Layers layers;
  std::ifstream in(document);
  const std::regex line("^" + prefix + R"( (\d+): (.+)$)");
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

std::string TopFolder(const fs::path& file) { return FirstPart(fs::relative(file, kRoot)); }

std::vector<fs::path> CodeFiles() {
  std::vector<fs::path> files;
  for (const char* top : {"src", "tools"}) {
    for (const auto& e : fs::recursive_directory_iterator(kRoot / top)) {
      if (e.is_regular_file() && IsCode(e.path())) files.push_back(e.path());
    }
  }
  return files;
}

// Inside the game layer: what is wrong with one include of a game folder's
// file, or "". A folder includes its own files and those of game folders on
// lower lines only (so monsters and menus, on one line, never each other).
std::string CheckGameOrder(const Include& inc, const Home& home, const Layers& order) {
  const fs::path target(inc.target);
  if (!target.has_parent_path()) return "";
  const std::string folder = FirstPart(target);
  const auto mine = order.find(home.folder);
  const auto theirs = order.find(folder);
  if (mine == order.end() || theirs == order.end() || folder == home.folder) return "";
  if (theirs->second >= mine->second) {
    return "game layer " + std::to_string(mine->second) + " (" + home.folder + ") includes game layer " +
           std::to_string(theirs->second) + " (" + folder + ")";
  }
  return "";
}

class IncludeOrder : public ::testing::Test {
 protected:
  void SetUp() override {
    layers = ReadLayers(kRoot / "docs" / "architecture.md");
    ASSERT_FALSE(layers.empty()) << "docs/architecture.md has no 'layer N: ...' lines";
    gameOrder = ReadLayers(kRoot / "docs" / "architecture.md", "game layer");
    ASSERT_FALSE(gameOrder.empty()) << "docs/architecture.md has no 'game layer N: ...' lines";
  }
  Layers layers;
  Layers gameOrder;
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

TEST_F(IncludeOrder, TheGameOrderCoversTheGameLayer) {
  std::set<std::string> gameLayer;
  for (const auto& [folder, layer] : layers) {
    if (layer == layers.at("game")) gameLayer.insert(folder);
  }
  std::set<std::string> ordered;
  for (const auto& entry : gameOrder) ordered.insert(entry.first);
  EXPECT_EQ(ordered, gameLayer);
}

TEST_F(IncludeOrder, NoFolderIncludesAHigherLayer) {
  std::vector<std::string> wrong;
  size_t seen = 0;
  for (const fs::path& file : CodeFiles()) {
    const Home home = HomeOf(file, layers);
    for (const Include& inc : QuotedIncludes(file)) {
      ++seen;
      std::string problem = home.layer < 0 ? "the file's folder has no layer" : Check(inc, home, layers);
      if (problem.empty() && TopFolder(file) == "src") problem = CheckGameOrder(inc, home, gameOrder);
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

// A module is a file without its extension ("game/fight" for fight.h and
// fight.cpp); module A reaches B when one of A's files includes B's header.
using ModuleGraph = std::map<std::string, std::set<std::string>>;

ModuleGraph SourceModules() {
  ModuleGraph graph;
  const fs::path src = kRoot / "src";
  for (const fs::path& file : CodeFiles()) {
    const fs::path rel = fs::relative(file, src);
    if (rel.string().rfind("..", 0) == 0) continue;  // tools/
    const std::string module = (rel.parent_path() / rel.stem()).generic_string();
    graph[module];
    for (const Include& inc : QuotedIncludes(file)) {
      fs::path target(inc.target);
      if (!target.has_parent_path()) target = rel.parent_path() / target;
      const std::string to = (target.parent_path() / target.stem()).generic_string();
      if (to != module) graph[module].insert(to);
    }
  }
  return graph;
}

// The circles of the graph: its strongly connected parts of more than one
// module (Tarjan's walk).
std::vector<std::set<std::string>> Circles(const ModuleGraph& graph) {
  std::map<std::string, int> index, low;
  std::vector<std::string> stack;
  std::set<std::string> onStack;
  std::vector<std::set<std::string>> circles;
  int next = 0;
  std::function<void(const std::string&)> visit = [&](const std::string& v) {
    index[v] = low[v] = next++;
    stack.push_back(v);
    onStack.insert(v);
    const auto it = graph.find(v);
    if (it != graph.end()) {
      for (const std::string& w : it->second) {
        if (index.count(w) == 0) {
          visit(w);
          low[v] = std::min(low[v], low[w]);
        } else if (onStack.count(w) != 0) {
          low[v] = std::min(low[v], index[w]);
        }
      }
    }
    if (low[v] != index[v]) return;
    std::set<std::string> part;
    std::string w;
    do {
      w = stack.back();
      stack.pop_back();
      onStack.erase(w);
      part.insert(w);
    } while (w != v);
    if (part.size() > 1) circles.push_back(part);
  };
  for (const auto& entry : graph) {
    if (index.count(entry.first) == 0) visit(entry.first);
  }
  return circles;
}

TEST(ModuleCircles, TheWalkFindsACircle) {
  const ModuleGraph graph = {{"a/x", {"a/y"}}, {"a/y", {"b/z"}}, {"b/z", {"a/x"}}, {"b/w", {"a/x"}}};
  const auto circles = Circles(graph);
  ASSERT_EQ(circles.size(), 1u);
  EXPECT_EQ(circles[0], (std::set<std::string>{"a/x", "a/y", "b/z"}));
  EXPECT_TRUE(Circles({{"a/x", {"a/y"}}, {"a/y", {}}}).empty());
}

// No module reaches itself through others, in any folder: a set-up that
// needs the parts built on a context lives in a file of its own
// (gfx/init_graphics.cpp, shell/reset_all.cpp), not in the context's .cpp.
TEST(ModuleCircles, NoneInTheSources) {
  const ModuleGraph graph = SourceModules();
  ASSERT_GT(graph.size(), 100u) << "the walk found too few modules to mean anything";
  for (const std::set<std::string>& circle : Circles(graph)) {
    std::string names;
    for (const std::string& m : circle) names += " " + m;
    ADD_FAILURE() << "a circle of modules:" << names;
  }
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
