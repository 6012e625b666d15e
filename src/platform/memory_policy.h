#pragma once
// How the process's large blocks of memory are kept.

namespace platform {

// From now on every block of 1 MiB or more (a picture, a sample) is a
// mapping of its own, given back to the system as soon as it is freed,
// whichever thread frees it. Otherwise the allocator raises that bound as
// large blocks come and go, and keeps what a thread frees in that thread's
// pool: the pictures the read-ahead worker made and gave up stayed resident
// beside the frame's, past the picture budget. Call once, early.
void GiveLargeBlocksBack();

}  // namespace platform
