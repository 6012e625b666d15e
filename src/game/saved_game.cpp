#include "game/saved_game.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "config/log.h"
#include "config/record_reader.h"
#include "engine/engine_effects.h"
#include "game/level_start.h"
#include "game/singletons.h"
#include "platform/file_replace.h"
#include "platform/game_files.h"

namespace {

constexpr int32_t kOwnedSaved = 100;
constexpr int32_t kSeenSaved = 1000;
constexpr int32_t kClearedSaved = 100;
constexpr int32_t kFirstWeaponLine = 1;
constexpr int32_t kFirstMessageLine = kFirstWeaponLine + kOwnedSaved / 10;
constexpr int32_t kFirstStatsLine = kFirstMessageLine + kSeenSaved / 10;
constexpr int32_t kMainVarsLine1 = kFirstStatsLine + kClearedSaved / 10;
constexpr int32_t kMainVarsLine2 = kMainVarsLine1 + 1;
static_assert(kMainVarsLine1 == 121 && kMainVarsLine2 == 122);
// A loaded player starts 17 pixels above the saved point, clear of the floor.
constexpr uint32_t kLoadLift = 17u << 16;
constexpr int32_t kHintFrames = 150;

// The words a save holds, read completely before any of them reaches the
// game, so a damaged file changes nothing.
struct SavedWords {
  int32_t owned[kOwnedSaved] = {};
  int32_t resultSeen[kSeenSaved] = {};
  int32_t levelCleared[kClearedSaved] = {};
  int32_t main1[10] = {};  // level, playerX, playerY, weapon, difficulty, items
  int32_t broadBlade = 0;
};

enum class SaveState { kMissing, kDamaged, kWhole };

void AppendLine(std::string& out, int32_t number, const char* section, const char* text,
                const int32_t* values) {
  out += std::to_string(number);
  out += ',';
  out += section;
  out += ',';
  out += text;
  for (int32_t i = 0; i < 10; ++i) {
    out += ',';
    out += std::to_string(values[i]);
  }
  out += '\n';
}

std::string SaveText(const GameState& g) {
  static constexpr int32_t kZeros[10] = {};
  std::string out;
  out.reserve(4096);
  AppendLine(out, 0, "game tz40 save file", " ", kZeros);
  int32_t line = kFirstWeaponLine;
  for (int32_t r = 0; r < kOwnedSaved / 10; ++r)
    AppendLine(out, line++, "weapons h", " ", &g.progress.owned[10 * r]);
  for (int32_t r = 0; r < kSeenSaved / 10; ++r)
    AppendLine(out, line++, "messages h", " ", &g.progress.resultSeen[10 * r]);
  for (int32_t r = 0; r < kClearedSaved / 10; ++r) {
    AppendLine(out, line++, "screen stats h", " ", &g.progress.levelCleared[10 * r]);
  }
  const int32_t main1[10] = {g.level,
                             g.player.x,
                             g.player.y,
                             g.player.weapon,
                             g.progress.difficultyOffset,
                             g.progress.difficultyBase,
                             g.progress.longBlade,
                             g.progress.armour,
                             g.progress.doubleShot,
                             g.progress.regeneration};
  AppendLine(out, line++, "main vars 1", " ", main1);
  const int32_t main2[10] = {g.progress.broadBlade};
  AppendLine(out, line, "main vars 2", " ", main2);
  AppendLine(out, kNoRecord, "not found", "not found", kZeros);
  out += '\n';
  return out;
}

// The reader stopped on a line numbered 13131313 that it read whole, not on
// the end of the file or an overlong line.
bool MetEndLine(const RecordReader& r) {
  return r.recordId == kNoRecord && r.length >= 1 && r.length <= kMaxLineChars &&
         r.line[r.length - 1] == '\n';
}

void Copy10(const RecordReader& r, int32_t* to) {
  for (int32_t i = 0; i < 10; ++i) to[i] = r.values[i];
}

// Reads the lines by number with the sequential reader, exactly as a load
// copies them (a missing line gives what the search stopped at). The file
// is whole when its end line is met, during the searches or after them.
SaveState ReadSave(RecordReader& r, const char* path, SavedWords& w, const char** why = nullptr) {
  OpenRecords(r, path);
  if (!r.stream.is_open()) {
    CloseRecords(r);
    return SaveState::kMissing;
  }
  bool whole = false;
  const auto find = [&](int32_t id) {
    FindRecord(r, id);
    whole = whole || MetEndLine(r);
  };
  int32_t line = kFirstWeaponLine;
  for (int32_t row = 0; row < kOwnedSaved / 10; ++row) {
    find(line++);
    Copy10(r, &w.owned[10 * row]);
  }
  for (int32_t row = 0; row < kSeenSaved / 10; ++row) {
    find(line++);
    Copy10(r, &w.resultSeen[10 * row]);
  }
  for (int32_t row = 0; row < kClearedSaved / 10; ++row) {
    find(line++);
    Copy10(r, &w.levelCleared[10 * row]);
  }
  find(kMainVarsLine1);
  Copy10(r, w.main1);
  find(kMainVarsLine2);
  w.broadBlade = r.values[0];
  if (!whole) find(kNoRecord);
  CloseRecords(r);
  // A level outside the world would index the progress tables out of
  // bounds; only a hand-edited file holds one.
  const bool levelInWorld = w.main1[0] >= 0 && w.main1[0] <= kHighestLevel;
  if (why != nullptr) *why = !whole ? "it ends before its end line" : "its level lies outside 0..100";
  return whole && levelInWorld ? SaveState::kWhole : SaveState::kDamaged;
}

// A loaded player this far above or below the screen (in screen heights)
// was never saved by the game: it only comes from a hand-edited file, and
// it would fall out of the world again after every death. Such a player
// starts at the new game's height instead.
bool HeightInRoom(int32_t y) {
  const int32_t h = engine.gfx.screenHeight;
  const int32_t py = y >> 16;
  return py >= -h && py <= h;
}

void Apply(GameState& g, const SavedWords& w) {
  for (int32_t i = 0; i < kOwnedSaved; ++i) g.progress.owned[i] = w.owned[i];
  for (int32_t i = 0; i < kSeenSaved; ++i) g.progress.resultSeen[i] = w.resultSeen[i];
  for (int32_t i = 0; i < kClearedSaved; ++i) g.progress.levelCleared[i] = w.levelCleared[i];
  g.level = w.main1[0];
  g.player.x = w.main1[1];
  const int32_t y = fixed::Sub(w.main1[2], kLoadLift);
  if (HeightInRoom(y)) g.player.y = y;
  g.player.weapon = w.main1[3];
  g.progress.difficultyOffset = w.main1[4];
  g.progress.difficultyBase = w.main1[5];
  g.progress.longBlade = w.main1[6];
  g.progress.armour = w.main1[7];
  g.progress.doubleShot = w.main1[8];
  g.progress.regeneration = w.main1[9];
  g.progress.broadBlade = w.broadBlade;
  // The music check chooses the track of the loaded level afresh.
  g.music.currentTrack = 0;
  g.music.trackCountdown = 0;
}

// What the writer thread and the loading found wrong, kept until the frames
// tell it: a line for stderr and the log, and a notice for the screen.
struct Reports {
  std::mutex mutex;
  std::atomic<bool> waiting{false};  // lines or a notice are there
  std::vector<std::string> lines;
  SaveNotice notice = SaveNotice::kNone;
  bool lastFailed = false;    // the last save did not reach the disk
  bool failureShown = false;  // and the player has been told of it
};

Reports& TheReports() {
  static Reports reports;
  return reports;
}

void Report(const std::string& line, SaveNotice notice) {
  Reports& r = TheReports();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.lines.push_back(line);
  if (notice != SaveNotice::kNone) r.notice = notice;
  r.waiting = true;
}

void SaveEnded(bool ok, const std::string& problem) {
  Reports& r = TheReports();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.lastFailed = !ok;
  if (ok) {
    r.failureShown = false;
    return;
  }
  r.lines.push_back("cannot save the game: " + problem);
  // One notice for a run of failures: every room change would raise one.
  if (!r.failureShown) r.notice = SaveNotice::kSaveFailed;
  r.failureShown = true;
  r.waiting = true;
}

// Copies a damaged save aside before anything can overwrite it: to
// "gamesave.sav.damaged", or the first free "gamesave.sav.damaged.N", so an
// earlier one stays. `keptAs` is empty when a copy with the same bytes is
// already there (the player was told when it was made).
bool KeepDamagedAside(std::string& keptAs, std::string& problem) {
  keptAs.clear();
  std::string bytes;
  if (!platform::ReadWholeFile(kSaveFile, bytes)) {
    problem = std::string("cannot read ") + kSaveFile + " to keep it aside";
    return false;
  }
  for (int32_t n = 0; n < 100; ++n) {
    const std::string name = std::string(kDamagedSaveFile) + (n == 0 ? "" : "." + std::to_string(n));
    if (!platform::PlayersFile(name.c_str())) {
      if (!platform::ReplaceFile(name, bytes, "", &problem)) return false;
      keptAs = name;
      return true;
    }
    std::string other;
    if (platform::ReadWholeFile(name, other) && other == bytes) return true;
  }
  problem = std::string("no free name to keep the damaged ") + kSaveFile + " aside";
  return false;
}

// Keeps a damaged save aside and says so, once per damaged file.
bool DamagedSaveFound(const char* why, bool backupLoads) {
  std::string keptAs, problem;
  if (!KeepDamagedAside(keptAs, problem)) {
    Report(std::string(kSaveFile) + " is damaged (" + why + ") and cannot be kept aside: " + problem,
           SaveNotice::kDamagedSave);
    return false;
  }
  if (!keptAs.empty()) {
    Report(std::string(kSaveFile) + " is damaged (" + why + "); it is kept as " + keptAs +
               (backupLoads ? std::string("; the game goes on from ") + kSaveBackupFile
                            : std::string("; a new game starts")),
           SaveNotice::kDamagedSave);
  }
  return true;
}

// Writes a save's text over the save file, keeping the previous whole save
// as the backup and a damaged one aside; tells how it went.
bool WriteSaveText(const std::string& text) {
  RecordReader check;
  SavedWords old;
  const char* why = "";
  const SaveState state = ReadSave(check, kSaveFile, old, &why);
  std::string problem;
  // Only a whole save is worth keeping as the backup; a damaged one leaves
  // the backup as it is, the last whole save, and goes aside itself.
  bool ok = state != SaveState::kDamaged || DamagedSaveFound(why, false);
  if (ok) {
    ok = platform::ReplaceFile(kSaveFile, text, state == SaveState::kWhole ? kSaveBackupFile : "", &problem);
  } else {
    problem = std::string("the damaged ") + kSaveFile + " could not be kept aside";
  }
  SaveEnded(ok, problem);
  return ok;
}

// A program stopped in the middle of a save can leave its complete new
// file under the temporary name (killed between its flush and the rename).
// When that file is whole and not older than the save, it is the newest
// save: it goes in as if the save had ended. Other leftovers are removed.
void FinishInterruptedSave() {
  for (const platform::LeftoverFile& f : platform::LeftoverTemporaries(kSaveBackupFile)) {
    std::remove(f.path.c_str());  // a copy of a save that is still in place
  }
  const std::vector<platform::LeftoverFile> left = platform::LeftoverTemporaries(kSaveFile);
  if (left.empty()) return;
  const platform::LeftoverFile* newest = nullptr;
  for (const platform::LeftoverFile& f : left) {
    RecordReader r;
    SavedWords w;
    if (ReadSave(r, f.path.c_str(), w) != SaveState::kWhole) continue;
    if (newest == nullptr || f.modified > newest->modified) newest = &f;
  }
  if (newest != nullptr) {
    RecordReader r;
    SavedWords w;
    const bool saveWhole = ReadSave(r, kSaveFile, w) == SaveState::kWhole;
    std::string text;
    if ((!saveWhole || newest->modified >= platform::ModifiedTime(kSaveFile)) &&
        platform::ReadWholeFile(newest->path, text) && !WriteSaveText(text)) {
      return;  // kept for the next try
    }
  }
  for (const platform::LeftoverFile& f : left) std::remove(f.path.c_str());
}

// Reads the save, or its backup when the save itself is damaged.
bool ReadUsableSave(RecordReader& r, SavedWords& w) {
  FinishInterruptedSave();
  const char* why = "";
  const SaveState save = ReadSave(r, kSaveFile, w, &why);
  if (save == SaveState::kWhole) return true;
  if (save == SaveState::kMissing) return false;
  w = SavedWords{};
  const bool backup = ReadSave(r, kSaveBackupFile, w) == SaveState::kWhole;
  DamagedSaveFound(why, backup);
  return backup;
}

}  // namespace

