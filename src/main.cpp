// vxgame: the command line, the game folder and its data set check, the
// choice of platform backend, then the engine.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "assets/data_set_check.h"
#include "config/comfort_settings.h"
#include "config/configuration.h"
#include "display/screenshot.h"
#include "game/new_game_start.h"
#include "game/objects.h"
#include "game/saved_game.h"
#include "platform/desktop_backend.h"
#include "platform/file_replace.h"
#include "platform/game_files.h"
#include "platform/headless/headless_backend.h"
#include "platform/console.h"
#include "platform/memory_policy.h"
#include "platform/user_folders.h"
#ifdef __EMSCRIPTEN__
#include <emscripten.h>

#include <deque>

#include "musicdec/decoder.h"
#include "platform/web/web_backend.h"
#endif
#include "shell/comforts.h"
#include "shell/command_line.h"
#include "shell/demo.h"
#include "shell/exit.h"
#include "shell/game_folder.h"
#include "shell/globals.h"
#include "shell/mode_dispatcher.h"
#include "shell/window.h"

#ifndef VX_DATASET_FROM_BIN
#define VX_DATASET_FROM_BIN "../share/vxgame/dataset"
#endif

namespace fs = std::filesystem;

namespace {

struct PendingShot {
  Screenshot shot;
  bool written = false;
  bool failed = false;
};

std::vector<PendingShot> gScreenshots;
std::ofstream gTrace;

// A demo being recorded or played, and the folder a playback runs in.
DemoRecorder gRecorder;
DemoPlayer gPlayer;
bool gRecording = false;
bool gPlaying = false;
std::string gRecordPath;
fs::path gPlayFolder;

// The monsters alive in the object table (shots, pickups and rocks are not).
int32_t MonstersAlive(GameState& g) {
  int32_t n = 0;
  for (const MonsterRecord& r : g.tables.objects)
    if (r.active != 0 && MonsterClass(r.kind) != 0) ++n;
  return n;
}

#ifdef __EMSCRIPTEN__
// The page has no PNG encoder yet: its screenshots are the back buffer's
// 32-bit pixels as they are, row after row, which the browser test compares
// with the native program's pictures.
bool WriteShot(const std::string& file, const GfxContext& gfx) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(gfx.backBuffer),
            static_cast<std::streamsize>(gfx.screenWidth) * gfx.screenHeight * 4);
  return static_cast<bool>(out.flush());
}
#else
bool WriteShot(const std::string& file, const GfxContext& gfx) {
  return WritePng(file, gfx.backBuffer, gfx.screenWidth, gfx.screenHeight, gfx.screenWidth);
}
#endif

void AfterFrame(int64_t frame) {
  if (gRecording) gRecorder.AfterFrame(frame);
  if (gPlaying) gPlayer.AfterFrame(frame);
  for (PendingShot& s : gScreenshots) {
    if (s.shot.frame != frame) continue;
    if (WriteShot(s.shot.file, engine.gfx)) {
      s.written = true;
    } else {
      s.failed = true;
      std::fprintf(stderr, "vxgame: could not write screenshot '%s'\n", s.shot.file.c_str());
    }
  }
  if (gTrace.is_open()) {
    // One line per frame, enough to tell two runs apart at the first frame
    // where they differ: the random state changes with every draw.
    const GameState& g = game;
    gTrace << "frame " << frame << " mode " << dispatcher.gameMode << " step " << dispatcher.loadingStep
           << " level " << g.level << " x " << WholePixel(g.player.x) << " y " << WholePixel(g.player.y)
           << " alive " << g.player.alive << " health " << g.player.health << " weapon " << g.player.weapon << " fight "
           << g.fight.state << " time " << g.fight.time << " result " << g.frameResult << " menu "
           << dispatcher.menu.screen << " fade " << dispatcher.fade.current << " random "
           << RandomStateText(engine.random.s) << " monsters " << MonstersAlive(game) << '\n';
  }
}

