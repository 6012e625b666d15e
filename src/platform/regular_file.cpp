#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#if defined(_WIN32)
#include <io.h>
#include <unistd.h>
#else
#include <unistd.h>
#endif

namespace platform {

#if defined(_WIN32)

// Binary, so that no byte is translated and no Ctrl-Z ends a file early;
// not inherited by the programs the game starts.
int OpenRegularFile(const char* path, bool* notRegular) {
  if (notRegular != nullptr) *notRegular = false;
  if (path == nullptr) return -1;
  const int fd = _open(path, _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) return -1;
  struct _stat64 st;
  if (_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) {
    if (notRegular != nullptr) *notRegular = true;
    _close(fd);
    return -1;
  }
  return fd;
}

#else

namespace {

// The descriptor of a regular file at `path`, still without blocking, or -1.
int OpenWithoutBlocking(const char* path, bool* notRegular) {
  if (notRegular != nullptr) *notRegular = false;
  if (path == nullptr) return -1;
  // Without O_NONBLOCK the open of a pipe waits for a writer.
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    if (notRegular != nullptr) *notRegular = true;
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

int OpenRegularFile(const char* path, bool* notRegular) {
  const int fd = OpenWithoutBlocking(path, notRegular);
  if (fd < 0) return -1;
  // Reads of a regular file do not block either way; the descriptor is
  // made an ordinary one again all the same.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags != -1) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

#endif

std::FILE* OpenRegularFileStream(const char* path) {
  const int fd = OpenRegularFile(path);
  if (fd < 0) return nullptr;
  std::FILE* f = ::fdopen(fd, "rb");
  if (f == nullptr) ::close(fd);
  return f;
}

// A level's start asks this of every level's file: the descriptor is only
// looked at, so its flags stay as they opened.
bool IsRegularFile(const char* path) {
#if defined(_WIN32)
  const int fd = OpenRegularFile(path);
#else
  const int fd = OpenWithoutBlocking(path, nullptr);
#endif
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

long ReadSome(int fd, char* buffer, unsigned size) { return ::read(fd, buffer, size); }
void CloseFile(int fd) { ::close(fd); }

#if defined(_WIN32)
bool MayRead(const char* path) { return path != nullptr && _access(path, 4) == 0; }
bool MayRun(const char* path) { return IsRegularFile(path); }
#else
bool MayRead(const char* path) { return path != nullptr && ::access(path, R_OK) == 0; }
bool MayRun(const char* path) { return path != nullptr && ::access(path, X_OK) == 0; }
#endif

}  // namespace platform
