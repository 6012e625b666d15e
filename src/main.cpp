// vxgame: the command line, the choice of platform backend, then the engine.
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "display/screenshot.h"
#include "game/new_game_start.h"
#include "platform/headless/headless_backend.h"
#include "platform/sdl/sdl_backend.h"
#include "shell/command_line.h"
#include "shell/globals.h"
#include "shell/window.h"

namespace fs = std::filesystem;

namespace {

std::vector<Screenshot> gScreenshots;
std::ofstream gTrace;

void AfterFrame(int64_t frame) {
  for (const Screenshot& s : gScreenshots) {
    if (s.frame != frame) continue;
    const GfxContext& gfx = engine.gfx;
    if (!WritePng(s.file, gfx.backBuffer, gfx.screenWidth, gfx.screenHeight, gfx.screenWidth))
      std::fprintf(stderr, "vxgame: could not write screenshot '%s'\n", s.file.c_str());
  }
  if (gTrace.is_open()) {
    // One line per frame, enough to tell two runs apart at the first frame
    // where they differ: the random state changes with every draw.
    const GameState& g = game;
    gTrace << "frame " << frame << " mode " << dispatcher.gameMode << " step " << dispatcher.loadingStep << " level "
           << g.level << " x " << WholePixel(g.playerX) << " y " << WholePixel(g.playerY) << " alive "
           << g.playerAlive << " health " << g.health << " weapon " << g.weapon << " fight " << g.fightState
           << " time " << g.fightTime << " result " << g.frameResult << " menu " << g.menuScreen << " fade "
           << g.fadeCurrent << " random " << std::hexfloat << engine.random.s << std::defaultfloat << '\n';
  }
}

fs::path ExecutableDir(const char* argv0) {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) self = fs::absolute(argv0, ec);
  return self.parent_path();
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "vxgame: %s\n", message.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine cl;
  std::string error;
  if (!ParseCommandLine(argc, argv, cl, error)) {
    std::fprintf(stderr, "vxgame: %s\n%s", error.c_str(), UsageText());
    return 2;
  }
  if (cl.help) {
    std::fputs(UsageText(), stdout);
    return 0;
  }
  if (cl.version) {
    std::puts(VX_VERSION_TEXT);
    return 0;
  }

  std::error_code ec;
  const fs::path root = cl.root.empty() ? ExecutableDir(argv[0]) / "game" : fs::path(cl.root);
  if (!fs::is_directory(root, ec)) return Fail("game folder '" + root.string() + "' does not exist");

  std::vector<platform::ScriptEvent> script;
  if (!cl.inputFile.empty()) {
    if (!cl.headless) return Fail("--input needs --headless");
    if (!platform::ReadInputScript(cl.inputFile.c_str(), script, error))
      return Fail("input script '" + cl.inputFile + "': " + error);
  }
  const bool scriptCloses =
      std::any_of(script.begin(), script.end(), [](const platform::ScriptEvent& e) { return e.close; });
  if (cl.headless && cl.frames < 0 && !scriptCloses)
    return Fail("--headless needs --frames N or a close event in the input script");

  // Output files are named relative to where the program was started.
  for (Screenshot& s : cl.screenshots) s.file = fs::absolute(s.file, ec).string();
  gScreenshots = cl.screenshots;
  if (!cl.traceFile.empty()) {
    gTrace.open(fs::absolute(cl.traceFile, ec), std::ios::out | std::ios::trunc);
    if (!gTrace) return Fail("cannot write trace file '" + cl.traceFile + "'");
  }
  if (cl.level >= 0) {
    newGameStart.level = cl.level;
    newGameStart.straightToGame = 1;
  }
  fs::current_path(root, ec);
  if (ec) return Fail("cannot enter game folder '" + root.string() + "': " + ec.message());

  // The music decoders run detached and are never waited for.
  std::signal(SIGCHLD, SIG_IGN);

  std::unique_ptr<platform::Backend> backend;
  if (cl.headless) {
    auto headless = std::make_unique<platform::HeadlessBackend>();
    headless->SetScript(std::move(script));
    backend = std::move(headless);
  } else {
    auto sdl = std::make_unique<platform::SdlBackend>();
    if (!sdl->Start(error)) {
      std::fprintf(stderr, "vxgame: cannot open a display (%s); try --headless\n", error.c_str());
      return 1;
    }
    backend = std::move(sdl);
  }
  backend->SetFrameLimit(cl.frames);
  platform::Install(backend.get());
  SetFrameObserver(&AfterFrame);
  const int32_t rc = WinMain();
  gTrace.close();
  return rc;
}
