#include "reference/random_fill_plain.h"

#include "platform/cpu_features.h"

void RandomFillPlain(RandomSource& r, int32_t lo, int32_t hi, int32_t* out, int32_t n) {
  const cpu::KernelLevel was = cpu::ActiveKernelLevel();
  cpu::ForceKernelLevel(cpu::KernelLevel::kPlain);
  RandomFill(r, lo, hi, out, n);
  cpu::ForceKernelLevel(was);
}
