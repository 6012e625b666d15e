#include "musicdec/synth_voice.h"

#include <algorithm>
#include <cmath>

#include "maths/repro_math.h"

namespace musicdec {
namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kSettle = 4.6f;  // e^-4.6 = 1%: envelope times are "within 1%"
constexpr int kSineTableSize = 1024;

const std::array<float, kSineTableSize + 1>& SineTable() {
  static const auto table = [] {
    std::array<float, kSineTableSize + 1> t{};
    for (int i = 0; i <= kSineTableSize; ++i)
      t[static_cast<std::size_t>(i)] =
          static_cast<float>(rmath::Sin(2.0 * 3.14159265358979323846 * i / kSineTableSize));
    return t;
  }();
  return table;
}

// phase in [0, 1)
inline float SineAt(const std::array<float, kSineTableSize + 1>& t, float phase) {
  const float x = phase * kSineTableSize;
  const int i = std::min(static_cast<int>(x), kSineTableSize - 1);
  const float f = x - static_cast<float>(i);
  return t[static_cast<std::size_t>(i)] +
         f * (t[static_cast<std::size_t>(i) + 1] - t[static_cast<std::size_t>(i)]);
}

// Band-limited step correction (polynomial BLEP) around a jump at phase 0.
inline float PolyBlep(float t, float dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0f;
  }
  if (t > 1.0f - dt) {
    t = (t - 1.0f) / dt;
    return t * t + t + t + 1.0f;
  }
  return 0.0f;
}

inline float Advance(float phase, float inc) {
  phase += inc;
  return phase >= 1.0f ? phase - 1.0f : phase;
}

// Smooth saturation, odd and bounded by +-1.
inline float Saturate(float x) {
  if (x > 3.0f) return 1.0f;
  if (x < -3.0f) return -1.0f;
  const float x2 = x * x;
  return x * (27.0f + x2) / (27.0f + 9.0f * x2);
}

float SemitoneRatio(float semitones) { return rmath::Exp2(semitones / 12.0f); }

}  // namespace

void EnvelopeState::Setup(const Envelope& env) {
  const float sr = static_cast<float>(kSampleRate);
  attackStep_ = 1.0f / (env.attack * sr);
  decayCoef_ = rmath::Exp(-kSettle / (env.decay * sr));
  releaseCoef_ = rmath::Exp(-kSettle / (env.release * sr));
  sustain_ = env.sustain;
}

void SvFilter::SetCutoff(float hz, float resonance) {
  hz = std::clamp(hz, 20.0f, 0.45f * static_cast<float>(kSampleRate));
  if (hz == hz_ && resonance == resonance_) return;  // a steady filter skips the tangent
  hz_ = hz;
  resonance_ = resonance;
  const float g = rmath::Tan(kPi * hz / static_cast<float>(kSampleRate));
  k_ = 2.0f - 1.95f * resonance;
  a1_ = 1.0f / (1.0f + g * (g + k_));
  a2_ = g * a1_;
  a3_ = g * a2_;
}

void Voice::NoteOn(int midi, float velocity, std::uint32_t noteId, std::uint32_t seed) {
  const Instrument& ins = *ins_;
  const bool wasActive = Active();
  target_ = static_cast<float>(midi);
  if (!wasActive || ins.glide <= 0.0f) pitch_ = target_;
  velocity_ = velocity;
  noteId_ = noteId;
  gate_ = true;
  noteTime_ = 0.0f;
  vibratoPhase_ = 0.0f;
  pitchEnv_ = ins.pitchEnvSemitones;
  noiseEnv_ = 1.0f;
  noise_ = NoiseSource(seed);

  const int u = ins.unison;
  unisonGain_ = 1.0f / std::sqrt(static_cast<float>(u));
  for (std::size_t o = 0; o < 2; ++o) {
    const Oscillator& osc = ins.osc[o];
    for (int k = 0; k < u; ++k) {
      const float spread =
          u > 1 ? ins.unisonCents * (2.0f * static_cast<float>(k) / static_cast<float>(u - 1) - 1.0f) : 0.0f;
      ratio_[o][static_cast<std::size_t>(k)] = SemitoneRatio(osc.semitones + (osc.cents + spread) / 100.0f);
      if (!wasActive) phase_[o][static_cast<std::size_t>(k)] = u > 1 ? noise_.NextUnit() : 0.0f;
    }
  }
  if (!wasActive) {
    subPhase_ = 0.0f;
    filter_.Reset();
    noiseFilter_.Reset();
  }
  if (ins.noiseHighPass > 0.0f) noiseFilter_.SetCutoff(ins.noiseHighPass, 0.0f);
  amp_.Setup(ins.amp);
  fenv_.Setup(ins.filterEnv);
  amp_.Start();
  fenv_.Start();
}

