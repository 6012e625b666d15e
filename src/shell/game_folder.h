#pragma once
// Where the game runs. Without --root it runs in the player's own game
// folder under the XDG data home ("~/.local/share/vxgame"), which lies over
// the installed data set (the generated set): the game reads a file from the
// player's folder when it is there and from the data set otherwise, and
// writes only into the player's folder. So the settings, the saved game and
// the player's own pictures and levels live outside the build and the
// installation, and a rebuild or a new version never touches them. A folder
// named "game" beside the program that holds a file named "portable" is
// used instead (a portable copy, one folder for everything), as is --root.
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
  // Per-user: the data set the folder lies over; empty when none was found
  // and the folder is a whole game folder of its own (one that an earlier
  // version filled with copies).
  std::filesystem::path dataSet;
};

// --root, then a portable folder beside the program, then the per-user
// folder (the data set looked for in `dataSetPlaces`, in order). False with
// a message when there is no folder to run in.
bool ChooseGameFolder(const std::string& root, const std::filesystem::path& programFolder,
                      const std::vector<std::filesystem::path>& dataSetPlaces, const std::string& dataHome,
                      GameFolderChoice& out, std::string& error);

struct PlayersFolderReport {
  int removed = 0;  // copies of an earlier data set that were still as installed
  int kept = 0;     // copies the player had changed: now the player's files
};

// Makes the player's folder ready to lie over the data set: the folder with
// its "data" and "music" (where the editor and the music decoders write).
// A folder that an earlier version filled with copies of the data set (it
// holds a manifest) gives up the copies that are still as they were
// installed, which would otherwise hide every newer data set; the files the
// player changed stay, and from now on hide the data set's. Nothing the
// manifest does not list is touched (settings the player wrote, the saved
// game, screenshots, decoded music).
bool PreparePlayersFolder(const std::filesystem::path& folder, PlayersFolderReport& report,
                          std::string& error);
