#pragma once
// What the processor offers the vector paths, read once, and the one switch
// that caps them. Every kernel with a vector path asks KernelLevelAtLeast
// before taking it, so forcing a level here turns off every path above it,
// in drawing, effects, the random source and the presenter alike. Fast
// forms that need no processor's intrinsics (tables, skipped work, the
// compiler's generic vectors) run at every level, kPlain included: it is
// what processors without the x86 paths run. Tests call the ...Plain
// definitions directly.
#include <cstdint>

namespace cpu {

// The widest vector path a kernel may take. Sse2 also stands for SSE3 and
// SSSE3 where the processor has them (each kernel that uses them asks
// Features as well).
enum class KernelLevel : int32_t { kPlain = 0, kSse2 = 1, kAvx2 = 2, kAvx512 = 3 };

struct Features {
  bool sse2 = false;
  bool sse3 = false;
  bool ssse3 = false;  // the byte shuffle pshufb
  bool avx2 = false;
  bool avx512 = false;  // F, BW, VL and VBMI together: what the ring path needs
};

// Read from the processor on first use.
const Features& ProcessorFeatures();
// The highest level the processor can run.
KernelLevel BestKernelLevel();

// The level the kernels run at: the start level unless a lower one is
// forced. Forcing a level above the start level gives the start level.
namespace detail {
extern KernelLevel gActiveLevel;  // read on every kernel call, so kept inline
}
inline KernelLevel ActiveKernelLevel() { return detail::gActiveLevel; }
inline bool KernelLevelAtLeast(KernelLevel level) {
  return static_cast<int32_t>(ActiveKernelLevel()) >= static_cast<int32_t>(level);
}
// For tests and benchmarks that compare the paths.
void ForceKernelLevel(KernelLevel level);
// Back to the start level (program-start state).
void ResetKernelLevel();

// The level a program starts at and every reset returns to: the best unless
// a benchmark chose a lower one, so a whole run (resets included) stays at
// the chosen level. False, changing nothing, for a level above the best.
bool SetStartKernelLevel(KernelLevel level);
KernelLevel StartKernelLevel();

// The option spelling of each level ("plain", "sse2", "avx2", "avx512"), and
// back; false for any other name.
const char* KernelLevelName(KernelLevel level);
bool ParseKernelLevel(const char* name, KernelLevel& level);

}  // namespace cpu