void SaveGame(GameState& g) {
  if (g.player.alive == 0) return;
  // The words are taken now; the file is written behind the frames, after
  // any save asked for before this one.
  engine.fileWrites.Post([text = SaveText(g)] {
    FinishInterruptedSave();
    WriteSaveText(text);
  });
}

bool SaveGameAndWait(GameState& g) {
  if (g.player.alive == 0) return true;
  SaveGame(g);
  FinishSaving();
  Reports& r = TheReports();
  std::lock_guard<std::mutex> lock(r.mutex);
  // The caller shows the failure itself.
  if (r.lastFailed && r.notice == SaveNotice::kSaveFailed) r.notice = SaveNotice::kNone;
  return !r.lastFailed;
}

void FinishSaving() { engine.fileWrites.Finish(); }

SaveNotice TakeSaveNotice() {
  Reports& r = TheReports();
  if (!r.waiting) return SaveNotice::kNone;
  std::vector<std::string> lines;
  SaveNotice notice = SaveNotice::kNone;
  {
    std::lock_guard<std::mutex> lock(r.mutex);
    lines.swap(r.lines);
    notice = r.notice;
    r.notice = SaveNotice::kNone;
    r.waiting = false;
  }
  for (const std::string& line : lines) {
    std::fprintf(stderr, "vxgame: %s\n", line.c_str());
    LogText(engine.log, "", line);
  }
  return notice;
}

void LoadGame(GameState& g) {
  FinishSaving();
  ResetGame(g);
  SavedWords w;
  if (ReadUsableSave(engine.records, w)) Apply(g, w);
  StartLevel(g, g.level);
  g.levelState.hintTimer = kHintFrames;
}

bool SavedGameAvailable() {
  FinishSaving();
  RecordReader r;
  SavedWords w;
  return ReadUsableSave(r, w);
}

int32_t SavedGameLevel() {
  FinishSaving();
  RecordReader r;
  SavedWords w;
  return ReadUsableSave(r, w) ? w.main1[0] : -1;
}