// Every screenshot asked for was written; otherwise says which were not.
bool ScreenshotsDone() {
  bool ok = true;
  const int64_t frames = platform::Current().FramesRun();
  for (const PendingShot& s : gScreenshots) {
    if (s.written) continue;
    ok = false;
    if (!s.failed)
      std::fprintf(stderr, "vxgame: the run ended after %lld frames; no screenshot of frame %lld for '%s'\n",
                   static_cast<long long>(frames), static_cast<long long>(s.shot.frame), s.shot.file.c_str());
  }
  return ok;
}

// Lists the player's files over the generated set; a folder of one layer
// has none, only the files changed in it since they were written.
void ListOverriddenFiles(const std::vector<ManifestEntry>& manifest, const GameFolderChoice& where) {
  if (platform::GeneratedSet().empty()) {
    std::printf(
        "vxgame: %s is a game folder of one layer; no file lies over another. Changed since "
        "written:\n",
        where.folder.string().c_str());
    for (const DataSetFinding& f : CheckDataSet(manifest))
      if (f.kind == Finding::Changed) std::printf("%s\n", f.path.c_str());
    return;
  }
  const std::vector<DataSetFinding> mine = ListOverrides(manifest);
  std::printf("vxgame: %zu of your files in %s replace files of the data set %s%s\n", mine.size(),
              where.folder.string().c_str(), platform::GeneratedSet().c_str(), mine.empty() ? "" : ":");
  for (const DataSetFinding& f : mine) {
    switch (f.kind) {
      case Finding::Damaged:
        std::printf("%s (does not load: %s)\n", f.path.c_str(), f.detail.c_str());
        break;
      case Finding::Same:
        std::printf("%s (the same as the data set's)\n", f.path.c_str());
        break;
      default:
        std::printf("%s\n", f.path.c_str());
        break;
    }
  }
}

// The demo's end: the recording's end record, or the playback's verdict
// (and its folder removed). The status the program ends with.
int FinishDemo(int status) {
  const int64_t frames = platform::Current().FramesRun();
  if (gRecording) {
    gRecording = false;
    if (gRecorder.Finish(frames)) {
      std::printf("vxgame: demo %s written: %lld frames, %lld bytes\n", gRecordPath.c_str(),
                  static_cast<long long>(frames), static_cast<long long>(gRecorder.Bytes()));
    } else {
      std::fprintf(stderr, "vxgame: the demo %s could not be written whole\n", gRecordPath.c_str());
      if (status == 0) status = 2;
    }
  }
  if (gPlaying) {
    gPlaying = false;
    const int verdict = gPlayer.Finish(frames);
    if (status == 0) status = verdict;
    std::error_code ec;
    fs::current_path(gPlayFolder.parent_path(), ec);
    fs::remove_all(gPlayFolder, ec);
  }
  std::fflush(stdout);
  return status;
}

// The program also ends from inside the game (the menu's quit answer).
void AtProgramExit(int32_t code) {
  gTrace.close();
  const int status = FinishDemo(code);
  if (status != code) std::exit(status);
  if (code == 0 && !ScreenshotsDone()) std::exit(2);
}

// The files a playback of a game folder of one layer reads from it: those
// of its manifest, or without one every file but what the game writes.
std::vector<std::string> FolderGameFiles(const fs::path& folder, const std::vector<ManifestEntry>& manifest) {
  std::vector<std::string> names;
  if (!manifest.empty()) {
    for (const ManifestEntry& e : manifest) names.push_back(e.path);
    return names;
  }
  std::error_code ec;
  fs::recursive_directory_iterator it(folder, fs::directory_options::follow_directory_symlink, ec);
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const std::string name = it->path().lexically_relative(folder).generic_string();
    if (name.rfind("gamesave.sav", 0) == 0 || name.rfind("screenshots/", 0) == 0 || name == "en1_log.txt")
      continue;
    names.push_back(name);
  }
  return names;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "vxgame: %s\n", message.c_str());
  return 2;
}

// A file that can be written where it is named: its folder exists and takes
// new files, and the file itself, if there, can be replaced.
bool Writable(const fs::path& file, std::string& why) {
  std::error_code ec;
  const fs::path folder = file.parent_path();
  if (!fs::is_directory(folder, ec)) {
    why = "folder '" + folder.string() + "' does not exist";
    return false;
  }
  if (!platform::MayWrite(file)) {
    why = "it cannot be written there";
    return false;
  }
  return true;
}

