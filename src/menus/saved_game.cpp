#include "menus/saved_game.h"

#include <string>

#include "config/record_reader.h"
#include "engine/engine_effects.h"
#include "game/level_start.h"
#include "game/singletons.h"
#include "platform/file_replace.h"

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
  for (int32_t r = 0; r < kOwnedSaved / 10; ++r) AppendLine(out, line++, "weapons h", " ", &g.owned[10 * r]);
  for (int32_t r = 0; r < kSeenSaved / 10; ++r)
    AppendLine(out, line++, "messages h", " ", &g.resultSeen[10 * r]);
  for (int32_t r = 0; r < kClearedSaved / 10; ++r) {
    AppendLine(out, line++, "screen stats h", " ", &g.levelCleared[10 * r]);
  }
  const int32_t main1[10] = {g.level,          g.playerX,   g.playerY, g.weapon,     g.difficultyOffset,
                             g.difficultyBase, g.longBlade, g.armour,  g.doubleShot, g.regeneration};
  AppendLine(out, line++, "main vars 1", " ", main1);
  const int32_t main2[10] = {g.broadBlade};
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
SaveState ReadSave(RecordReader& r, const char* path, SavedWords& w) {
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
  return whole && levelInWorld ? SaveState::kWhole : SaveState::kDamaged;
}

void Apply(GameState& g, const SavedWords& w) {
  for (int32_t i = 0; i < kOwnedSaved; ++i) g.owned[i] = w.owned[i];
  for (int32_t i = 0; i < kSeenSaved; ++i) g.resultSeen[i] = w.resultSeen[i];
  for (int32_t i = 0; i < kClearedSaved; ++i) g.levelCleared[i] = w.levelCleared[i];
  g.level = w.main1[0];
  g.playerX = w.main1[1];
  g.playerY = static_cast<int32_t>(static_cast<uint32_t>(w.main1[2]) - kLoadLift);
  g.weapon = w.main1[3];
  g.difficultyOffset = w.main1[4];
  g.difficultyBase = w.main1[5];
  g.longBlade = w.main1[6];
  g.armour = w.main1[7];
  g.doubleShot = w.main1[8];
  g.regeneration = w.main1[9];
  g.broadBlade = w.broadBlade;
  // The music check chooses the track of the loaded level afresh.
  g.music.currentTrack = 0;
  g.music.trackCountdown = 0;
}

// Reads the save, or its backup when the save itself is damaged.
bool ReadUsableSave(RecordReader& r, SavedWords& w) {
  const SaveState save = ReadSave(r, kSaveFile, w);
  if (save == SaveState::kWhole) return true;
  if (save == SaveState::kMissing) return false;
  w = SavedWords{};
  return ReadSave(r, kSaveBackupFile, w) == SaveState::kWhole;
}

}  // namespace

void SaveGame(GameState& g) {
  if (g.playerAlive == 0) return;
  // The words are taken now; the file is written behind the frames, after
  // any save asked for before this one.
  engine.fileWrites.Post([text = SaveText(g)] {
    // Only a whole save is worth keeping; a damaged one leaves the backup
    // as it is, the last whole save.
    RecordReader check;
    SavedWords old;
    const bool keepOld = ReadSave(check, kSaveFile, old) == SaveState::kWhole;
    platform::ReplaceFile(kSaveFile, text, keepOld ? kSaveBackupFile : "");
  });
}

void FinishSaving() { engine.fileWrites.Finish(); }

void LoadGame(GameState& g) {
  FinishSaving();
  ResetGame(g);
  SavedWords w;
  if (ReadUsableSave(engine.records, w)) Apply(g, w);
  StartLevel(g, g.level);
  g.hintTimer = kHintFrames;
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
