#pragma once
// A small synthesiser for the game's samples: noise and oscillators with
// pitch and level envelopes, resonant filters, soft clipping, and the WAV
// writer (16-bit PCM, mono, the format chunk first).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "datagen/random.h"
#include "maths/repro_math.h"

namespace datagen {

inline constexpr int kSampleRate = 22050;

using Samples = std::vector<float>;

// 1 except over the last 5 ms of n samples, where it falls to 0: layers
// end without a click.
inline float TailFade(size_t i, size_t n) {
  const size_t fade = kSampleRate / 200;
  return n - i >= fade ? 1.0f : static_cast<float>(n - i) / fade;
}

// A state-variable filter (Chamberlin form, run twice per sample so high
// cut-offs stay stable).
class Svf {
 public:
  // Returns low, band and high outputs through the arguments.
  void Step(float in, float cutoffHz, float q, float& low, float& band, float& high);

 private:
  float low_ = 0, band_ = 0;
};

// Noise through a band-pass whose centre moves from f0 to f1 (exponentially)
// under an envelope `env(t)` (t in seconds).
template <class Env>
Samples SweptNoise(Random& rng, float seconds, float f0, float f1, float q, Env env, int mode = 1) {
  Samples s(static_cast<size_t>(seconds * kSampleRate));
  Svf f;
  for (size_t i = 0; i < s.size(); ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    const float k = t / seconds;
    const float fc = f0 * rmath::Pow(f1 / f0, k);
    float lo, band, hi;
    f.Step(static_cast<float>(rng.Range(-1, 1)), fc, q, lo, band, hi);
    s[i] = (mode == 0 ? lo : mode == 1 ? band : hi) * env(t) * TailFade(i, s.size());
  }
  return s;
}

// A sine whose frequency glides from f0 to f1 with time constant `glide`
// seconds, under `env(t)`.
template <class Env>
Samples Glide(float seconds, float f0, float f1, float glide, Env env, float harmonics = 0) {
  Samples s(static_cast<size_t>(seconds * kSampleRate));
  double phase = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    const float f = f1 + (f0 - f1) * rmath::Exp(-t / glide);
    phase += 2 * 3.14159265358979 * f / kSampleRate;
    float v = static_cast<float>(rmath::Sin(phase));
    if (harmonics > 0)
      v += harmonics * static_cast<float>(rmath::Sin(2 * phase) * 0.5 + rmath::Sin(3 * phase) * 0.25);
    s[i] = v * env(t) * TailFade(i, s.size());
  }
  return s;
}

// Adds `b` into `a` at `offset` seconds, scaled.
void MixInto(Samples& a, const Samples& b, float gain = 1.0f, float offset = 0.0f);
// Soft clipping with the given drive.
void Saturate(Samples& s, float drive);
// One-pole low-pass over the whole sample.
void LowPass(Samples& s, float cutoffHz);
// Scales to the peak level and fades the last milliseconds to silence.
void Finish(Samples& s, float peak);

// The WAV file bytes.
std::string WavFile(const Samples& s);

}  // namespace datagen
