#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

int OpenRegularFile(const char* path, bool* notRegular) {
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
  // Reads of a regular file do not block either way; the descriptor is
  // made an ordinary one again all the same.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags != -1) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

std::FILE* OpenRegularFileStream(const char* path) {
  const int fd = OpenRegularFile(path);
  if (fd < 0) return nullptr;
  std::FILE* f = ::fdopen(fd, "rb");
  if (f == nullptr) ::close(fd);
  return f;
}

bool IsRegularFile(const char* path) {
  const int fd = OpenRegularFile(path);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

}  // namespace platform
