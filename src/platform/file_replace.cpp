#include "platform/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <utility>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#include <unistd.h>
#include <windows.h>
// This file defines a ReplaceFile of its own.
#undef ReplaceFile

#include <random>
#else
#include <dirent.h>
#include <signal.h>
#include <sys/random.h>
#include <time.h>
#include <unistd.h>
#endif

#include "platform/regular_file.h"

namespace platform {
namespace {

std::function<int(ReplaceStep)>& Fault() {
  static std::function<int(ReplaceStep)> fault;
  return fault;
}

// The error number an injected fault gives the step, or 0.
int Injected(ReplaceStep step) { return Fault() ? Fault()(step) : 0; }

// Fails the step when a fault is injected, leaving its number in errno.
bool Fails(ReplaceStep step) {
  const int e = Injected(step);
  if (e == 0) return false;
  errno = e;
  return true;
}

// One line that names the file and the reason.
bool Tell(std::string* problem, const char* doing, const std::string& file, const char* reason) {
  if (problem != nullptr) *problem = std::string(doing) + " " + file + ": " + reason;
  return false;
}

bool TellErrno(std::string* problem, const char* doing, const std::string& file, int error) {
  return Tell(problem, doing, file, std::strerror(error));
}

#if defined(_WIN32)
constexpr const char* kSeparators = "/\\";
#else
constexpr const char* kSeparators = "/";
#endif

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of(kSeparators);
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.find_last_of(kSeparators);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

#if defined(_WIN32)

// Where a write of `path` lands. Links are rare on Windows and need
// rights to make; the name is written as it is, and anything that is not
// a file (a folder, a device) is refused untouched.
bool ResolveTarget(const std::string& path, LinkAtName, std::string& target, std::string* problem) {
  target = path;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD e = GetLastError();
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) return true;
    return Tell(problem, "cannot look at", target, "the system refuses to tell what stands there");
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return Tell(problem, "refusing to write", target, "a folder stands at that name");
  if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0)
    return Tell(problem, "refusing to write", target, "a device stands at that name");
  return true;
}

#else

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder stands at that name";
  if (S_ISFIFO(mode)) return "a named pipe stands at that name";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device stands at that name";
  if (S_ISSOCK(mode)) return "a socket stands at that name";
  return "something other than a regular file stands at that name";
}

// Where a write of `path` lands: the name itself, or the final target of
// the symbolic links at it. False (with the problem told) when what stands
// there is not a regular file, or the links go round.
bool ResolveTarget(const std::string& path, LinkAtName links, std::string& target, std::string* problem) {
  target = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(target.c_str(), &st) != 0) {
      if (errno == ENOENT) return true;  // a new file (or a link's missing target) is made
      return TellErrno(problem, "cannot look at", target, errno);
    }
    if (S_ISREG(st.st_mode)) return true;
    if (S_ISLNK(st.st_mode) && links == LinkAtName::kReplace) return true;
    if (!S_ISLNK(st.st_mode)) return Tell(problem, "refusing to write", target, KindOf(st.st_mode));
    char buffer[4096];
    const ssize_t n = ::readlink(target.c_str(), buffer, sizeof buffer - 1);
    if (n < 0) return TellErrno(problem, "cannot read the link", target, errno);
    const std::string link(buffer, static_cast<size_t>(n));
    target = link[0] == '/' ? link : FolderOf(target) + "/" + link;
  }
  return TellErrno(problem, "cannot follow the links at", path, ELOOP);
}

#endif  // _WIN32

#if defined(_WIN32)

