#include "platform/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace platform {
namespace {

std::function<bool(ReplaceStep)>& Fault() {
  static std::function<bool(ReplaceStep)> fault;
  return fault;
}

bool Fails(ReplaceStep step) { return Fault() && Fault()(step); }

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    if (Fails(ReplaceStep::kWrite)) return false;
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// The bytes reach the disk under the temporary name before anything is
// renamed, so a rename can only ever publish a complete file.
bool WriteDurably(const std::string& tempPath, const std::string& bytes) {
  if (Fails(ReplaceStep::kCreate)) return false;
  const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes);
  if (ok) ok = !Fails(ReplaceStep::kSync) && ::fsync(fd) == 0;
  const bool closeFailed = Fails(ReplaceStep::kClose);
  if (::close(fd) != 0 || closeFailed) ok = false;
  return ok;
}

// The old file's bytes; `exists` is false (and the result true) when there
// is no old file to keep.
bool ReadOld(const std::string& path, std::string& bytes, bool& exists) {
  bytes.clear();
  exists = false;
  if (Fails(ReplaceStep::kReadOld)) return false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  exists = true;
  char buffer[65536];
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return ok;
}

bool Rename(const std::string& from, const std::string& to) {
  return !Fails(ReplaceStep::kRename) && ::rename(from.c_str(), to.c_str()) == 0;
}

// Makes the renames themselves durable. A file system that cannot sync a
// folder (EINVAL) has nothing more to offer.
bool SyncFolder(const std::string& folder) {
  if (Fails(ReplaceStep::kSyncFolder)) return false;
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
  ::close(fd);
  return ok;
}

bool KeepBackup(const std::string& path, const std::string& backupPath) {
  std::string old;
  bool exists = false;
  if (!ReadOld(path, old, exists)) return false;
  if (!exists) return true;
  const std::string temp = backupPath + ".tmp";
  if (!WriteDurably(temp, old) || !Rename(temp, backupPath)) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace

bool ReplaceFile(const std::string& path, const std::string& contents, const std::string& backupPath) {
  const std::string temp = path + ".tmp";
  if (!WriteDurably(temp, contents)) {
    ::unlink(temp.c_str());
    return false;
  }
  if (!backupPath.empty() && !KeepBackup(path, backupPath)) {
    ::unlink(temp.c_str());
    return false;
  }
  if (!Rename(temp, path)) {
    ::unlink(temp.c_str());
    return false;
  }
  bool ok = SyncFolder(FolderOf(path));
  if (!backupPath.empty() && FolderOf(backupPath) != FolderOf(path))
    ok = SyncFolder(FolderOf(backupPath)) && ok;
  return ok;
}

void SetReplaceFault(std::function<bool(ReplaceStep)> fault) { Fault() = std::move(fault); }

}  // namespace platform
