#include "musicdec/effects.h"

#include <cmath>

#include "maths/repro_math.h"
#include "musicdec/score.h"

namespace musicdec {
namespace {

// Mutually prime-ish lengths in samples at 44100 Hz; the right side is longer.
constexpr std::array<std::size_t, 8> kCombLengths = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr std::array<std::size_t, 4> kAllpassLengths = {556, 441, 341, 225};
constexpr std::size_t kStereoSpread = 23;
constexpr float kInputGain = 0.015f;
constexpr float kWetScale = 3.0f;

}  // namespace

Reverb::Reverb(float size, float damp, float wet)
    : feedback_(0.7f + 0.28f * size), damp_(0.4f * damp), wet_(kWetScale * wet) {
  for (std::size_t side = 0; side < 2; ++side) {
    for (std::size_t i = 0; i < kCombs; ++i)
      combs_[side][i].buf.assign(kCombLengths[i] + side * kStereoSpread, 0.0f);
    for (std::size_t i = 0; i < kAllpasses; ++i)
      allpasses_[side][i].buf.assign(kAllpassLengths[i] + side * kStereoSpread, 0.0f);
  }
}

void Reverb::Process(float in, float& outL, float& outR) {
  // Keep the low end out of the room: bass in a reverb only muddies the mix.
  highPassState_ += 0.02f * (in - highPassState_);
  const float x = (in - highPassState_) * kInputGain;
  float out[2];
  for (std::size_t side = 0; side < 2; ++side) {
    float acc = 0.0f;
    for (Comb& c : combs_[side]) {
      const float y = c.buf[c.pos];
      c.store = y * (1.0f - damp_) + c.store * damp_;
      c.buf[c.pos] = x + c.store * feedback_;
      if (++c.pos == c.buf.size()) c.pos = 0;
      acc += y;
    }
    for (Allpass& a : allpasses_[side]) {
      const float b = a.buf[a.pos];
      a.buf[a.pos] = acc + b * 0.5f;
      if (++a.pos == a.buf.size()) a.pos = 0;
      acc = b - acc;
    }
    out[side] = acc * wet_;
  }
  outL = out[0];
  outR = out[1];
}

PingPongDelay::PingPongDelay(std::size_t samples, float feedback, float toneHz)
    : left_(samples, 0.0f),
      right_(samples, 0.0f),
      feedback_(feedback),
      toneCoef_(1.0f - rmath::Exp(-2.0f * 3.14159265f * toneHz / static_cast<float>(kSampleRate))) {}

void PingPongDelay::Process(float in, float& outL, float& outR) {
  outL = left_[pos_];
  outR = right_[pos_];
  // Each repeat crosses to the other side and loses some treble.
  lowL_ += toneCoef_ * (outL - lowL_);
  lowR_ += toneCoef_ * (outR - lowR_);
  left_[pos_] = in + feedback_ * lowR_;
  right_[pos_] = feedback_ * lowL_;
  if (++pos_ == left_.size()) pos_ = 0;
}

}  // namespace musicdec