// Write-through: the rename has reached the disk when the call returns, so
// the folder needs no flush of its own. A read-only file is replaced as a
// POSIX rename replaces it (the folder decides); a file that another
// program holds open without sharing its deletion is waited for a little
// (virus scanners and indexers open new files briefly), then the old file
// stays and the reason is told.
bool MoveOver(const std::string& from, const std::string& to) {
  for (int attempt = 0;; ++attempt) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    const DWORD e = GetLastError();
    const DWORD attributes = GetFileAttributesA(to.c_str());
    if (e == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      if (!SetFileAttributesA(to.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY})) {
        errno = EACCES;
        return false;
      }
      continue;
    }
    if ((e == ERROR_ACCESS_DENIED || e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION) &&
        attempt < 10) {
      Sleep(20);
      continue;
    }
    errno = e == ERROR_ACCESS_DENIED || e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION ? EACCES
            : e == ERROR_DISK_FULL || e == ERROR_HANDLE_DISK_FULL                                 ? ENOSPC
                                                                                                  : EIO;
    return false;
  }
}

bool SyncDescriptor(int fd) { return _commit(fd) == 0; }

int ProcessId() { return _getpid(); }

#else

bool MoveOver(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool SyncDescriptor(int fd) { return ::fsync(fd) == 0; }

int ProcessId() { return static_cast<int>(::getpid()); }

#endif

// Six letters no other name is likely to have; from the system's random
// source, not the game's, so that no game draw changes.
std::string UniqueSuffix() {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char bytes[6] = {};
#if defined(_WIN32)
  std::random_device device;
  for (unsigned char& b : bytes) b = static_cast<unsigned char>(device());
#else
#ifdef __EMSCRIPTEN__
  const bool drawn = ::getentropy(bytes, sizeof bytes) == 0;  // the browser's crypto source
#else
  const bool drawn = ::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) == static_cast<ssize_t>(sizeof bytes);
#endif
  if (!drawn) {
    struct timespec t;
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    static uint32_t counter = 0;
    uint64_t x = static_cast<uint64_t>(t.tv_nsec) * 0x9e3779b97f4a7c15ull + ++counter;
    for (unsigned char& b : bytes) {
      b = static_cast<unsigned char>(x >> 56);
      x *= 0x2545f4914f6cdd1dull;
    }
  }
#endif
  std::string s;
  for (unsigned char b : bytes) s += kLetters[b % 36];
  return s;
}

// Creates a temporary file beside `target`, under a name that did not
// exist: never opened through a link, never a pipe waited on.
int CreateTemporary(const std::string& target, std::string& temp, std::string* problem) {
  const std::string stem = target + ".tmp." + std::to_string(ProcessId()) + ".";
  for (int attempt = 0; attempt < 32; ++attempt) {
    temp = stem + UniqueSuffix();
    if (Fails(ReplaceStep::kCreate)) break;
#if defined(_WIN32)
    const int fd =
        _open(temp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) break;
    return fd;
#else
    const int fd =
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) break;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      Tell(problem, "refusing to write", temp, "it is not a regular file");
      temp.clear();  // not ours to remove
      return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
#endif
  }
  TellErrno(problem, "cannot create", temp, errno);
  temp.clear();
  return -1;
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    if (Fails(ReplaceStep::kWrite)) return false;
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = ENOSPC;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// The bytes reach the disk under a temporary name before anything is
// renamed, so a rename can only ever publish a complete file. `temp` is the
// name used, empty when nothing was created.
bool WriteDurably(const std::string& target, const std::string& bytes, std::string& temp,
                  std::string* problem) {
  const int fd = CreateTemporary(target, temp, problem);
  if (fd < 0) return false;
  if (!WriteAll(fd, bytes)) {
    TellErrno(problem, "cannot write", temp, errno);
    ::close(fd);
    return false;
  }
  if (Fails(ReplaceStep::kSync) || !SyncDescriptor(fd)) {
    TellErrno(problem, "cannot flush", temp, errno);
    ::close(fd);
    return false;
  }
  const int injected = Injected(ReplaceStep::kClose);
  if (::close(fd) != 0 || injected != 0)
    return TellErrno(problem, "cannot close", temp, injected != 0 ? injected : errno);
  return true;
}

