#pragma once
// Replacing a whole file so that a failure or a crash at any moment leaves
// either the old file or the new one, never a mix or a short file.
#include <functional>
#include <string>

namespace platform {

// Writes `contents` to a temporary file beside `path`, flushes it to the
// disk, and renames it over `path`; then flushes the folder. With a
// non-empty `backupPath` the file at `path`, when there is one, is first
// copied to `backupPath` the same way. False when any step failed: `path`
// then holds what it held before (only a failed flush of the folder comes
// after the rename, and it leaves the new file in place).
bool ReplaceFile(const std::string& path, const std::string& contents, const std::string& backupPath);

// The steps that can fail, in the order a replacement with a backup takes
// them (the backup repeats the first four for its own temporary file).
enum class ReplaceStep { kCreate, kWrite, kSync, kClose, kReadOld, kRename, kSyncFolder };

// A test seam: called before each step; returning true makes that step fail
// as the system call would. An empty function (the default) fails nothing.
void SetReplaceFault(std::function<bool(ReplaceStep)> fault);

}  // namespace platform
