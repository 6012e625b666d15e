// Records a whole game as an input script: the real program, headless, in
// this process, from the title to the last ending screen. Every few timer
// ticks each of a handful of held key sets is tried ahead in a forked copy
// of the program, and the one that leaves the best state is played:
// towards the exit of the route where the level is won, towards the
// monsters and through them where it is not.
//
//   playthrough record DATA_FOLDER OUT_DIR
//   playthrough resume DATA_FOLDER OUT_DIR SAVE_FILE
//
// `record` starts a new game and writes OUT_DIR/playthrough.txt (the
// script), OUT_DIR/playthrough_log.txt (each room change and fight end) and
// OUT_DIR/midrun.sav (the saved game as the route enters the last stair). `resume`
// starts a program on SAVE_FILE, continues it from the title and plays on
// to the ending into OUT_DIR/playthrough_resume.txt.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/fight.h"
#include "game/objects.h"
#include "routecheck/distance_field.h"
#include "routecheck/fork_each.h"
#include "routecheck/game_driver.h"
#include "routecheck/route_plan.h"
#include "shell/exit.h"
#include "shell/globals.h"
#include "shell/mode_dispatcher.h"
#include "shell/window.h"

using namespace routecheck;
namespace fs = std::filesystem;

namespace {

// The way through the world as the arrows point it (route_plan.h).
constexpr const int32_t* kRoute = kWorldRoute;
constexpr int32_t kRouteLength = kWorldRouteLength;

constexpr int32_t kHorizon = 8;  // ticks each try looks ahead
constexpr int32_t kCommit = 4;   // ticks played of the best try
constexpr int32_t kParallel = 2;
constexpr double kFail = -1e12;

struct Run {
  GameDriver driver;
  fs::path out;
  std::string scriptName;
  std::ofstream log;
  std::ofstream checks;
  std::ofstream trace;
  fs::path game;         // the run's game folder
  bool inChild = false;  // a forked try: writes nothing
  bool savedMidRun = false;
};
Run* run = nullptr;

bool Fought(int32_t level) { return level != 10 && level != 24; }

// Where on the route the player stands: the last visit of his level whose
// earlier levels are all won.
int32_t RouteIndex() {
  int32_t found = -1;
  for (int32_t i = 0; i < kRouteLength; ++i) {
    if (kRoute[i] != game.level) continue;
    bool before = true;
    for (int32_t j = 0; j < i; ++j)
      if (Fought(kRoute[j]) && game.progress.levelCleared[kRoute[j]] == 0) before = false;
    if (before) found = i;
  }
  return found;
}

Edge ExitTowards(int32_t from, int32_t to) {
  if (to == from - 1) return Edge::Left;
  if (to == from + 1) return Edge::Right;
  return Edge::Bottom;
}

// One tick: outside the game every other tick releases Enter, which
// answers every message screen and skips the credits.
void Step(GameDriver& d, const Keys& k) {
  if (!InGame()) {
    Keys m;
    m.enter = !d.held().enter;
    d.Tick(m);
    return;
  }
  d.Tick(k);
}

double Strength() {
  double s = 0;
  for (const MonsterRecord& r : game.tables.objects) {
    if (r.active == 0) continue;
    const int32_t c = MonsterClass(r.kind);
    if (c == 1) s += 1;
    if (c == 2) s += 1 + 0.25 * r.health / 65536.0;
    if (c == 3) s += 1 + 2.0 * r.health / 65536.0;
  }
  return s;
}

// The difficulty as the next fight will read it. Not through Difficulty,
// which pulls the offset back into range as it reads: a recorder that
// changed the game's state would record a run that the replay cannot repeat
// (the offset is saved, and a death loads the save).
int32_t DifficultyNow() {
  return std::clamp(game.progress.difficultyBase - game.progress.difficultyOffset, 10, 75);
}

// Cells of the way to the nearest monster.
int32_t ToNearestMonster() {
  const int32_t px = WholePixel(game.player.x), py = WholePixel(game.player.y);
  int32_t bx = 0, by = 0, bd = 1 << 30, bclass = 0;
  for (const MonsterRecord& r : game.tables.objects) {
    if (r.active == 0 || MonsterClass(r.kind) == 0) continue;
    const int32_t d = std::abs(WholePixel(r.x) - px) + std::abs(WholePixel(r.y) - py);
    if (d < bd) {
      bd = d;
      bx = WholePixel(r.x);
      by = WholePixel(r.y);
      bclass = MonsterClass(r.kind);
    }
  }
  if (bd == (1 << 30)) return 0;
  // The ground boss is shot from a distance, whatever else is nearer: a gun
  // in hand keeps some 250 pixels from it.
  // Before the fight the first shot has to land: from closer, off the
  // anvil's height.
  const int32_t keep = game.fight.state == 1 ? 250 : 120;
  for (const MonsterRecord& r : game.tables.objects)
    if (r.active != 0 && MonsterClass(r.kind) == 3 && game.player.weapon >= 42)
      return std::abs(std::abs(WholePixel(r.x) - px) - keep) / DistanceField::kCell;
  // Another big monster likewise from some 200.
  if (bclass >= 2 && game.player.weapon >= 42 && game.fight.state == 1)
    return std::abs(std::abs(bx - px) - 200) / DistanceField::kCell;
  const DistanceField f(game, bx, by, 40);
  return std::min(f.At(px, py), 400);
}

struct Try {
  Keys first;  // held on the first tick
  Keys rest;   // held on the others
};

std::vector<Try> Tries(bool fight) {
  std::vector<Try> out;
  for (int m = 0; m < 3; ++m)
    for (int j = 0; j < 2; ++j)
      for (int a = 0; a < (fight ? 2 : 1); ++a) {
        Keys k;
        k.left = m == 1;
        k.right = m == 2;
        k.jump = j == 1;
        k.attack = a == 1;
        out.push_back({k, k});
      }
  if (fight) {
    // The next weapon (on the release that follows), then attacks: some
    // monsters fall only to a blade, some only to shots.
    Keys next;
    next.next = true;
    for (int m = 0; m < 3; ++m) {
      Keys k;
      k.left = m == 1;
      k.right = m == 2;
      k.attack = true;
      out.push_back({next, k});
    }
  }
  return out;
}

void Note(const std::string& text) {
  run->driver.Comment(text);
  run->log << "tick " << run->driver.ticks() << " " << text << "\n";
  run->log.flush();
  std::printf("tick %lld %s\n", static_cast<long long>(run->driver.ticks()), text.c_str());
  std::fflush(stdout);
}

// A line the replay's trace must match at this frame.
void Check(const char* what) {
  run->checks << "frame " << run->driver.frames() << " mode " << Mode() << " level " << game.level << " x "
              << WholePixel(game.player.x) << " y " << WholePixel(game.player.y) << " fight "
              << game.fight.state << " time " << game.fight.time << " # " << what << "\n";
  run->checks.flush();
}

// A forked try runs in a folder of its own, so that the saves it makes do
// not become the run's: the data and settings are shared, the saved game
// and its backup copied. The folder goes when the try has ended.
struct TryFolder {
  fs::path dir;
  TryFolder() {
    run->inChild = true;
    std::string pattern = (fs::temp_directory_path() / "vxtry-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) _exit(1);
    dir = pattern;
    std::error_code ec;
    fs::create_symlink(run->game / "data", dir / "data", ec);
    fs::create_symlink(run->game / "ini", dir / "ini", ec);
    for (const char* f : {"gamesave.sav", "gamesave.sav.bak"})
      if (fs::exists(f)) fs::copy_file(f, dir / f, ec);
    if (chdir(dir.c_str()) != 0) _exit(1);
  }
  ~TryFolder() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

// The trace line of `vxgame --trace`, for comparing a replay with the run.
void TraceFrame(int64_t frame) {
  if (!run->trace.is_open() || run->inChild) return;
  const GameState& g = game;
  run->trace << "frame " << frame << " mode " << dispatcher.gameMode << " step " << dispatcher.loadingStep
             << " level " << g.level << " x " << WholePixel(g.player.x) << " y " << WholePixel(g.player.y)
             << " alive " << g.player.alive << " health " << g.player.health << " weapon " << g.player.weapon << " fight "
             << g.fight.state << " time " << g.fight.time << " result " << g.frameResult << " menu "
             << dispatcher.menu.screen << " fade " << dispatcher.fade.current << " random "
             << RandomStateText(engine.random.s) << '\n';
}

void WriteScript() { std::ofstream(run->out / run->scriptName) << run->driver.Script(); }

// The program ends itself after the last ending screen: the script is
// complete then.
[[noreturn]] void OnExit(int32_t code) {
  Note("the program ends");
  Check("the program ends");
  run->trace.flush();
  WriteScript();
  std::fflush(nullptr);
  _exit(code);
}

// Fights the level the player is in until it is won.
void Fight() {
  GameDriver& d = run->driver;
  const int32_t level = game.level;
  const std::vector<Try> tries = Tries(true);
  int64_t fightStartFrame = d.frames();
  while (game.progress.levelCleared[level] == 0 && game.level == level) {
    if (!InGame()) {
      Step(d, Keys{});
      continue;
    }
    const int32_t offset0 = game.progress.difficultyOffset;
    // Against the ground boss the tries look twice as far ahead: its rocks
    // fall for longer than a short try lasts.
    bool boss = false;
    for (const MonsterRecord& r : game.tables.objects) boss = boss || (r.active != 0 && MonsterClass(r.kind) == 3);
    const int horizon = boss ? 2 * kHorizon : kHorizon;
    FinishBackgroundWork();  // no thread of the game may be caught mid-step by a fork
    const auto scores = ForkEach<double>(static_cast<int>(tries.size()), kParallel, [&](int i) {
      const TryFolder folder;
      for (int t = 0; t < horizon; ++t) {
        Step(d, t == 0 ? tries[i].first : tries[i].rest);
        if (game.progress.levelCleared[level] != 0) return 1e9 - t;
      }
      if (game.level != level || game.player.alive == 0) return kFail;
      if (game.progress.difficultyOffset < offset0) return kFail / 2;  // lost
      // Among equals, the try that attacks: a first shot that misses costs
      // nothing, one that lands starts the fight.
      return -1000.0 * Strength() - 8.0 * ToNearestMonster() + 150.0 * game.player.health / 65536.0 +
             (tries[i].rest.attack ? 1.0 : 0.0);
    });
    int best = 0;
    for (int i = 1; i < static_cast<int>(tries.size()); ++i)
      if (scores[i].value_or(kFail * 2) > scores[best].value_or(kFail * 2)) best = i;
    for (int t = 0;
         t < kCommit && game.progress.levelCleared[level] == 0 && game.progress.difficultyOffset >= offset0;
         ++t) {
      const int32_t fightBefore = game.fight.state;
      Step(d, t == 0 ? tries[best].first : tries[best].rest);
      if (fightBefore != 1 && game.fight.state == 1) fightStartFrame = d.frames();
      if (fightBefore != 1 && game.fight.state == 1)
        Note("fight " + std::to_string(level) + " starts, time " + std::to_string(game.fight.time));
    }
    if (game.progress.difficultyOffset < offset0) {
      Note("fight " + std::to_string(level) + " lost");
      Check("fight lost");
    }
  }
  if (game.progress.levelCleared[level] != 0) {
    Note("fight " + std::to_string(level) + " won, difficulty " + std::to_string(DifficultyNow()) + ", " +
         std::to_string(d.frames() - fightStartFrame) + " frames");
    Check("fight won");
  }
}

// Walks from the player's place out of the level by `exit` into `target`.
void Leave(int32_t target, Edge exit) {
  GameDriver& d = run->driver;
  const int32_t level = game.level;
  const std::vector<Try> tries = Tries(false);
  const DistanceField field(game, exit);
  int32_t stuck = 0;
  int32_t bestSeen = DistanceField::kUnreachable;
  while (game.level == level) {
    if (!InGame()) {
      Step(d, Keys{});
      continue;
    }
    FinishBackgroundWork();  // no thread of the game may be caught mid-step by a fork
    const auto scores = ForkEach<double>(static_cast<int>(tries.size()), kParallel, [&](int i) {
      const TryFolder folder;
      for (int t = 0; t < kHorizon; ++t) {
        Step(d, t == 0 ? tries[i].first : tries[i].rest);
        if (game.level == target) return 1e9 - t;
        if (game.level != level || game.player.alive == 0) return kFail;
      }
      return -1.0 * field.At(WholePixel(game.player.x), WholePixel(game.player.y));
    });
    int best = 0;
    for (int i = 1; i < static_cast<int>(tries.size()); ++i)
      if (scores[i].value_or(kFail * 2) > scores[best].value_or(kFail * 2)) best = i;
    // Out of a dead end: a few ticks of a random try.
    const int32_t here = field.At(WholePixel(game.player.x), WholePixel(game.player.y));
    if (here < bestSeen) {
      bestSeen = here;
      stuck = 0;
    } else if (++stuck > 12) {
      best = std::rand() % static_cast<int>(tries.size());
      stuck = 6;
    }
    for (int t = 0; t < kCommit && game.level == level; ++t)
      Step(d, t == 0 ? tries[best].first : tries[best].rest);
  }
}

// Plays the first `ticks` ticks of an earlier recording again, key for
// key, and keeps its checks up to there: a recording can go on from a point
// before a level whose objects were changed.
bool PlayPrefix(const fs::path& script, const fs::path& checks, int64_t ticks) {
  std::ifstream in(script);
  std::vector<std::pair<int64_t, std::string>> events;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    const size_t a = line.find(' ');
    if (a == std::string::npos) return false;
    events.push_back({std::atoll(line.c_str()), line.substr(a + 1)});
  }
  GameDriver& d = run->driver;
  Keys held;
  size_t next = 0;
  while (d.ticks() < ticks) {
    const int64_t tick = d.ticks() + 1;
    for (; next < events.size() && events[next].first == tick; ++next) {
      const std::string& e = events[next].second;
      const bool down = e.rfind("keydown ", 0) == 0;
      const std::string key = e.substr(e.find(' ') + 1);
      if (key == "LEFT") held.left = down;
      if (key == "RIGHT") held.right = down;
      if (key == "UP") held.jump = down;
      if (key == "SPACE") held.attack = down;
      if (key == "DOWN") held.next = down;
      if (key == "RETURN") held.enter = down;
    }
    d.Tick(held);
  }
  std::ifstream old(checks);
  for (std::string line; std::getline(old, line);)
    if (std::atoll(line.c_str() + 6) < d.frames()) run->checks << line << "\n";
  run->checks.flush();
  return true;
}

int Play() {
  GameDriver& d = run->driver;
  int32_t lastLevel = -1;
  while (true) {
    if (!InGame()) {
      if (MenuScreen() == 37 && Mode() == kModeMenu) WriteScript();
      Step(d, Keys{});
      continue;
    }
    if (game.level != lastLevel) {
      lastLevel = game.level;
      Check("room");
      Note("room " + std::to_string(game.level) + " at " + std::to_string(WholePixel(game.player.x)) + "," +
           std::to_string(WholePixel(game.player.y)));
      if (game.level == 19 && !run->savedMidRun) {
        run->savedMidRun = true;
        std::error_code ec;
        fs::copy_file("gamesave.sav", run->out / "midrun.sav", fs::copy_options::overwrite_existing, ec);
        Note("mid-run save taken");
      }
    }
    if (Fought(game.level) && game.progress.levelCleared[game.level] == 0 && WeightedMonsterCount(game.tables) > 0) {
      Fight();
      continue;
    }
    if (game.level == 24) {
      Step(d, Keys{});
      continue;
    }
    const int32_t i = RouteIndex();
    if (i < 0 || i + 1 >= kRouteLength) {
      std::fprintf(stderr, "level %d is off the route\n", game.level);
      return 1;
    }
    Leave(kRoute[i + 1], ExitTowards(game.level, kRoute[i + 1]));
    WriteScript();
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: playthrough record DATA OUT | resume DATA OUT SAVE\n");
    return 2;
  }
  const std::string what = argv[1];
  const fs::path data = fs::absolute(argv[2]);
  static Run r;
  run = &r;
  r.out = fs::absolute(argv[3]);
  const fs::path dir = r.out / "game";
  r.game = dir;
  fs::remove_all(dir);
  fs::create_directories(dir / "ini");
  fs::create_symlink(data / "data", dir / "data");
  // Windowed, no log, sound on, music off, arrows, English: the e2e tests' settings.
  std::ofstream(dir / "ini" / "main.ini")
      << "5,,,1\n6,,,0\n13,,,1\n15,,,0\n17,,,0\n19,,,0\n20,,,1\n13131313,,,\n";
  if (what == "resume") {
    if (argc < 5) return 2;
    fs::copy_file(argv[4], dir / "gamesave.sav");
    r.scriptName = "playthrough_resume.txt";
    r.savedMidRun = true;
  } else {
    r.scriptName = "playthrough.txt";
  }
  const std::string stem = what == "resume" ? "playthrough_resume" : "playthrough";
  r.log.open(r.out / (stem + "_log.txt"));
  r.checks.open(r.out / (stem + "_checks.txt"));
  SetExitHandler(OnExit);
  if (std::getenv("PLAYTHROUGH_TRACE") != nullptr) {
    r.trace.open(r.out / (stem + "_trace.txt"));
    SetFrameObserver(&TraceFrame);
  }
  if (!r.driver.Start(dir.string())) return 1;
  // --prefix SCRIPT CHECKS TICKS: go on from tick TICKS of an earlier recording.
  for (int i = 4; i + 3 < argc; ++i) {
    if (std::string(argv[i]) != "--prefix") continue;
    if (!PlayPrefix(argv[i + 1], argv[i + 2], std::atoll(argv[i + 3]))) return 2;
    Note("went on from tick " + std::to_string(r.driver.ticks()) + " of an earlier recording");
  }
  return Play();
}
