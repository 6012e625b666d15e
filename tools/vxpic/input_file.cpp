#include "vxpic/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vxpic {

namespace {

const char* NotAFile(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder, not a file";
  if (S_ISFIFO(mode)) return "a named pipe, not a file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device, not a file";
  if (S_ISSOCK(mode)) return "a socket, not a file";
  return "not a regular file";
}

}  // namespace

InputFile::~InputFile() {
  if (fd_ >= 0) close(fd_);
}

bool InputFile::Open(const std::string& path, uint64_t maxBytes, std::string& error) {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  size_ = 0;
  // Without O_NONBLOCK the open of a pipe waits for a writer.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error = std::string("cannot open it (") + std::strerror(errno) + ")";
    return false;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    error = std::string("cannot open it (") + std::strerror(errno) + ")";
    close(fd);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    error = NotAFile(st.st_mode);
    close(fd);
    return false;
  }
  const uint64_t size = static_cast<uint64_t>(st.st_size);
  if (size > maxBytes) {
    error = std::to_string(size) + " bytes, more than the " + std::to_string(maxBytes) +
            " bytes vxpic reads of such a file";
    close(fd);
    return false;
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags != -1) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  fd_ = fd;
  size_ = size;
  return true;
}

size_t InputFile::Read(void* to, size_t bytes) {
  size_t done = 0;
  while (fd_ >= 0 && done < bytes) {
    const ssize_t n = read(fd_, static_cast<char*>(to) + done, bytes - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

bool ReadInputFile(const std::string& path, uint64_t maxBytes, std::string& bytes, std::string& error) {
  InputFile in;
  if (!in.Open(path, maxBytes, error)) return false;
  bytes.clear();
  char buffer[1 << 16];
  for (;;) {
    const size_t got = in.Read(buffer, sizeof buffer);
    bytes.append(buffer, got);
    // A file that grows while it is read is still held to the bound.
    if (bytes.size() > maxBytes) {
      error = "more than the " + std::to_string(maxBytes) + " bytes vxpic reads of such a file";
      return false;
    }
    if (got < sizeof buffer) break;
  }
  return true;
}

}  // namespace vxpic
