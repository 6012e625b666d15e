#include "musicdec/os_files.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace musicdec {

#if defined(_WIN32)

int OpenForReading(const std::string& path) {
  return _open(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

int OpenForWriting(const std::string& path) {
  return _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT,
               _S_IREAD | _S_IWRITE);
}

bool SyncFile(int fd) { return _commit(fd) == 0; }

// Write-through: the rename is on the disk when the call returns.
bool PublishFile(const std::string& from, const std::string& to) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  errno = GetLastError() == ERROR_ACCESS_DENIED || GetLastError() == ERROR_SHARING_VIOLATION ? EACCES : EIO;
  return false;
}

std::string SelfExe() {
  char buf[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

int ProcessId() { return _getpid(); }

#else

int OpenForReading(const std::string& path) { return open(path.c_str(), O_RDONLY | O_CLOEXEC); }

int OpenForWriting(const std::string& path) {
  return open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

bool SyncFile(int fd) { return fsync(fd) == 0; }

bool PublishFile(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) return false;
  const std::size_t slash = to.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : to.substr(0, slash);
  const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

std::string SelfExe() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

bool IsSeparator(char c) { return c == '/'; }

int ProcessId() { return static_cast<int>(getpid()); }

#endif

}  // namespace musicdec
