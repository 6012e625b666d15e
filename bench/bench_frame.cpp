// The in-game frame on every level of a generated game folder: 600 frames
// per level, each timed from RunGameFrame through the present, against one
// memcpy of the back buffer measured in the same run. A plain timing program:
//   bench_frame GAMEFOLDER [FRAMES [CASE...]]
// (write the folder first with `vxdata GAMEFOLDER`). CASEs name levels
// ("4") and monster loads ("2+mon"); without them every case runs. It works with whatever
// pictures the folder holds; a level without its pictures shows the
// decoration over a black one. "at" is the frame (from the level's start)
// of the worst time.
//
// The "fight" row is a running fight on level 2 at the lowest difficulty,
// reinforcements arriving until the object table holds only 15 free records.
//
// The music check loads a track's samples (a file of some 12 MB) in the
// first frame of the first level that plays it. That happens once per run
// of the game, whatever the frame does, so it is timed on its own before
// the levels (all three tracks, "track loads") and kept out of the frame
// times; the levels then only switch between loaded tracks.
//
// With --play SCRIPT it plays a recorded input script instead (the whole
// game: tests/e2e/playthrough.txt) as vxgame --headless --input would, in a
// temporary folder with the data of GAMEFOLDER and the settings the
// recording was made with, and times every frame of it, menus included:
//   bench_frame GAMEFOLDER --play SCRIPT [RUNS]
// Every form takes --level plain|sse2|avx2|avx512 to run the kernels at that
// level rather than the best the processor has; --play also takes --hash,
// which prints one hash of every frame's back buffer.
// Frames are timed by the wall clock (the game hands part of its work to
// other threads, which the drawing thread's own processor time would leave
// out), and each frame keeps the least of its times over RUNS replays (5
// unless given): the run is the same each time.
//
// After the levels, the heaviest monster load a level can hold: the object
// table full (101 records of mixed kinds) and the debris table full (201
// pieces), topped up again before every frame (untimed), on a level's
// picture and effects over a stand-in mask with a floor, the player
// swinging his weapon. Its first frames rebuild the weapon's poses.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "assets/picture_prefetch.h"
#include "bench_support.h"
#include "display/screen_handler.h"
#include "engine/engine_effects.h"
#include "game/fight.h"
#include "game/game_frame.h"
#include "game/level_start.h"
#include "game/objects.h"
#include "game/placements.h"
#include "game/singletons.h"
#include "gfx/drawing.h"
#include "monster_scene.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/input_script.h"
#include "platform/window_messages.h"
#include "program_args.h"
#include "shell/exit.h"
#include "shell/globals.h"
#include "shell/mode_dispatcher.h"
#include "shell/window.h"
#include "sound/music.h"

namespace {

constexpr int32_t kLevels[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15, 16, 17, 18, 19, 24};
constexpr double kMedianGoal = 15.0;
constexpr double kWorstGoal = 30.0;
constexpr int32_t kFrameMs = 28;  // the game's pace: 35 frames a second
// The levels the full monster load is timed on: the start level and the
// dearest level picture.
constexpr int32_t kMonsterLevels[] = {2, 24};
// A level of each music track, in the order a game meets them.
constexpr int32_t kTrackLevels[] = {0, 5, 10};

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())));
  return v[i];
}

