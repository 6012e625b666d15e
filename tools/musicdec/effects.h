// The shared effect buses of the mix: a stereo room reverb and a
// tempo-synced ping-pong delay.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace musicdec {

// Parallel damped combs into serial allpasses, one set per side with
// slightly different lengths for width.
class Reverb {
 public:
  Reverb(float size, float damp, float wet);
  void Process(float in, float& outL, float& outR);

 private:
  struct Comb {
    std::vector<float> buf;
    std::size_t pos = 0;
    float store = 0.0f;
  };
  struct Allpass {
    std::vector<float> buf;
    std::size_t pos = 0;
  };
  static constexpr std::size_t kCombs = 8;
  static constexpr std::size_t kAllpasses = 4;
  std::array<std::array<Comb, kCombs>, 2> combs_;
  std::array<std::array<Allpass, kAllpasses>, 2> allpasses_;
  float feedback_;
  float damp_;
  float wet_;
  float highPassState_ = 0.0f;
};

class PingPongDelay {
 public:
  PingPongDelay(std::size_t samples, float feedback, float toneHz);
  void Process(float in, float& outL, float& outR);

 private:
  std::vector<float> left_;
  std::vector<float> right_;
  std::size_t pos_ = 0;
  float feedback_;
  float toneCoef_;
  float lowL_ = 0.0f;
  float lowR_ = 0.0f;
};

}  // namespace musicdec
