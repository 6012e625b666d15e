#include "game/placements.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "config/log.h"
#include "config/record_reader.h"
#include "engine/engine_effects.h"
#include "game/game_state.h"
#include "game/object_kinds.h"
#include "game/objects.h"
#include "game/placement_file.h"
#include "game/singletons.h"
#include "platform/file_replace.h"

void ClearPlacements(ObjectTables& tables) {
  for (PlacementRecord& p : tables.placements) p.active = 0;
}

void AddPlacement(ObjectTables& tables, int32_t x, int32_t y, int32_t type) {
  for (PlacementRecord& p : tables.placements) {
    if (p.active != 0) continue;
    p.active = 1;
    p.x = x;
    p.y = y;
    p.type = type;
    return;
  }
}

void LoadPlacements(GameState& g) {
  ClearPlacements(g.tables);
  for (PlacementRecord& p : g.tables.placements) p = PlacementRecord{};
  const std::string name = "data/" + ObjectFileName(g.level);
  RecordReader& reader = engine.records;
  OpenRecords(reader, name.c_str());
  if (reader.stream.is_open()) {
    // The search only moves forward: once a record is missing, the reader
    // has met the end and every later record reads as free.
    for (int32_t i = 0; i < kPlacementCount; ++i) {
      FindRecord(reader, i);
      PlacementRecord& p = g.tables.placements[i];
      p.active = reader.values[0];
      p.x = reader.values[1];
      p.y = reader.values[2];
      p.type = reader.values[3];
    }
  }
  CloseRecords(reader);
  ClearObjects(g.tables);
  for (const PlacementRecord& p : g.tables.placements) {
    if (p.active != 0 && p.type <= kHighestSpawnedCode) SpawnMonster(g, p.x, p.y, p.type);
  }
}

namespace {
bool levelFileFailed = false;
}  // namespace

// The new file is written beside the old one and renamed over it once it is
// on the disk, so a failed or interrupted save leaves the old file whole; a
// failure is told on stderr and in the log, and the screen asks what next.
bool SavePlacements(GameState& g) {
  const std::string name = "data/" + ObjectFileName(g.level);
  std::string problem;
  // A link at the level file leads into the generated data set (or another
  // shared copy): the player's edit replaces the link, never what it shows.
  if (platform::ReplaceFile(name, FormatPlacements(g.tables.placements), "", &problem,
                            platform::LinkAtName::kReplace))
    return true;
  const std::string line = "cannot write the level file: " + problem;
  std::fprintf(stderr, "vxgame: %s\n", line.c_str());
  LogText(engine.log, "", line);
  levelFileFailed = true;
  return false;
}

bool TakeLevelFileFailure() {
  const bool failed = levelFileFailed;
  levelFileFailed = false;
  return failed;
}

std::string ObjectFileName(int32_t n) {
  std::string name = "lvobj00.txt";
  name[5] = static_cast<char>('0' + std::clamp(n / 10, 0, 9));
  name[6] = static_cast<char>('0' + std::clamp(n % 10, 0, 9));
  return name;
}
