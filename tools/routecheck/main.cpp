// routecheck: for every level of the world plan, searches the inputs that
// carry the player from each way in to each way out the plan needs, prints
// them, and exits with 1 when a route is missing.
//
//   routecheck [--root DIR] [--level N]... [--starts K] [--script LEVEL FILE]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/engine_effects.h"
#include "platform/headless/headless_backend.h"
#include "routecheck/input_script.h"
#include "routecheck/route_plan.h"
#include "shell/globals.h"

namespace {

namespace fs = std::filesystem;
using namespace routecheck;

constexpr const char* kUsage =
    "usage: routecheck [--root DIR] [--level N]... [--starts K] [--script LEVEL FILE]\n"
    "  --root DIR           the game folder whose data/ holds the level masks (default: .)\n"
    "  --level N            check only level N (repeatable)\n"
    "  --starts K           starts every route must work from (default 3)\n"
    "  --script LEVEL FILE  write the first route found in LEVEL as a whole-game input\n"
    "                       script for vxgame --headless --input FILE\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string root = ".";
  std::vector<int32_t> only;
  SearchLimits limits;
  int32_t scriptLevel = -1;
  std::string scriptFile;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--root" && i + 1 < argc) {
      root = argv[++i];
    } else if (a == "--level" && i + 1 < argc) {
      only.push_back(std::atoi(argv[++i]));
    } else if (a == "--starts" && i + 1 < argc) {
      limits.starts = std::max(1, std::atoi(argv[++i]));
    } else if (a == "--script" && i + 2 < argc) {
      scriptLevel = std::atoi(argv[++i]);
      scriptFile = argv[++i];
    } else {
      std::fprintf(stderr, "routecheck: %s '%s'\n",
                   a.rfind("--", 0) == 0 ? "unknown option or missing value" : "unexpected", a.c_str());
      return Usage();
    }
  }
  std::error_code ec;
  fs::current_path(root, ec);
  if (ec) {
    std::fprintf(stderr, "routecheck: cannot enter '%s'\n", root.c_str());
    return 2;
  }
  const std::vector<PlannedRoute> routes = RoutesFor(WorldPlanEntries());
  if (routes.empty()) {
    std::fprintf(stderr, "routecheck: the data set generator has no world plan\n");
    return 2;
  }
  platform::HeadlessBackend backend;
  platform::Install(&backend);
  PrepareEngine();
  GameState& g = game;
  int32_t missing = 0, checked = 0;
  bool scriptWritten = false;
  const auto began = std::chrono::steady_clock::now();
  for (const PlannedRoute& r : routes) {
    if (!only.empty() && std::find(only.begin(), only.end(), r.level) == only.end()) continue;
    if (!LoadLevelMask(g, r.level)) {
      std::printf("%s: NO MASK\n", r.task.name.c_str());
      ++missing;
      continue;
    }
    ++checked;
    const RouteResult found = FindRoute(g, r.task, limits);
    if (!found.found) {
      ++missing;
      std::printf("%s: NO ROUTE (%lld segments tried)\n", r.task.name.c_str(),
                  static_cast<long long>(found.segmentsRun));
      continue;
    }
    std::printf("%s: %d frames: %s\n", r.task.name.c_str(), found.frames, Describe(found.inputs).c_str());
    if (r.level == scriptLevel && !scriptWritten) {
      std::ofstream out(scriptFile);
      out << GameScript(r.task.name + ": " + Describe(found.inputs), found.inputs, 40);
      scriptWritten = static_cast<bool>(out);
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  std::printf("routes: %d checked, %d missing, %.1f s\n", checked, missing, seconds);
  platform::Install(nullptr);
  if (scriptLevel >= 0 && !scriptWritten) {
    std::fprintf(stderr, "routecheck: no script written for level %d\n", scriptLevel);
    return 1;
  }
  return missing == 0 ? 0 : 1;
}
