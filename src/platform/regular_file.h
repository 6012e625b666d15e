#pragma once
// Opening files that the game only reads. A named pipe or a device put in
// place of a game file would block the open or never end; these calls open
// without blocking and take nothing but a regular file.
#include <cstdio>

namespace platform {

// Opens `path` for reading when it names a regular file: the descriptor, or
// -1. `notRegular`, when given, tells a path that opened but is not a regular
// file (a folder, a pipe, a device) from one that did not open at all.
int OpenRegularFile(const char* path, bool* notRegular = nullptr);
// The same as a stream for binary reading, or nullptr.
std::FILE* OpenRegularFileStream(const char* path);
// Whether `path` names a regular file that opens for reading.
bool IsRegularFile(const char* path);
// Whether this user may read the file at `path`, or start it as a program
// (on Windows any file that opens may be started; its kind decides).
bool MayRead(const char* path);
// Reads into `buffer` from a descriptor of OpenRegularFile: the bytes read,
// 0 at the end, -1 (errno set) on failure; and closes it.
long ReadSome(int fd, char* buffer, unsigned size);
void CloseFile(int fd);
bool MayRun(const char* path);

}  // namespace platform
