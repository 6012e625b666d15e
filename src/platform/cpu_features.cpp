#include "platform/cpu_features.h"

#include <algorithm>
#include <cstring>

namespace cpu {
namespace {

Features ReadFeatures() {
  Features f;
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  f.sse2 = __builtin_cpu_supports("sse2") != 0;
  f.sse3 = __builtin_cpu_supports("sse3") != 0;
  f.ssse3 = __builtin_cpu_supports("ssse3") != 0;
  f.avx2 = __builtin_cpu_supports("avx2") != 0;
  f.avx512 = __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512bw") != 0 &&
             __builtin_cpu_supports("avx512vl") != 0 && __builtin_cpu_supports("avx512vbmi") != 0;
#endif
  return f;
}

KernelLevel ReadBest() {
  const Features& f = ProcessorFeatures();
  if (f.avx512 && f.avx2) return KernelLevel::kAvx512;
  if (f.avx2) return KernelLevel::kAvx2;
  if (f.sse2) return KernelLevel::kSse2;
  return KernelLevel::kPlain;
}

KernelLevel& StartLevel() {
  static KernelLevel start = BestKernelLevel();
  return start;
}

}  // namespace

KernelLevel detail::gActiveLevel = BestKernelLevel();

const Features& ProcessorFeatures() {
  static const Features features = ReadFeatures();
  return features;
}

KernelLevel BestKernelLevel() {
  static const KernelLevel best = ReadBest();
  return best;
}

void ForceKernelLevel(KernelLevel level) {
  detail::gActiveLevel = static_cast<KernelLevel>(
      std::min(static_cast<int32_t>(level), static_cast<int32_t>(StartLevel())));
}

void ResetKernelLevel() { detail::gActiveLevel = StartLevel(); }

bool SetStartKernelLevel(KernelLevel level) {
  if (static_cast<int32_t>(level) > static_cast<int32_t>(BestKernelLevel())) return false;
  StartLevel() = level;
  detail::gActiveLevel = level;
  return true;
}

KernelLevel StartKernelLevel() { return StartLevel(); }

const char* KernelLevelName(KernelLevel level) {
  switch (level) {
    case KernelLevel::kPlain: return "plain";
    case KernelLevel::kSse2: return "sse2";
    case KernelLevel::kAvx2: return "avx2";
    case KernelLevel::kAvx512: return "avx512";
  }
  return "plain";
}

bool ParseKernelLevel(const char* name, KernelLevel& level) {
  for (const KernelLevel l : {KernelLevel::kPlain, KernelLevel::kSse2, KernelLevel::kAvx2, KernelLevel::kAvx512}) {
    if (std::strcmp(name, KernelLevelName(l)) == 0) {
      level = l;
      return true;
    }
  }
  return false;
}

}  // namespace cpu
