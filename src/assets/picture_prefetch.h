#pragma once
// Reads and prepares pictures on a worker thread before they are needed, so
// that the frame that needs them only moves finished pictures into their
// slots: a level's two pictures before the player walks in, and the
// heaviest loading groups while the loading screen shows its first steps.
// The pictures are the same, pixel for pixel, as those loaded in place: the
// worker runs the same loading code into a context of its own. That context
// takes its memory from the process's picture memory, only what is free,
// and gives it all back whenever the frame's loading needs it (so the
// frame's pictures never wait on, nor depend on, what the worker holds).
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "assets/loading.h"
#include "effects/effects.h"
#include "gfx/gfx_context.h"

class PicturePrefetch final : public PicturesMadeAhead {
 public:
  // The worker's pictures take their memory from `memory`, the memory of
  // the contexts they are moved into.
  explicit PicturePrefetch(PictureMemory& memory = ProcessPictureMemory());
  PicturePrefetch(const PicturePrefetch&) = delete;
  PicturePrefetch& operator=(const PicturePrefetch&) = delete;
  ~PicturePrefetch();

  // Asks for the pictures of `level` (one with pictures, not yet asked for)
  // to be prepared in the background.
  void Request(int32_t level);

  // Moves the prepared pictures of `level` into `gfx`, waiting for them
  // when the worker is at it; a request the worker has not begun is
  // dropped. False when nothing was prepared: the caller loads them itself.
  // A picture whose slot is taken, or which the picture budget of `gfx`
  // has no room for, is not moved (and the answer is false, so that the
  // caller's own load behaves as it always does).
  bool Take(int32_t level, GfxContext& gfx) override;

  // Asks for the loading group of `step` (see LoadGroupAhead) to be made in
  // the background, in a context set up like `gfx`: its screen size, its
  // drawing state and picture budget as they are now. Nothing is asked for
  // while `gfx` logs, for a step without such a group, or when one of the
  // group's slots is taken already.
  void RequestGroup(int32_t step, const GfxContext& gfx, const EffectsSystem& fx);

  // Moves the group of `step` into `gfx` and `fx`, waiting for it when the
  // worker is at it, with everything the group's own loading would have
  // left: its slots, the budget's count, the drawing state and tone table it
  // ends with and what it drew on the back buffer as scratch. False (and
  // nothing moved) when the group was not made or not begun, when `gfx`
  // logs, when any of its slots is taken, when the budget has no room for
  // it, or when the drawing state or the screen differ from those the group
  // was made with: then the caller loads the group itself, as it always
  // did.
  bool TakeGroup(int32_t step, GfxContext& gfx, EffectsSystem& fx) override;

  // While held, the worker begins no new work and pauses before the next
  // file of what it is at: the frame loop holds it while a frame runs and
  // is presented, so that the pictures are made between frames, not beside
  // them.
  void Hold(bool held);

  // Ends the worker and frees every picture not taken. Requests after this
  // start a new worker.
  void Stop();

  // Gives back all the memory the worker's pictures hold: drops what is
  // asked for, waits for what is under way (it takes no more memory) and
  // frees everything not taken. The picture memory calls it when a context
  // that decides needs the memory; later requests are made as usual.
  void Recall();

  // Whether the pictures of `level` are asked for, under way or ready.
  bool Holds(int32_t level);
  // Whether the worker is at something now.
  bool Busy();
  // Returns once the worker has made everything asked for so far (or, while
  // held, once it is at nothing or paused).
  void WaitIdle();
  // As WaitIdle, giving up after `limit`; true when the worker is idle.
  bool WaitIdleFor(std::chrono::nanoseconds limit);

 private:
  // What a group's loading reads of the context it is made like, which the
  // context it moves into must still have.
  struct DrawingState {
    int32_t screenWidth, screenHeight, highestSlot;
    int32_t opacity, additive, supersampling;
    bool operator==(const DrawingState&) const = default;
  };
  static DrawingState DrawingStateOf(const GfxContext& gfx);

  struct Job {
    // The worker's context, holding the made slots; a group's is set up by
    // the asking thread.
    std::unique_ptr<GfxContext> pictures;
    bool started = false;
    bool done = false;
    // Groups only.
    int32_t step = -1;
    std::unique_ptr<EffectsSystem> fx;
    DrawingState before{};
    // The scratch state a group writes before it reads: the corners of
    // the turned drawing and the tone table, as the group began with them.
    int32_t cornersBefore[8] = {};
    uint8_t toneBefore[257] = {};
    std::unique_ptr<uint32_t[]> screen;       // the worker's back buffer
    std::vector<std::pair<int32_t, int32_t>> drawn;  // runs of it the group drew on: start, length
  };
  void Work();
  void MakeGroup(Job& job);
  // The job of `key` once the worker has made it, waiting for it when the
  // worker is at it; none when not asked for, or not begun (then dropped).
  std::optional<Job> Finished(int32_t key);
  bool MoveGroupIn(Job& job, GfxContext& gfx, EffectsSystem& fx);
  void Discard(Job&& job);
  void WaitWhileHeld();
  bool Idle() const;
  static constexpr int32_t kGroupKey = 1000;

  PictureMemory& memory_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<int32_t, Job> jobs_;  // levels by number, groups from kGroupKey up
  std::deque<int32_t> queue_;
  std::vector<Job> discarded_;  // taken groups' leftovers, for the worker to free
  bool stopping_ = false;
  bool held_ = false;
  int32_t waiting_ = 0;  // callers waiting for a job under way
  bool paused_ = false;  // the worker waits for the hold to end
  std::thread worker_;
};
