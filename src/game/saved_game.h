#pragma once
// The saved game "gamesave.sav": a record file of 124 numbered lines, kept
// with the previous whole save beside it as "gamesave.sav.bak".
#include <cstdint>

struct GameState;

inline constexpr const char* kSaveFile = "gamesave.sav";
inline constexpr const char* kSaveBackupFile = "gamesave.sav.bak";
// Where a damaged save is kept (".1", ".2" and on when that one is taken).
inline constexpr const char* kDamagedSaveFile = "gamesave.sav.damaged";

// What the player is to be told on the screen.
enum class SaveNotice { kNone, kSaveFailed, kDamagedSave };

// Writes the saved fields of a living player, replacing the file only once
// the new one is complete on the disk. The fields are taken at once; the
// writing happens on the engine's writer thread, after earlier saves.
void SaveGame(GameState& g);
// Saves at once and waits for the disk: false when the save failed (the
// failure is reported, but no notice is raised for it: the caller tells).
bool SaveGameAndWait(GameState& g);
// Writes what went wrong since the last call on stderr and in the log, one
// line each, and returns what the screen should tell (at most once for a
// run of failed saves, again only after a save succeeded).
SaveNotice TakeSaveNotice();
// Returns once every save asked for is on the disk (LoadGame and
// SavedGameAvailable wait so themselves).
void FinishSaving();
// Resets the game, reads the saved fields when the file is there and
// whole (else the backup, when that one is whole) and starts the saved level.
void LoadGame(GameState& g);
// Whether LoadGame would resume a saved game rather than start a new one.
bool SavedGameAvailable();
// The level LoadGame would resume in, or -1 when it would start a new game.
int32_t SavedGameLevel();