// What mends a data set that is not complete, and what that does to the
// files the player changed. `runsOn` says how the game goes on.
void TellHowToRepair(const GameFolderChoice& where, const char* runsOn = "the game runs on without them") {
  if (!platform::GeneratedSet().empty()) {
    std::fprintf(stderr, "vxgame: %s; building or installing the game again writes the data set %s anew\n",
                 runsOn, platform::GeneratedSet().c_str());
  } else if (where.kind == GameFolderChoice::Kind::PerUser) {
    std::fprintf(stderr, "vxgame: %s\n", runsOn);
  } else {
    const std::string folder = where.folder.string();
    std::fprintf(stderr,
                 "vxgame: %s; vxdata '%s' writes the missing and damaged files anew and keeps the files you "
                 "changed (with --force it replaces those too); each file it replaces is first moved into "
                 "%s/vxdata-backup/\n",
                 runsOn, folder.c_str(), folder.c_str());
  }
}

// Names each missing or damaged file on stderr and notes every finding for
// the log; true when nothing is missing or damaged. A player's file that
// does not load is named as the player's, with where it is.
bool ReportDataSet(const std::vector<DataSetFinding>& findings, const GameFolderChoice& where) {
  bool setIncomplete = false;
  bool playersDamaged = false;
  for (const DataSetFinding& f : findings) {
    switch (f.kind) {
      case Finding::Missing:
        setIncomplete = true;
        std::fprintf(stderr, "vxgame: data file missing: %s\n", f.path.c_str());
        NoteAtStartUp("data set: missing " + f.path);
        break;
      case Finding::Damaged:
        if (f.players) {
          playersDamaged = true;
          std::fprintf(stderr, "vxgame: your file does not load: %s (%s)\n",
                       (where.folder / f.path).string().c_str(), f.detail.c_str());
          NoteAtStartUp("data set: your file does not load: " + f.path + " (" + f.detail + ")");
        } else {
          setIncomplete = true;
          std::fprintf(stderr, "vxgame: data file damaged: %s (%s)\n", f.path.c_str(), f.detail.c_str());
          NoteAtStartUp("data set: damaged " + f.path + " (" + f.detail + ")");
        }
        break;
      case Finding::Changed:
        NoteAtStartUp(f.players ? "data set: your own file: " + f.path
                                : "data set: changed since it was installed: " + f.path);
        break;
      case Finding::Same:
        break;
    }
  }
  if (playersDamaged)
    std::fprintf(stderr, "vxgame: mend your file, or delete it to play with the data set's own\n");
  if (setIncomplete) TellHowToRepair(where);
  return !setIncomplete && !playersDamaged;
}

// A manifest that is there but lists nothing: the folder's files cannot be
// checked, which is damage of its own.
void ReportDamagedManifest(const std::string& path, const std::string& detail,
                           const GameFolderChoice& where) {
  std::fprintf(stderr, "vxgame: data set manifest damaged: %s (%s); its files cannot be checked\n",
               path.c_str(), detail.c_str());
  NoteAtStartUp("data set: damaged " + path + " (" + detail + ")");
  TellHowToRepair(where, "the game runs on unchecked");
}

#ifdef __EMSCRIPTEN__
// In the page the loop is the browser's: it calls back once per display
// frame, and each call runs what is due (RunLoopStep) and returns.
std::unique_ptr<platform::Backend> gPageBackend;
platform::WebBackend* gWeb = nullptr;  // null in a scripted run

void EndPageRun(int32_t code) {
  emscripten_cancel_main_loop();
  FinishBackgroundWork();
  TakeSaveNotice();
  gTrace.close();
  code = FinishDemo(code);
  if (code == 0 && !ScreenshotsDone()) code = 2;
  std::exit(code);
}

// The page keeps the player's folder in the browser's storage; a file
// replaced there (a save, the settings, an edited level) is stored at once,
// now that it is whole and in place.
EM_JS(void, vx_folder_changed, (), {
  if (Module.vxFolderChanged) Module.vxFolderChanged();
});

