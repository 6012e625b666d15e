// Plays a score through the synthesiser and yields one seamless loop of
// 16-bit stereo frames.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "musicdec/score.h"

namespace musicdec {

struct RenderOptions {
  // The song is played at least twice and the last pass is kept, so reverb,
  // delay and notes still sounding at the end of the song carry over into
  // its start. Switching this off starts the kept pass from silence.
  bool warmUp = true;
};

// Receives interleaved left/right frames; returns false to stop rendering.
using FrameSink = std::function<bool(const std::int16_t* frames, std::size_t count)>;

struct RenderStats {
  double gain = 1.0;   // applied to reach the score's loudness
  double rmsDb = 0.0;  // of the mix before the gain
};

// Returns false when the sink asked to stop. Sends exactly LoopFrames() frames otherwise.
bool RenderLoop(const Score& score, const FrameSink& sink, const RenderOptions& options = {},
                RenderStats* stats = nullptr);

// RenderLoop a slice at a time, for a caller that must not stop for the
// whole song (the browser's page, which has no other thread): each Step
// renders about `frames` more frames of the passes, warm-up included, and
// hands on what is kept. The frames are the same as RenderLoop's.
class LoopRenderer {
 public:
  // `score` must outlive the renderer.
  explicit LoopRenderer(const Score& score, const RenderOptions& options = {});
  ~LoopRenderer();
  LoopRenderer(const LoopRenderer&) = delete;
  LoopRenderer& operator=(const LoopRenderer&) = delete;
  // False when the sink asked to stop.
  bool Step(std::int64_t frames, const FrameSink& sink);
  // Every frame of the loop has gone to the sink.
  bool Done() const;
  // Set once the kept pass has begun.
  const RenderStats& Stats() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

std::vector<std::int16_t> RenderLoopToMemory(const Score& score, const RenderOptions& options = {});

// The bounded, smooth curve that keeps the mix inside 16 bits: straight up
// to 0.7, then bending towards 0.99, so full scale is never reached.
float SoftClip(float x);

}  // namespace musicdec
