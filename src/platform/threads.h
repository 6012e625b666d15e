#pragma once
// Whether this build can start threads. The browser build has none unless
// the page is isolated for shared memory: work meant for a thread of its
// own is then done at once, or left to the caller.
namespace platform {

#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
inline constexpr bool kThreads = false;
#else
inline constexpr bool kThreads = true;
#endif

}  // namespace platform