// The music decoders the game starts run in the page, one after another, a
// slice after each loop step: the frames go on while a track is decoded.
std::deque<std::unique_ptr<musicdec::DecodeJob>> gDecoders;
constexpr double kDecodeSliceMs = 6;
constexpr int64_t kDecodeStepFrames = 2048;

bool StartProgramInPage(const char* path, const std::vector<std::string>& args) {
  if (musicdec::TrackNumberFromName(path) < 0) return false;
  std::vector<std::string> words{path};
  words.insert(words.end(), args.begin(), args.end());
  auto job = std::make_unique<musicdec::DecodeJob>();
  if (!job->Begin(words)) return false;
  gDecoders.push_back(std::move(job));
  return true;
}

void DecodeSlice() {
  const double until = emscripten_get_now() + kDecodeSliceMs;
  while (!gDecoders.empty() && emscripten_get_now() < until) {
    if (!gDecoders.front()->Step(kDecodeStepFrames)) gDecoders.pop_front();
  }
}

// A demo watched in the page: a loop step per display frame at normal
// speed; running fast, steps until the display frame's time is used, the
// waits between a tick's frames passing at once; paused between a tick's
// frames, only the viewer's keys are taken until a step.
void PlaybackFrame() {
  platform::PlaybackBackend& play = gPlayer.Playback();
  const double until = emscripten_get_now() + 30;
  for (;;) {
    if (frameClock.secondPassPending && play.PauseHolds()) return;
    const int32_t wait = RunLoopStep();
    if (wait < 0) return EndPageRun(0);
    if (!play.Fast() || play.Paused() || emscripten_get_now() >= until) return;
    if (wait > 0) play.WaitMs(wait);
  }
}

void PageFrame() {
  if (gWeb != nullptr) {
    gWeb->SampleGamepads();
    if (gPlaying) {
      PlaybackFrame();
    } else if (RunLoopStep() < 0) {
      EndPageRun(0);
    }
    DecodeSlice();
    return;
  }
  // A scripted run keeps its virtual clock: ticks as fast as the page can
  // run them, a few dozen milliseconds of them per display frame.
  const double until = emscripten_get_now() + 30;
  do {
    const int32_t wait = RunLoopStep();
    if (wait < 0) return EndPageRun(0);
    if (wait > 0) platform::Current().WaitMs(wait);
  } while (emscripten_get_now() < until);
}
#endif

}  // namespace

