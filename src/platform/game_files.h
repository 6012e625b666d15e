#pragma once
// The game folder in two layers. The generated set (what vxdata wrote, the
// installation's copy) lies under the player's own folder, which is the
// working folder: a file there hides the generated file of the same name,
// file by file, and everything the game writes goes there. A new version
// replaces the generated set alone, so the player's files survive it.
// Without a generated set the working folder is the whole game folder.
#include <string>
#include <vector>

namespace platform {

// The generated set: its folder (absolute) and the names of its files, as
// its manifest lists them. Only listed files are read from it, so that what
// a game once wrote into that folder (a saved game, decoded music) never
// passes for the player's. An empty folder makes a game folder of one layer.
void SetGeneratedSet(const std::string& folder, std::vector<std::string> names);
const std::string& GeneratedSet();

// Where to read the game file `name` (relative to the game folder): the
// player's file when the player's folder holds anything of that name (a
// broken file included, so that it shows as broken rather than vanishing),
// else the generated set's when it lists the name, else the player's folder
// (where it is missing). Absolute names stay as they are.
std::string GameFile(const char* name);

// Whether the player's folder holds something of that name.
bool PlayersFile(const char* name);

// For each of `names`, files of the game folder's subfolder `folder`
// ("data"), whether IsRegularFile(GameFile(folder/name)) holds: the same
// answers, with the player's subfolder listed once, so that a name in
// neither layer costs the system no call (a level's start asks this of
// every level's object file).
std::vector<bool> RegularGameFiles(const std::string& folder, const std::vector<std::string>& names);

}  // namespace platform
