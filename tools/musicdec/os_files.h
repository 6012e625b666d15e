#pragma once
// The few file calls of the decoder that differ between POSIX systems and
// Windows: opening for binary reading and writing, flushing to the disk,
// publishing a finished file over an old one, the program's own path.
#include <string>

namespace musicdec {

// Descriptors of binary files that a started program does not inherit.
int OpenForReading(const std::string& path);
int OpenForWriting(const std::string& path);
// The file's bytes on the disk; true when done.
bool SyncFile(int fd);
// Renames `from` over `to`, replacing it in one step, and makes the new
// name durable; false (errno set) when the rename failed.
bool PublishFile(const std::string& from, const std::string& to);
// The path of the running program, empty when unknown.
std::string SelfExe();
// Whether `c` separates folders in a path.
bool IsSeparator(char c);
int ProcessId();

}  // namespace musicdec
