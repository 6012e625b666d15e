#pragma once
// Where the game runs. Without --root it runs in the player's own game
// folder under the XDG data home ("~/.local/share/vxgame"), filled from the
// installed data set on the first start and topped up at every start, so
// the settings and the saved game live outside the build and the
// installation. A folder named "game" beside the program that holds a file
// named "portable" is used instead (a portable copy).
#include <filesystem>
#include <string>
#include <vector>

inline constexpr const char* kGameFolderName = "vxgame";
inline constexpr const char* kDataSetFolderName = "dataset";
inline constexpr const char* kPortableMarker = "portable";

// The XDG data home from the values of XDG_DATA_HOME and HOME (either may
// be null): XDG_DATA_HOME when it is an absolute path, else HOME's
// ".local/share"; empty when neither gives one.
std::string XdgDataHome(const char* xdgDataHome, const char* home);

struct GameFolderChoice {
  enum class Kind { Root, Portable, PerUser };
  Kind kind = Kind::Root;
  std::filesystem::path folder;
  std::filesystem::path dataSet;  // per-user: the installed data set, empty when none was found
};

// --root, then a portable folder beside the program, then the per-user
// folder (the data set looked for in `dataSetPlaces`, in order). False with
// a message when there is no folder to run in.
bool ChooseGameFolder(const std::string& root, const std::filesystem::path& programFolder,
                      const std::vector<std::filesystem::path>& dataSetPlaces, const std::string& dataHome,
                      GameFolderChoice& out, std::string& error);

struct FillReport {
  int copied = 0;   // files that were missing
  int updated = 0;  // files of an older data set that the player had not changed
  int kept = 0;     // files the player changed, left as they are
};

// Brings a per-user folder up to the data set: copies what is missing and
// what a newer data set replaced, never a file the player changed, and
// never anything the data set does not list (settings the player wrote,
// the saved game, screenshots). Its manifest then says what was installed.
bool FillGameFolder(const std::filesystem::path& dataSet, const std::filesystem::path& folder,
                    FillReport& report, std::string& error);
