#pragma once
// Where the program lies and where a user's files go, as the system tells.
#include <filesystem>
#include <string>

namespace platform {

// The running program's own file, as the system names it; `argv0` made
// absolute when the system does not say.
std::filesystem::path ProgramFile(const char* argv0);
// The user's home folder: HOME, else the account's; empty when neither.
std::string HomeFolder();
// The folder a Windows user's programs keep their files in (%APPDATA%);
// empty on other systems, which have their own rules (XDG).
std::string ApplicationDataFolder();
// Whether a new file can be made at `path` (its folder takes new files) or
// the file there can be replaced.
bool MayWrite(const std::filesystem::path& path);
// Finished child processes are reaped by the system: the game never waits
// for the programs it starts.
void LeaveChildrenUnwaited();

}  // namespace platform
