#pragma once
// The data set's manifest and the start-up check against it. The data
// generator lists every file it writes with its size and checksum; at
// start-up each listed file of the game folder must be there and hold what
// the game can load. A file that loads but differs from its entry was
// changed by the player (a repainted picture, an edited level object file)
// and is only noted. Over a generated set each file is checked where the
// game reads it: the player's own file when there is one.
#include <cstdint>
#include <string>
#include <vector>

inline constexpr const char* kManifestFile = "manifest.txt";

struct ManifestEntry {
  std::string path;  // relative to the game folder, '/'-separated
  uint64_t size = 0;
  uint64_t checksum = 0;
};

// 64-bit FNV-1a over the file's bytes; false when it cannot be read.
bool FileChecksum(const std::string& path, uint64_t& size, uint64_t& checksum);

// The manifest of a folder: one line per file, "SIZE CHECKSUM PATH", the
// checksum in 16 hexadecimal digits; '#' lines are comments.
bool WriteManifest(const std::string& file, const std::vector<ManifestEntry>& entries);
// False when the file cannot be read; lines that do not parse are skipped.
// Only a regular file is read (a pipe in its place is not waited on).
bool ReadManifest(const std::string& file, std::vector<ManifestEntry>& entries);

enum class ManifestState { Absent, Read, Damaged };
// The manifest of a folder for the start-up check: Absent when nothing is
// at its name (the folder is not checked), Damaged when something is but
// lists no file (empty, cut before its first entry, unreadable, not a
// file; `detail` says which), Read otherwise.
ManifestState LoadManifest(const std::string& file, std::vector<ManifestEntry>& entries, std::string& detail);
// Entries for the given files of `root` (missing ones are left out).
std::vector<ManifestEntry> DescribeFiles(const std::string& root, const std::vector<std::string>& paths);

enum class Finding { Missing, Damaged, Changed, Same };

struct DataSetFinding {
  Finding kind;
  std::string path;
  std::string detail;    // why a file is damaged ("cut short: ...")
  bool players = false;  // the player's own file over the generated set
};

// Checks every entry against the game folder that is the working folder,
// in manifest order (Same is never a finding).
std::vector<DataSetFinding> CheckDataSet(const std::vector<ManifestEntry>& entries);

// The player's files that hide a generated file, in manifest order: each
// Damaged (it does not load), Changed, or Same as the generated file.
// Empty for a game folder of one layer.
std::vector<DataSetFinding> ListOverrides(const std::vector<ManifestEntry>& entries);

// Whether a file of the working folder (by its kind, from its name) holds
// all that the game reads of it; `detail` says what is wrong.
bool FileLoads(const std::string& path, std::string& detail);