// The music decoders run as separate programs the first time a folder is
// played; they would share the processor with the frames being timed.
void WaitForMusicDecoders(platform::HeadlessBackend& backend) {
  const auto start = std::chrono::steady_clock::now();
  while (game.settings.musicOn != 0 && game.music.tracksReady < 3) {
    if (std::chrono::steady_clock::now() - start > std::chrono::minutes(5)) {
      std::fprintf(stderr, "bench_frame: the music decoders did not finish; timing anyway\n");
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    backend.SetClock(backend.ClockMs() + kFrameMs);
    UpdateMusic(game.music, game.settings, game.level, engine.sound);
  }
}

// Loads every music track as the first level of its track would, each
// timed alone, and lets each switch complete. Answers the load times in ms
// (-1 for a track the loading screen had loaded already).
std::vector<double> PreloadMusicTracks(platform::HeadlessBackend& backend) {
  std::vector<double> loads;
  if (game.settings.musicOn == 0) return loads;
  for (size_t track = 0; track < std::size(kTrackLevels); ++track) {
    // Long enough for a pending switch to end and this track's to follow.
    const bool loadedBefore = game.music.trackLoaded[track] != 0;
    double load = -1.0;
    for (int32_t i = 0; i < 4 * kTrackSwitchFrames; ++i) {
      backend.SetClock(backend.ClockMs() + kFrameMs);
      const double t0 = bench::WallNanoseconds();
      UpdateMusic(game.music, game.settings, kTrackLevels[track], engine.sound);
      const double t = bench::WallNanoseconds() - t0;
      if (!loadedBefore && load < 0 && game.music.trackLoaded[track] != 0) load = t / 1e6;
    }
    loads.push_back(load);
  }
  return loads;
}

// A screen-sized mask with a floor in the first slot from the top that
// holds no picture, so monsters and debris stand and fall as in a fight.
void UseStandInMask(GameState& g) {
  for (int32_t slot = kImageSlots - 1; slot > 0; --slot) {
    if (HasPixels(engine.gfx, slot)) continue;
    monster_scene::MakeStandInMask(g, slot);
    return;
  }
}

struct Result {
  std::string name;
  double median, p99, worst;
  int worstFrame;
};

Result Summary(const std::string& name, const std::vector<double>& times) {
  const auto worst = std::max_element(times.begin(), times.end());
  return {name, bench::Median(times), Percentile(times, 0.99), *worst,
          static_cast<int>(worst - times.begin())};
}

}  // namespace

struct ProgramEnded {};

// One frame of a played script: its time and what it was.
struct PlayedFrame {
  double ns = 0;
  int32_t mode = 0;
  bool buildsLevel = false;  // a room change, a lost fight's restart, a new or loaded game
  int32_t level = 0;
};
std::vector<PlayedFrame> gPlayed;
// Passes of the game's timer that ran no frame before its wait (the first
// start's set-up, a mode's entry): timed apart, not as frames.
std::vector<double> gPasses;
size_t gFramesBeforeMessage = 0;
double gMark = 0;
int64_t gLastStarts = 0;
// With --hash, every frame's back buffer (after its game step) goes into one
// running hash, printed at the end: the same number at every kernel level
// shows that each level drew the same pixels all through the game.
bool gHash = false;
uint64_t gPictureHash = 0;

void HashBackBuffer() {
  const uint32_t* p = engine.gfx.backBuffer;
  if (p == nullptr) return;
  const size_t n = static_cast<size_t>(engine.gfx.screenWidth) * static_cast<size_t>(engine.gfx.screenHeight);
  uint64_t h = gPictureHash;
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 0x100000001b3ull;
  gPictureHash = h;
}

// Called after each frame's RunFrame, before its present.
void MarkFrame(int64_t) {
  const double now = bench::WallNanoseconds();
  PlayedFrame f;
  f.ns = now - gMark;
  f.mode = dispatcher.gameMode;
  f.buildsLevel = LevelStartCount() != gLastStarts;
  f.level = game.level;
  gLastStarts = LevelStartCount();
  gPlayed.push_back(f);
  gMark = now;
  if (gHash) {
    HashBackBuffer();
    gMark = bench::WallNanoseconds();  // the hashing is no part of the next frame
  }
}

void PrintPlayed(const char* what, const std::vector<double>& times, double copy) {
  if (times.empty()) return;
  const Result r = Summary(what, times);
  std::printf("%-28s %6zu %7.3fms %7.3fms %7.3fms %6.1fx %6.1fx %6.1fx  %s\n", what, times.size(),
              r.median / 1e6, r.p99 / 1e6, r.worst / 1e6, r.median / copy, r.p99 / copy, r.worst / copy,
              r.median / copy <= kMedianGoal && r.worst / copy <= kWorstGoal ? "ok" : "MISSED");
}

// The headless backend, with the game's idle time given back to the work it
// hands to other threads. In a window the game waits for its timer between
// ticks (every kTickMs) and, within a tick, until a frame's time has passed
// before the second frame; the headless backend only moves its clock. Here
// those waits last as long as the pictures being made ahead still need the
// processor, never longer than the game's own wait, and are kept out of the
// frame times.
class PacedBackend : public platform::HeadlessBackend {
 public:
  void WaitMs(int32_t ms) override {
    HeadlessBackend::WaitMs(ms);
    if (ms <= 0) return;
    const double before = bench::WallNanoseconds();
    engine.picturePrefetch.WaitIdleFor(std::chrono::milliseconds(ms));
    if (gPlayed.size() == gFramesBeforeMessage) {
      // The pass before the wait ran no frame: it is a slot of its own.
      gPasses.push_back(before - gMark);
      gMark = bench::WallNanoseconds();
    } else {
      gMark += bench::WallNanoseconds() - before;
    }
  }
  bool NextMessage(platform::Message& out) override {
    if (!HeadlessBackend::NextMessage(out)) return false;
    if (out.message == wm::WM_TIMER) {
      const double now = bench::WallNanoseconds();
      const double left = lastTick_ > 0 ? kTickMs * 1e6 - (now - lastTick_) : 0;
      if (left > 0) engine.picturePrefetch.WaitIdleFor(std::chrono::nanoseconds(static_cast<int64_t>(left)));
      lastTick_ = bench::WallNanoseconds();
    }
    return true;
  }

