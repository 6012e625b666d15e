#include "platform/user_folders.h"

#include <cstdlib>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>

#include <csignal>
#endif

namespace fs = std::filesystem;

namespace platform {

#if defined(_WIN32)

fs::path ProgramFile(const char* argv0) {
  wchar_t buffer[32768];
  const DWORD n = GetModuleFileNameW(nullptr, buffer, sizeof buffer / sizeof buffer[0]);
  std::error_code ec;
  if (n == 0 || n >= sizeof buffer / sizeof buffer[0]) return fs::absolute(argv0, ec);
  return fs::path(std::wstring(buffer, n));
}

std::string HomeFolder() {
  if (const char* home = std::getenv("USERPROFILE"); home != nullptr && home[0] != '\0') return home;
  return "";
}

std::string ApplicationDataFolder() {
  const char* appData = std::getenv("APPDATA");
  std::error_code ec;
  if (appData == nullptr || appData[0] == '\0' || !fs::path(appData).is_absolute()) return "";
  return appData;
}

bool MayWrite(const fs::path& path) {
  std::error_code ec;
  // Read-only files are replaced all the same (the saved game does so).
  return fs::exists(path, ec) ? _access(path.string().c_str(), 0) == 0
                              : _access(path.parent_path().string().c_str(), 2) == 0;
}

void LeaveChildrenUnwaited() {}

#else

fs::path ProgramFile(const char* argv0) {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) self = fs::absolute(argv0, ec);
  return self;
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') return home;
  if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr) return pw->pw_dir;
  return "";
}

std::string ApplicationDataFolder() { return ""; }

bool MayWrite(const fs::path& path) {
  std::error_code ec;
  return fs::exists(path, ec) ? access(path.c_str(), W_OK) == 0
                              : access(path.parent_path().c_str(), W_OK) == 0;
}

void LeaveChildrenUnwaited() { std::signal(SIGCHLD, SIG_IGN); }

#endif

}  // namespace platform
