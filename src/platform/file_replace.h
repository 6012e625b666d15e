#pragma once
// Replacing a whole file so that a failure or a crash at any moment leaves
// either the old file or the new one, never a mix or a short file; and
// saying why when it fails.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// Writes `contents` to a temporary file of a name of its own beside `path`,
// flushes it to the disk, and renames it over `path`; then flushes the
// folder. With a non-empty `backupPath` the file at `path`, when there is
// one, is first copied to `backupPath` the same way. False when any step
// failed: `path` then holds what it held before (only a failed flush of the
// folder comes after the rename, and it leaves the new file in place), and
// `problem`, when given, names the file and the reason in one line.
//
// A symbolic link at `path` or `backupPath` is followed with kFollow: its
// target is replaced, in the target's folder, and the link stays; with
// kReplace the link itself is replaced by the new file and its target is
// left alone. Anything else that is not a regular file (a folder, a pipe, a
// device) is refused untouched.
// The temporary file is created afresh (never a name that exists, never
// through a link, never waiting on a pipe) as `<name>.tmp.<pid>.<six
// letters>`.
enum class LinkAtName { kFollow, kReplace };
bool ReplaceFile(const std::string& path, const std::string& contents, const std::string& backupPath,
                 std::string* problem = nullptr, LinkAtName links = LinkAtName::kFollow);

// Called at the end of every ReplaceFile, whether it replaced the file or
// not, with the name it was given: the folder then holds whole files only
// (the new file or the old one, and no temporary file of this call). A
// folder that is kept elsewhere as well (the browser's storage) is stored
// from here, never while a replacement is under way. One observer; an
// empty function removes it.
void SetReplaceObserver(std::function<void(const std::string& path, bool replaced)> observer);

// A temporary file that an interrupted replacement of `path` left behind
// (a process that no longer runs, or the fixed name `<path>.tmp` of earlier
// versions), with its modification time in nanoseconds.
struct LeftoverFile {
  std::string path;
  int64_t modified = 0;
};
std::vector<LeftoverFile> LeftoverTemporaries(const std::string& path);
// The modification time of the regular file at `path` (links followed) in
// nanoseconds, or -1 when there is none.
int64_t ModifiedTime(const std::string& path);
// The whole contents of the regular file at `path`; false when there is
// none, it is not a regular file or it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// The steps that can fail, in the order a replacement with a backup takes
// them (the backup repeats the first four for its own temporary file).
enum class ReplaceStep { kCreate, kWrite, kSync, kClose, kReadOld, kRename, kSyncFolder };

// Test seams, called before each step. SetFileFault's function returns the
// error number that step then fails with as the system call would (ENOSPC
// for a full disk, EROFS or EACCES for a read-only folder, EIO), or 0 to let
// it run. SetReplaceFault's returns true to fail the step with EIO. An
// empty function (the default) fails nothing.
void SetFileFault(std::function<int(ReplaceStep)> fault);
void SetReplaceFault(std::function<bool(ReplaceStep)> fault);

}  // namespace platform
