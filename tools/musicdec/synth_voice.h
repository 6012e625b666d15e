// One sounding note of an instrument: oscillators, noise, filter and
// envelopes, rendered a short block at a time.
#pragma once

#include <array>
#include <cstdint>

#include "musicdec/noise_source.h"
#include "musicdec/score.h"

namespace musicdec {

inline constexpr int kControlBlock = 16;      // samples between filter and pitch updates
inline constexpr float kSilentLevel = 1e-4f;  // -80 dB: an envelope below this has ended

class EnvelopeState {
 public:
  void Setup(const Envelope& env);
  void Start() { stage_ = Stage::Attack; }  // rises from the current level: no click on retrigger
  void Release() {
    if (stage_ != Stage::Idle) stage_ = Stage::Release;
  }
  void Reset() {
    stage_ = Stage::Idle;
    level_ = 0.0f;
  }
  bool Idle() const { return stage_ == Stage::Idle; }
  bool Releasing() const { return stage_ == Stage::Release; }
  float Level() const { return level_; }
  float Next() {
    switch (stage_) {
      case Stage::Idle:
        return 0.0f;
      case Stage::Attack:
        level_ += attackStep_;
        if (level_ >= 1.0f) {
          level_ = 1.0f;
          stage_ = Stage::Decay;
        }
        break;
      case Stage::Decay:
        level_ = sustain_ + (level_ - sustain_) * decayCoef_;
        if (sustain_ <= 0.0f && level_ < kSilentLevel) Reset();
        break;
      case Stage::Release:
        level_ *= releaseCoef_;
        if (level_ < kSilentLevel) Reset();
        break;
    }
    return level_;
  }

 private:
  enum class Stage : std::uint8_t { Idle, Attack, Decay, Release };
  Stage stage_ = Stage::Idle;
  float level_ = 0.0f;
  float attackStep_ = 1.0f;
  float decayCoef_ = 0.0f;
  float releaseCoef_ = 0.0f;
  float sustain_ = 0.0f;
};

// Topology-preserving state-variable filter; stable under fast modulation.
class SvFilter {
 public:
  void SetCutoff(float hz, float resonance);
  void Reset() { ic1_ = ic2_ = 0.0f; }
  float LowPass(float v0) {
    Tick(v0);
    return v2_;
  }
  float HighPass(float v0) {
    Tick(v0);
    return v0 - k_ * v1_ - v2_;
  }
  float BandPass(float v0) {
    Tick(v0);
    return v1_;
  }

 private:
  void Tick(float v0) {
    const float v3 = v0 - ic2_;
    v1_ = a1_ * ic1_ + a2_ * v3;
    v2_ = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0f * v1_ - ic1_;
    ic2_ = 2.0f * v2_ - ic2_;
  }
  float hz_ = -1.0f, resonance_ = -1.0f;  // of the coefficients below
  float k_ = 2.0f, a1_ = 1.0f, a2_ = 0.0f, a3_ = 0.0f;
  float ic1_ = 0.0f, ic2_ = 0.0f, v1_ = 0.0f, v2_ = 0.0f;
};

class Voice {
 public:
  void Bind(const Instrument* ins) { ins_ = ins; }
  // Starts a note; a voice still sounding keeps its phases and glides or
  // rises from where it is, so taking it over never clicks.
  void NoteOn(int midi, float velocity, std::uint32_t noteId, std::uint32_t seed);
  void NoteOff() {
    gate_ = false;
    amp_.Release();
    fenv_.Release();
  }
  bool Active() const { return !amp_.Idle(); }
  bool Gate() const { return gate_; }
  std::uint32_t NoteId() const { return noteId_; }
  float Level() const { return amp_.Level(); }
  std::uint64_t Age() const { return age_; }
  void SetAge(std::uint64_t a) { age_ = a; }

  // Adds n (1..kControlBlock) samples of this voice to out.
  void Render(int n, float* out);

 private:
  void UpdateControls(int n);

  const Instrument* ins_ = nullptr;
  EnvelopeState amp_;
  EnvelopeState fenv_;
  SvFilter filter_;
  SvFilter noiseFilter_;
  NoiseSource noise_;
  std::array<std::array<float, kMaxUnison>, 2> phase_{};
  std::array<std::array<float, kMaxUnison>, 2> inc_{};
  std::array<std::array<float, kMaxUnison>, 2> ratio_{};  // of each oscillator to the note
  float unisonGain_ = 1.0f;
  float subPhase_ = 0.0f;
  float subInc_ = 0.0f;
  float pitch_ = 60.0f;  // current pitch in semitones, gliding towards target_
  float target_ = 60.0f;
  float velocity_ = 0.0f;
  float pitchEnv_ = 0.0f;
  float noiseEnv_ = 1.0f;
  float vibratoPhase_ = 0.0f;
  float noteTime_ = 0.0f;
  std::uint32_t noteId_ = 0;
  std::uint64_t age_ = 0;
  bool gate_ = false;
};

}  // namespace musicdec