 private:
  static constexpr int32_t kTickMs = 50;  // the game's timer
  double lastTick_ = 0;
};

// The whole program on the script's events, each frame timed from the end
// of the previous frame's game step to the end of its own, so that it holds
// its own step and one present. Appends the back buffer copies it timed.
// False when the program could not start.
bool PlayOnce(const std::vector<platform::ScriptEvent>& script, std::vector<double>& copies) {
  ResetAllState();
  std::filesystem::remove("gamesave.sav");
  std::filesystem::remove("gamesave.sav.bak");
  PacedBackend backend;
  platform::Install(&backend);
  backend.SetScript(script);
  SetExitHandler([](int32_t) { throw ProgramEnded{}; });
  SetFrameObserver(&MarkFrame);
  gPlayed.clear();
  gPasses.clear();
  gPictureHash = 0xcbf29ce484222325ull;
  gLastStarts = LevelStartCount();
  bool started = true;
  try {
    if (StartUp() != 0) {
      started = false;
    } else {
      platform::Message m;
      while (backend.NextMessage(m)) {
        const size_t before = gPlayed.size();
        gFramesBeforeMessage = before;
        gMark = bench::WallNanoseconds();
        WindowProc(m.message, m.wParam, m.lParam);
        // The last present of the message goes to the message's first frame,
        // whose own present is counted in the second frame's time.
        if (gPlayed.size() > before) {
          gPlayed[before].ns += bench::WallNanoseconds() - gMark;
        } else if (m.message == wm::WM_TIMER) {
          gPasses.push_back(bench::WallNanoseconds() - gMark);
        }
        if (gPlayed.size() % 1000 < gPlayed.size() - before)
          for (int i = 0; i < 10; ++i) copies.push_back(bench::TimeBackBufferCopy(bench::WallNanoseconds));
      }
    }
  } catch (const ProgramEnded&) {
  }
  SetFrameObserver(nullptr);
  SetExitHandler(nullptr);
  ResetAllState();
  platform::Install(nullptr);
  return started;
}

