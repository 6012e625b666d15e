#pragma once
// Reads and prepares a level's pictures on a worker thread before the
// player walks in, so that entering the level only moves finished pictures
// into their slots. The pictures are the same, pixel for pixel, as those the
// level start would load itself: the worker runs the same loading steps into
// a context of its own.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "gfx/gfx_context.h"

class LevelPrefetch {
 public:
  LevelPrefetch() = default;
  LevelPrefetch(const LevelPrefetch&) = delete;
  LevelPrefetch& operator=(const LevelPrefetch&) = delete;
  ~LevelPrefetch();

  // Asks for the pictures of `level` (one with pictures, not yet asked for)
  // to be prepared in the background.
  void Request(int32_t level);

  // Moves the prepared pictures of `level` into `gfx`, waiting for them
  // when the worker is at it; a request the worker has not begun is
  // dropped. False when nothing was prepared: the caller loads them itself.
  // A picture whose slot is taken, or which the picture budget of `gfx`
  // has no room for, is not moved (and the answer is false, so that the
  // caller's own load behaves as it always does).
  bool Take(int32_t level, GfxContext& gfx);

  // Ends the worker and frees every picture not taken. Requests after this
  // start a new worker.
  void Stop();

  // Whether the pictures of `level` are asked for, under way or ready.
  bool Holds(int32_t level);
  // Returns once the worker has made everything asked for so far.
  void WaitIdle();

 private:
  struct Job {
    std::unique_ptr<GfxContext> pictures;  // the worker's context, holding the level's slots
    bool started = false;
    bool done = false;
  };
  void Work();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<int32_t, Job> jobs_;
  std::deque<int32_t> queue_;
  bool stopping_ = false;
  std::thread worker_;
};