int main(int argc, char** argv) {
  platform::UseStartingConsole();
  platform::GiveLargeBlocksBack();
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

  DemoFile demo;
  if (!cl.playFile.empty() && !ReadDemo(cl.playFile.c_str(), demo, error))
    return Fail("demo '" + cl.playFile + "': " + error);

  std::vector<platform::ScriptEvent> script;
  if (!cl.inputFile.empty()) {
    if (!cl.headless) return Fail("--input needs --headless");
    if (!platform::ReadInputScript(cl.inputFile.c_str(), script, error))
      return Fail("input script '" + cl.inputFile + "': " + error);
  }
  const bool scriptCloses =
      std::any_of(script.begin(), script.end(), [](const platform::ScriptEvent& e) { return e.close; });
  if (cl.headless && cl.frames < 0 && !scriptCloses && cl.playFile.empty())
    return Fail("--headless needs --frames N or a close event in the input script");

  // Output files are named relative to where the program was started, and
  // are checked before anything runs.
  std::error_code ec;
  for (Screenshot& s : cl.screenshots) {
    s.file = fs::absolute(s.file, ec).string();
    if (s.frame == 0) return Fail("--screenshot " + s.file + ": frames count from 1");
    if (cl.frames >= 0 && s.frame > cl.frames)
      return Fail("--screenshot " + s.file + ": frame " + std::to_string(s.frame) +
                  " is never reached, the run ends after " + std::to_string(cl.frames) + " frames");
    std::string why;
    if (!Writable(s.file, why)) return Fail("cannot write screenshot '" + s.file + "': " + why);
    gScreenshots.push_back(PendingShot{s});
  }
  if (!cl.recordFile.empty()) {
    gRecordPath = fs::absolute(cl.recordFile, ec).string();
    std::string why;
    if (!Writable(gRecordPath, why)) return Fail("cannot write demo '" + gRecordPath + "': " + why);
  }
  if (!cl.traceFile.empty()) {
    gTrace.open(fs::absolute(cl.traceFile, ec), std::ios::out | std::ios::trunc | std::ios::binary);
    if (!gTrace) return Fail("cannot write trace file '" + cl.traceFile + "'");
  }

  const fs::path programFolder = platform::ProgramFile(argv[0]).parent_path();
  const std::vector<fs::path> dataSetPlaces = {programFolder / kDataSetFolderName,
                                               (programFolder / VX_DATASET_FROM_BIN).lexically_normal()};
  // Windows keeps a user's files for programs under %APPDATA%; other
  // systems under the XDG data home.
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const std::string home = platform::HomeFolder();
  std::string dataHome = platform::ApplicationDataFolder();
  if (dataHome.empty()) dataHome = XdgDataHome(xdg, home.empty() ? nullptr : home.c_str());
  GameFolderChoice where;
  if (!ChooseGameFolder(cl.root, programFolder, dataSetPlaces, dataHome, where, error)) return Fail(error);
  const bool layered = where.kind == GameFolderChoice::Kind::PerUser && !where.dataSet.empty();
  if (layered) {
    PlayersFolderReport prepared;
    if (!PreparePlayersFolder(where.folder, prepared, error)) return Fail(error);
    if (prepared.removed > 0)
      std::printf(
          "vxgame: game folder %s now lies over the data set %s: %d unchanged %s removed, %d of "
          "your files kept\n",
          where.folder.string().c_str(), where.dataSet.string().c_str(), prepared.removed,
          prepared.removed == 1 ? "copy" : "copies", prepared.kept);
  }

  if (cl.level >= 0) {
    newGameStart.level = cl.level;
    newGameStart.straightToGame = 1;
  }
  const fs::path dataSet = fs::absolute(where.dataSet, ec).lexically_normal();
  fs::current_path(where.folder, ec);
  if (ec) return Fail("cannot enter game folder '" + where.folder.string() + "': " + ec.message());

  // The data set's manifest names the files the player's folder lies over.
  std::vector<ManifestEntry> manifest;
  std::string manifestDetail;
  const std::string manifestPath = layered ? (dataSet / kManifestFile).string() : std::string(kManifestFile);
  const ManifestState manifestState = LoadManifest(manifestPath, manifest, manifestDetail);
  const bool haveManifest = manifestState == ManifestState::Read;
  if (layered) {
    std::vector<std::string> names;
    for (const ManifestEntry& e : manifest) names.push_back(e.path);
    platform::SetGeneratedSet(dataSet.string(), std::move(names));
  }
  const std::string manifestName = layered ? manifestPath : (where.folder / kManifestFile).string();
  if (cl.listOverrides) {
    if (manifestState == ManifestState::Damaged)
      std::fprintf(stderr, "vxgame: data set manifest damaged: %s (%s); its files cannot be checked\n",
                   manifestName.c_str(), manifestDetail.c_str());
    ListOverriddenFiles(manifest, where);
    return 0;
  }
  bool whole = true;
  if (manifestState == ManifestState::Damaged) {
    ReportDamagedManifest(manifestName, manifestDetail, where);
    whole = false;
  }
  if (haveManifest && !ReportDataSet(CheckDataSet(manifest), where)) whole = false;
  if (!whole && cl.strict) {
    std::fprintf(stderr, "vxgame: --strict: the data set is not complete\n");
    return 3;
  }

  // The player's setting records every game in a window.
  if (cl.recordFile.empty() && cl.playFile.empty() && !cl.headless && !cl.listOverrides) {
    RecordReader settings;
    if (ReadConfigValue(settings, kRecordDemos) != 0) {
      cl.recordFile = gRecordPath = NextDemoName();
      if (gRecordPath.empty())
        std::fprintf(stderr, "vxgame: cannot make the folder demos/ for the game's demo\n");
    }
  }
  std::vector<std::string> recordOwn;
  std::string recordData;
  if (!cl.playFile.empty() || !cl.recordFile.empty()) {
    const std::string data = DataSetChecksum(haveManifest ? manifestPath : std::string());
    if (!cl.playFile.empty()) {
      const std::string mismatch =
          DemoMismatch(demo, data, ManifestFileChecksum(haveManifest ? manifestPath : std::string()));
      if (!mismatch.empty() && !cl.force)
        return Fail("demo '" + cl.playFile + "' is not played: " + mismatch + " (--force plays it anyway)");
      if (!mismatch.empty())
        std::fprintf(stderr, "vxgame: demo '%s': %s; played anyway\n", cl.playFile.c_str(), mismatch.c_str());
      // The game it plays runs in a folder of its own over the same files.
      if (!layered) {
        const fs::path gameFolder = fs::current_path(ec);
        platform::SetGeneratedSet(gameFolder.string(), FolderGameFiles(gameFolder, manifest));
      }
      if (!MakePlaybackFolder(demo, gPlayFolder, error)) return Fail("demo '" + cl.playFile + "': " + error);
      fs::current_path(gPlayFolder, ec);
      if (ec) return Fail("cannot enter the playback folder '" + gPlayFolder.string() + "': " + ec.message());
    } else {
      std::vector<std::string> own;
      for (const DataSetFinding& f : ListOverrides(manifest))
        if (f.kind != Finding::Same) own.push_back(f.path);
      recordOwn = std::move(own);
      recordData = data;
    }
  }

  // The music decoders run detached and are never waited for.
  platform::LeaveChildrenUnwaited();

  std::unique_ptr<platform::Backend> backend;
  if (cl.headless) {
    auto headless = std::make_unique<platform::HeadlessBackend>();
    headless->SetScript(std::move(script));
    backend = std::move(headless);
  } else {
#ifdef __EMSCRIPTEN__
    auto web = std::make_unique<platform::WebBackend>();
    web->Start();
    web->SetProgramRunner(&StartProgramInPage);
    gWeb = web.get();
    backend = std::move(web);
#else
    backend = platform::StartDesktopBackend(error);
    if (!backend) {
      std::fprintf(stderr, "vxgame: cannot open a display (%s); try --headless\n", error.c_str());
      return 1;
    }
#endif
  }
  platform::Backend* installed = backend.get();
  if (!cl.recordFile.empty()) {
    std::vector<std::string> warnings;
    const DemoFile header =
        DemoHeaderHere(recordData, recordOwn, backend->SystemMetric(platform::Metric::ScreenWidth),
                       backend->SystemMetric(platform::Metric::ScreenHeight), warnings);
    for (const std::string& w : warnings)
      std::fprintf(stderr, "vxgame: the demo leaves out %s; it plays the same only where that file is the same\n",
                   w.c_str());
    if (!gRecorder.Start(gRecordPath, header, *backend, error))
      return Fail("cannot write demo '" + gRecordPath + "': " + error);
    gRecording = true;
    installed = &gRecorder.Wrapped();
  } else if (!cl.playFile.empty()) {
    gPlayer.Start(demo, *backend, !cl.headless);
    gPlaying = true;
    installed = &gPlayer.Wrapped();
  }
  installed->SetFrameLimit(cl.frames);
  platform::Install(installed);
  SetFrameObserver(&AfterFrame);
  SetExitHandler(&AtProgramExit);
#ifdef __EMSCRIPTEN__
  gPageBackend = std::move(backend);
  platform::SetReplaceObserver([](const std::string&, bool) { vx_folder_changed(); });
  if (const int32_t status = StartUp(); status != 0) return status;
  emscripten_set_main_loop(&PageFrame, 0, 1);  // returns only by unwinding
  return 0;
#else
  int rc = WinMain();
  FinishBackgroundWork();
  TakeSaveNotice();  // a save that failed in the last frames still reaches stderr
  gTrace.close();
  rc = FinishDemo(rc);
  if (rc == 0 && !ScreenshotsDone()) return 2;
  return rc;
#endif
}