// The script played `runs` times; the run is the same every time, so each
// frame keeps the least of its times: what the host's other work added to
// a frame in one run it rarely adds to the same frame in every run.
int PlayScript(const std::string& data, const std::string& scriptFile, int runs) {
  namespace fs = std::filesystem;
  std::ifstream in(scriptFile);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<platform::ScriptEvent> events;
  std::string error;
  if (text.empty() || !platform::ParseInputScript(text, events, error)) {
    std::fprintf(stderr, "bench_frame: cannot read the script %s %s\n", scriptFile.c_str(), error.c_str());
    return 2;
  }
  std::string pattern = (fs::temp_directory_path() / "vxbench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return 2;
  const fs::path dir = pattern;
  fs::create_symlink(fs::absolute(data) / "data", dir / "data");
  fs::create_directories(dir / "ini");
  // Windowed, no log, sound on, music off, arrows, English: the recording's settings.
  std::ofstream(dir / "ini" / "main.ini")
      << "5,,,1\n6,,,0\n13,,,1\n15,,,0\n17,,,0\n19,,,0\n20,,,1\n13131313,,,\n";
  if (chdir(dir.c_str()) != 0) return 2;

  std::vector<double> copies = bench::BackBufferCopyTimes(bench::WallNanoseconds);
  std::vector<PlayedFrame> least;
  std::vector<double> leastPasses;
  for (int run = 0; run < runs; ++run) {
    if (!PlayOnce(events, copies)) return 1;
    if (run == 0 || leastPasses.size() != gPasses.size()) {
      leastPasses = gPasses;
    } else {
      for (size_t i = 0; i < gPasses.size(); ++i) leastPasses[i] = std::min(leastPasses[i], gPasses[i]);
    }
    if (run == 0) {
      least = gPlayed;
    } else if (gPlayed.size() != least.size()) {
      std::fprintf(stderr, "bench_frame: run %d played %zu frames, the first %zu\n", run + 1, gPlayed.size(),
                   least.size());
      return 1;
    } else {
      for (size_t i = 0; i < least.size(); ++i) least[i].ns = std::min(least[i].ns, gPlayed[i].ns);
    }
  }
  gPlayed = least;
  std::error_code ec;
  fs::remove_all(dir, ec);
  if (gPlayed.empty()) return 1;
  const double copy = bench::Median(copies);
  std::vector<double> all, running, playing, building;
  std::vector<size_t> order;  // the in-game frames, by number
  for (size_t i = 0; i < gPlayed.size(); ++i) {
    const PlayedFrame& f = gPlayed[i];
    all.push_back(f.ns);
    if (f.mode != kModeLoading) running.push_back(f.ns);
    if (f.mode == kModeGame && !f.buildsLevel) {
      playing.push_back(f.ns);
      order.push_back(i);
    }
    if (f.buildsLevel) building.push_back(f.ns);
  }
  std::printf("%s: every frame, wall time (the least of %d runs), its game step and one present, kernel level %s\n",
              scriptFile.c_str(), runs, cpu::KernelLevelName(cpu::StartKernelLevel()));
  std::printf("%-28s %6s %9s %9s %9s %7s %7s %7s  %s\n", "frames", "count", "median", "p99", "worst", "med x",
              "p99 x", "worst x", "goal (median <= 15x, worst <= 30x)");
  PrintPlayed("all", all, copy);
  PrintPlayed("without the loading screen", running, copy);
  PrintPlayed("in game, no level built", playing, copy);
  PrintPlayed("building a level", building, copy);
  // Not frames: the timer's passes that end in a wait or a message without
  // having run a frame (the first start's set-up, the loading screen's
  // entry); each has a frame's time of its own before the next one.
  if (!leastPasses.empty()) {
    const Result r = Summary("passes", leastPasses);
    std::printf("timer passes without a frame: %zu, median %.3f ms, worst %.3f ms (%.1fx)\n",
                leastPasses.size(), r.median / 1e6, r.worst / 1e6, r.worst / copy);
  }
  // Where the time goes: the slowest in-game frames.
  const size_t shown = std::min<size_t>(order.size(), 8);
  std::partial_sort(order.begin(), order.begin() + shown, order.end(),
                    [](size_t a, size_t b) { return gPlayed[a].ns > gPlayed[b].ns; });
  std::printf("slowest in-game frames:");
  for (size_t i = 0; i < shown; ++i)
    std::printf(" %zu (level %d) %.2fx%s", order[i], gPlayed[order[i]].level, gPlayed[order[i]].ns / copy,
                i + 1 < shown ? "," : "\n");
  // Per level, the in-game frames that build nothing.
  std::printf("in game by level (median, worst):");
  for (int32_t level = 0; level <= 24; ++level) {
    std::vector<double> t;
    for (const size_t i : order)
      if (gPlayed[i].level == level) t.push_back(gPlayed[i].ns);
    if (t.empty()) continue;
    std::printf(" %d: %.1fx %.1fx;", level, bench::Median(t) / copy,
                *std::max_element(t.begin(), t.end()) / copy);
  }
  std::printf("\n");
  std::vector<size_t> builds;
  for (size_t i = 0; i < gPlayed.size(); ++i)
    if (gPlayed[i].buildsLevel) builds.push_back(i);
  std::printf("frames that build a level:");
  for (size_t i = 0; i < builds.size(); ++i)
    std::printf(" %zu (level %d, mode %d) %.1fx%s", builds[i], gPlayed[builds[i]].level,
                gPlayed[builds[i]].mode, gPlayed[builds[i]].ns / copy, i + 1 < builds.size() ? "," : "\n");
  std::printf("loading screen frames:");
  for (size_t i = 0; i < gPlayed.size() && gPlayed[i].mode == kModeLoading; ++i)
    std::printf(" %.1fx", gPlayed[i].ns / copy);
  std::printf("\n");
  std::printf("memcpy of the back buffer (%zu bytes): %.3f ms (median of %zu)\n", bench::kBackBytes,
              copy / 1e6, copies.size());
  // The goals above are against the copy in the cache, as every program
  // here measures it; the copy from memory is printed beside it, with the
  // whole game's frames against it, for comparing machines.
  const double fromMemory = bench::Median(bench::BackBufferCopyFromMemoryTimes(bench::WallNanoseconds));
  const Result whole = Summary("all", all);
  std::printf("memcpy of the back buffer from memory: %.3f ms; all frames against it: median %.1fx, worst %.1fx\n",
              fromMemory / 1e6, whole.median / fromMemory, whole.worst / fromMemory);
  if (gHash) std::printf("picture hash of every frame: %016llx\n", static_cast<unsigned long long>(gPictureHash));
  return 0;
}

int main(int argc, char** argv) {
  int code = 0;
  if (bench::TakeKernelLevel(argc, argv, "bench_frame", code)) return code;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) != "--hash") continue;
    gHash = true;
    for (int j = i; j < argc; ++j) argv[j] = argv[j + 1];
    --argc;
    break;
  }
  if ((argc == 4 || argc == 5) && std::string(argv[2]) == "--play")
    return PlayScript(argv[1], argv[3], argc == 5 ? std::max(1, std::atoi(argv[4])) : 5);
  if (bench::ProgramArgsDone(argc, argv, "bench_frame",
                             "usage: bench_frame GAMEFOLDER [FRAMES [CASE...]]\n"
                             "  Times FRAMES in-game frames (default 600) with their present on every\n"
                             "  level of a game folder written by vxdata, then the full monster load\n"
                             "  (\"2+mon\", \"24+mon\") and a running fight (\"fight\"). CASEs choose.\n"
                             "       bench_frame GAMEFOLDER --play SCRIPT [RUNS]\n"
                             "  Times every frame of a recorded input script (the whole game), each\n"
                             "  frame the least of RUNS replays (default 5). With --hash it also\n"
                             "  prints one hash of every frame's pictures.\n",
                             std::numeric_limits<int>::max(), code))  // any number of cases
    return code;
  if (argc < 2 || chdir(argv[1]) != 0) {
    std::fprintf(stderr, "usage: bench_frame GAMEFOLDER [FRAMES [CASE...]]\n");
    return 2;
  }
  const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 600;
  const auto wanted = [argc, argv](const std::string& name) {
    if (argc <= 3) return true;
    for (int i = 3; i < argc; ++i)
      if (name == argv[i]) return true;
    return false;
  };

  ResetAllState();
  platform::HeadlessBackend backend;
  platform::Install(&backend);
  if (StartUp() != 0) return 1;
  WindowProc(wm::WM_TIMER, 0, 0);  // graphics tables, random seed, effects
  ResetInput(input, dispatcher);   // the loading screen
  for (int step = 0; step <= 10; ++step) RunFrame(dispatcher, input);
  WaitForMusicDecoders(backend);
  const std::vector<double> trackLoads = PreloadMusicTracks(backend);
  game.progress.resultSeen[100] = 1;  // no first-visit help: the frames stay in the game
  SetMode(dispatcher, input, kModeGame);

  std::vector<double> copies = bench::BackBufferCopyTimes(bench::WallNanoseconds);
  std::printf("%d frames per level, RunGameFrame + present, wall time, kernel level %s\n", frames,
              cpu::KernelLevelName(cpu::StartKernelLevel()));
  std::printf("%-6s %9s %9s %9s %8s %8s %8s %7s  %s\n", "level", "median", "p99", "worst", "med x", "p99 x",
              "worst x", "at", "goal (median <= 15x, worst <= 30x)");
  std::vector<Result> results;
  std::vector<double> times(static_cast<size_t>(frames));
  for (const int32_t level : kLevels) {
    if (!wanted(std::to_string(level))) continue;
    // A level composes its picture in the back buffer; where the folder
    // lacks the level's pictures that would keep the previous level's last
    // frame (growing brighter, and dearer, level by level). Black is the
    // fair stand-in for a missing picture.
    ClearScreen(engine.gfx, 0);
    StartLevel(game, level);
    for (int i = 0; i < frames; ++i) {
      backend.SetClock(backend.ClockMs() + kFrameMs);
      const double t0 = bench::WallNanoseconds();
      RunGameFrame(game, 0, 0, 0, 0, 0);
      vxscrHtoSCREEN(engine.screen);
      times[static_cast<size_t>(i)] = bench::WallNanoseconds() - t0;
    }
    results.push_back(Summary(std::to_string(level), times));
    // The yardstick is taken between levels too, so it sees the same machine.
    for (int i = 0; i < 20; ++i) copies.push_back(bench::TimeBackBufferCopy(bench::WallNanoseconds));
  }
  monster_scene::MakeStandInPictures();
  for (const int32_t level : kMonsterLevels) {
    if (!wanted(std::to_string(level) + "+mon")) continue;
    ClearScreen(engine.gfx, 0);
    StartLevel(game, level);
    UseStandInMask(game);
    for (int i = 0; i < frames; ++i) {
      monster_scene::FillMonsterTables(game);
      backend.SetClock(backend.ClockMs() + kFrameMs);
      const double t0 = bench::WallNanoseconds();
      RunGameFrame(game, 0, 0, 0, 0, -1);
      vxscrHtoSCREEN(engine.screen);
      times[static_cast<size_t>(i)] = bench::WallNanoseconds() - t0;
    }
    results.push_back(Summary(std::to_string(level) + "+mon", times));
    for (int i = 0; i < 20; ++i) copies.push_back(bench::TimeBackBufferCopy(bench::WallNanoseconds));
  }
  // The fight: a new game's player on level 2, walker placements on both
  // sides within the sword's reach (55..95 pixels), one walker already in
  // the level, and time that does not run out while the frames are timed.
  // At difficulty 10 every frame makes seven reinforcement passes.
  if (wanted("fight")) {
    ClearScreen(engine.gfx, 0);
    ResetGame(game);
    game.progress.resultSeen[100] = 1;
    game.progress.resultSeen[106] = 1;
    const int32_t px = WholePixel(game.player.x), py = WholePixel(game.player.y);
    for (int32_t k = 0; k < 22; ++k) {
      const int32_t dx = 45 + (k / 2) * 4;
      AddPlacement(game.tables, k % 2 == 0 ? px - dx : px + dx, py - 10, k % 3 == 0 ? 2 : 0);
    }
    SpawnMonster(game, px + 250, py, 0);
    game.progress.difficultyOffset = game.progress.difficultyBase - 10;
    StartFight(game);
    game.fight.timeStart = 1000001;
    game.fight.time = 1000000;
    for (int i = 0; i < frames; ++i) {
      backend.SetClock(backend.ClockMs() + kFrameMs);
      const double t0 = bench::WallNanoseconds();
      RunGameFrame(game, 0, 0, 0, 0, 0);
      vxscrHtoSCREEN(engine.screen);
      times[static_cast<size_t>(i)] = bench::WallNanoseconds() - t0;
    }
    results.push_back(Summary("fight", times));
    int32_t active = 0;
    for (const MonsterRecord& r : game.tables.objects) active += r.active != 0 ? 1 : 0;
    std::printf("fight: %d object records in use at the end, fight %s\n", active,
                game.fight.state == 1 ? "still running" : "ended");
  }
  const double copy = bench::Median(copies);
  bool allMet = true;
  for (const Result& r : results) {
    const double med = r.median / copy, p99 = r.p99 / copy, worst = r.worst / copy;
    const bool met = med <= kMedianGoal && worst <= kWorstGoal;
    allMet = allMet && met;
    std::printf("%-6s %7.3fms %7.3fms %7.3fms %7.1fx %7.1fx %7.1fx %7d  %s\n", r.name.c_str(), r.median / 1e6,
                r.p99 / 1e6, r.worst / 1e6, med, p99, worst, r.worstFrame, met ? "ok" : "MISSED");
  }
  std::printf("loading screen frames:");
  for (size_t i = 0; i < gPlayed.size() && gPlayed[i].mode == kModeLoading; ++i)
    std::printf(" %.1fx", gPlayed[i].ns / copy);
  std::printf("\n");
  std::printf("memcpy of the back buffer (%zu bytes): %.3f ms (median of %zu)\n", bench::kBackBytes,
              copy / 1e6, copies.size());
  std::printf("+mon: %d objects and %d debris pieces, topped up before every frame\n", kObjectCount,
              kDebrisCount);
  for (size_t i = 0; i < trackLoads.size(); ++i) {
    if (trackLoads[i] < 0) continue;  // loaded by the loading screen's last step
    std::printf("music track %zu loaded (once, before the levels; not in the frame times): %.1f ms\n", i + 1,
                trackLoads[i]);
  }
  std::printf("%s\n", allMet ? "every level meets the goal" : "some levels miss the goal");
  ResetAllState();
  platform::Install(nullptr);
  return 0;
}