// The old file's bytes; `exists` is false (and the result true) when there
// is no old file to keep.
bool ReadOld(const std::string& path, std::string& bytes, bool& exists, std::string* problem,
             bool seam = true) {
  bytes.clear();
  exists = false;
  if (seam && Fails(ReplaceStep::kReadOld)) return TellErrno(problem, "cannot read", path, errno);
  bool notRegular = false;
  const int fd = OpenRegularFile(path.c_str(), &notRegular);
  if (fd < 0) {
    if (!notRegular && errno == ENOENT) return true;
    return notRegular ? Tell(problem, "refusing to read", path, "it is not a regular file")
                      : TellErrno(problem, "cannot read", path, errno);
  }
  exists = true;
  char buffer[65536];
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = TellErrno(problem, "cannot read", path, errno);
    if (n <= 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return ok;
}

bool Rename(const std::string& from, const std::string& to, std::string* problem) {
  if (Fails(ReplaceStep::kRename) || !MoveOver(from, to))
    return TellErrno(problem, "cannot rename the new file onto", to, errno);
  return true;
}

// Makes the renames themselves durable. A file system that cannot sync a
// folder (EINVAL) has nothing more to offer; on Windows the rename went
// through to the disk already.
bool SyncFolder(const std::string& folder, std::string* problem) {
  if (Fails(ReplaceStep::kSyncFolder)) return TellErrno(problem, "cannot flush the folder", folder, errno);
#if defined(_WIN32)
  return true;
#else
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return TellErrno(problem, "cannot flush the folder", folder, errno);
  const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
  if (!ok) TellErrno(problem, "cannot flush the folder", folder, errno);
  ::close(fd);
  return ok;
#endif
}

// Writes `bytes` at the resolved `target` through a temporary file.
bool Publish(const std::string& target, const std::string& bytes, std::string* problem) {
  std::string temp;
  if (!WriteDurably(target, bytes, temp, problem) || !Rename(temp, target, problem)) {
    if (!temp.empty()) std::remove(temp.c_str());
    return false;
  }
  return true;
}

bool KeepBackup(const std::string& target, const std::string& backupTarget, std::string* problem) {
  std::string old;
  bool exists = false;
  if (!ReadOld(target, old, exists, problem)) return false;
  if (!exists) return true;
  return Publish(backupTarget, old, problem);
}

#if defined(_WIN32)
// Windows counts file times in 100 ns steps from 1601; from 1970 on, as
// POSIX counts, they fit nanoseconds in 64 bits.
int64_t Nanoseconds(const FILETIME& t) {
  constexpr int64_t kFrom1601To1970 = 116444736000000000;
  const auto steps = static_cast<int64_t>((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime);
  return (steps - kFrom1601To1970) * 100;
}
#else
int64_t Nanoseconds(const struct stat& st) {
  return int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
}
#endif

// A temporary name of ours: `<name>.tmp.<pid>.<six letters>`; `pid` is 0
// for the fixed `<name>.tmp` of earlier versions.
bool TemporaryOf(const std::string& entry, const std::string& name, long& pid) {
  const std::string stem = name + ".tmp";
  if (entry.compare(0, stem.size(), stem) != 0) return false;
  if (entry.size() == stem.size()) {
    pid = 0;
    return true;
  }
  const std::string rest = entry.substr(stem.size());
  if (rest.size() < 9 || rest[0] != '.') return false;
  const size_t dot = rest.find('.', 1);
  if (dot == std::string::npos || dot == 1 || rest.size() - dot != 7) return false;
  pid = 0;
  for (size_t i = 1; i < dot; ++i) {
    if (rest[i] < '0' || rest[i] > '9' || pid > 100000000) return false;
    pid = pid * 10 + (rest[i] - '0');
  }
  return true;
}

bool Running(long pid) {
  if (pid <= 0 || pid == static_cast<long>(ProcessId())) return false;
#if defined(_WIN32)
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  CloseHandle(process);
  return running;
#else
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
#endif
}

std::function<void(const std::string&, bool)>& Observer() {
  static std::function<void(const std::string&, bool)> observer;
  return observer;
}

bool ReplaceSteps(const std::string& path, const std::string& contents, const std::string& backupPath,
                  std::string* problem, LinkAtName links) {
  std::string target, backupTarget;
  if (!ResolveTarget(path, links, target, problem)) return false;
  if (!backupPath.empty() && !ResolveTarget(backupPath, links, backupTarget, problem)) return false;
  std::string temp;
  if (!WriteDurably(target, contents, temp, problem)) {
    if (!temp.empty()) std::remove(temp.c_str());
    return false;
  }
  if (!backupTarget.empty() && !KeepBackup(target, backupTarget, problem)) {
    std::remove(temp.c_str());
    return false;
  }
  if (!Rename(temp, target, problem)) {
    std::remove(temp.c_str());
    return false;
  }
  bool ok = SyncFolder(FolderOf(target), problem);
  if (!backupTarget.empty() && FolderOf(backupTarget) != FolderOf(target))
    ok = SyncFolder(FolderOf(backupTarget), problem) && ok;
  return ok;
}

}  // namespace

bool ReplaceFile(const std::string& path, const std::string& contents, const std::string& backupPath,
                 std::string* problem, LinkAtName links) {
  const bool ok = ReplaceSteps(path, contents, backupPath, problem, links);
  // Only now, with the rename done (or the temporary file removed again),
  // may the folder be looked at from outside.
  if (Observer()) Observer()(path, ok);
  return ok;
}

void SetReplaceObserver(std::function<void(const std::string& path, bool replaced)> observer) {
  Observer() = std::move(observer);
}

#if defined(_WIN32)

std::vector<LeftoverFile> LeftoverTemporaries(const std::string& path) {
  std::vector<LeftoverFile> found;
  const std::string folder = FolderOf(path);
  const std::string name = NameOf(path);
  WIN32_FIND_DATAA e;
  HANDLE find = FindFirstFileA((folder + "/*").c_str(), &e);
  if (find == INVALID_HANDLE_VALUE) return found;
  do {
    long pid = 0;
    if (!TemporaryOf(e.cFileName, name, pid) || Running(pid)) continue;
    if ((e.dwFileAttributes &
         (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
      continue;
    const std::string full = folder == "." && path.find_first_of(kSeparators) == std::string::npos
                                 ? std::string(e.cFileName)
                                 : folder + "/" + e.cFileName;
    found.push_back({full, Nanoseconds(e.ftLastWriteTime)});
  } while (FindNextFileA(find, &e));
  FindClose(find);
  return found;
}

int64_t ModifiedTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
    return -1;
  return Nanoseconds(data.ftLastWriteTime);
}

#else

std::vector<LeftoverFile> LeftoverTemporaries(const std::string& path) {
  std::vector<LeftoverFile> found;
  const std::string folder = FolderOf(path);
  const std::string name = NameOf(path);
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return found;
  while (const struct dirent* e = ::readdir(dir)) {
    long pid = 0;
    if (!TemporaryOf(e->d_name, name, pid) || Running(pid)) continue;
    const std::string full = folder == "." && path.find('/') == std::string::npos ? std::string(e->d_name)
                                                                                  : folder + "/" + e->d_name;
    struct stat st;
    if (::lstat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    found.push_back({full, Nanoseconds(st)});
  }
  ::closedir(dir);
  return found;
}

int64_t ModifiedTime(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return Nanoseconds(st);
}

#endif  // _WIN32

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  bool exists = false;
  return ReadOld(path, bytes, exists, nullptr, false) && exists;
}

void SetFileFault(std::function<int(ReplaceStep)> fault) { Fault() = std::move(fault); }

void SetReplaceFault(std::function<bool(ReplaceStep)> fault) {
  if (!fault) {
    Fault() = nullptr;
    return;
  }
  Fault() = [fault = std::move(fault)](ReplaceStep s) { return fault(s) ? EIO : 0; };
}

}  // namespace platform