void Voice::UpdateControls(int n) {
  const Instrument& ins = *ins_;
  const float sr = static_cast<float>(kSampleRate);
  const float dt = static_cast<float>(n) / sr;
  if (ins.glide > 0.0f) {
    pitch_ = target_ + (pitch_ - target_) * rmath::Exp(-kSettle * dt / ins.glide);
  } else {
    pitch_ = target_;
  }
  float p = pitch_ + pitchEnv_;
  if (pitchEnv_ != 0.0f) {
    pitchEnv_ *= rmath::Exp(-dt / ins.pitchEnvDecay);
    if (std::fabs(pitchEnv_) < 1e-4f) pitchEnv_ = 0.0f;
  }
  if (ins.vibratoCents > 0.0f) {
    const float fade = std::clamp((noteTime_ - ins.vibratoDelay) / 0.3f, 0.0f, 1.0f);
    p += ins.vibratoCents / 100.0f * fade * SineAt(SineTable(), vibratoPhase_);
    vibratoPhase_ += ins.vibratoRate * dt;
    vibratoPhase_ -= std::floor(vibratoPhase_);
  }
  noteTime_ += dt;

  const float baseInc = 440.0f * SemitoneRatio(p - 69.0f) / sr;
  for (std::size_t o = 0; o < 2; ++o)
    for (std::size_t k = 0; k < static_cast<std::size_t>(ins.unison); ++k)
      inc_[o][k] = std::min(baseInc * ratio_[o][k], 0.45f);
  subInc_ = std::min(baseInc * 0.5f, 0.45f);

  if (ins.filter != FilterMode::Off) {
    const float octaves = ins.keyTrack * (p - 60.0f) / 12.0f + ins.filterEnvOctaves * fenv_.Level() +
                          ins.velocityFilterOctaves * (velocity_ - 0.78f);
    filter_.SetCutoff(ins.cutoff * rmath::Exp2(std::clamp(octaves, -12.0f, 12.0f)), ins.resonance);
  }
}

void Voice::Render(int n, float* out) {
  const Instrument& ins = *ins_;
  UpdateControls(n);
  const auto& sine = SineTable();
  float buf[kControlBlock] = {};

  for (std::size_t o = 0; o < 2; ++o) {
    const Oscillator& osc = ins.osc[o];
    if (osc.wave == Wave::Off || osc.level <= 0.0f) continue;
    const float gain = osc.level * unisonGain_;
    for (std::size_t k = 0; k < static_cast<std::size_t>(ins.unison); ++k) {
      float ph = phase_[o][k];
      const float inc = inc_[o][k];
      switch (osc.wave) {
        case Wave::Sine:
          for (int i = 0; i < n; ++i, ph = Advance(ph, inc)) buf[i] += gain * SineAt(sine, ph);
          break;
        case Wave::Triangle:
          // Its harmonics fall by 12 dB an octave; what folds back stays far below hearing.
          for (int i = 0; i < n; ++i, ph = Advance(ph, inc))
            buf[i] += gain * (4.0f * std::fabs(ph - 0.5f) - 1.0f);
          break;
        case Wave::Saw:
          for (int i = 0; i < n; ++i, ph = Advance(ph, inc))
            buf[i] += gain * (2.0f * ph - 1.0f - PolyBlep(ph, inc));
          break;
        case Wave::Square:
        case Wave::Pulse: {
          const float pw = osc.wave == Wave::Square ? 0.5f : ins.pulseWidth;
          for (int i = 0; i < n; ++i, ph = Advance(ph, inc)) {
            float v = ph < pw ? 1.0f : -1.0f;
            v += PolyBlep(ph, inc);
            float down = ph - pw;
            if (down < 0.0f) down += 1.0f;
            v -= PolyBlep(down, inc);
            buf[i] += gain * v;
          }
          break;
        }
        case Wave::Noise:
          for (int i = 0; i < n; ++i) buf[i] += gain * noise_.NextSigned();
          break;
        case Wave::Off:
          break;
      }
      phase_[o][k] = ph;
    }
  }
  if (ins.subLevel > 0.0f) {
    for (int i = 0; i < n; ++i, subPhase_ = Advance(subPhase_, subInc_))
      buf[i] += ins.subLevel * SineAt(sine, subPhase_);
  }
  if (ins.noiseLevel > 0.0f) {
    const float coef = ins.noiseDecay > 0.0f
                           ? rmath::Exp(-kSettle / (ins.noiseDecay * static_cast<float>(kSampleRate)))
                           : 1.0f;
    for (int i = 0; i < n; ++i) {
      float v = noise_.NextSigned();
      if (ins.noiseHighPass > 0.0f) v = noiseFilter_.HighPass(v);
      buf[i] += ins.noiseLevel * noiseEnv_ * v;
      noiseEnv_ *= coef;
    }
  }

  switch (ins.filter) {
    case FilterMode::LowPass:
      for (int i = 0; i < n; ++i) buf[i] = filter_.LowPass(buf[i]);
      break;
    case FilterMode::HighPass:
      for (int i = 0; i < n; ++i) buf[i] = filter_.HighPass(buf[i]);
      break;
    case FilterMode::BandPass:
      for (int i = 0; i < n; ++i) buf[i] = filter_.BandPass(buf[i]);
      break;
    case FilterMode::Off:
      break;
  }
  if (ins.drive > 0.0f) {
    const float pre = 1.0f + ins.drive;
    for (int i = 0; i < n; ++i) buf[i] = Saturate(buf[i] * pre);
  }
  const float gain = ins.volume * velocity_;
  for (int i = 0; i < n; ++i) out[i] += buf[i] * amp_.Next() * gain;
  if (ins.filter != FilterMode::Off && ins.filterEnvOctaves != 0.0f)
    for (int i = 0; i < n; ++i) fenv_.Next();
}

}  // namespace musicdec
