#pragma once
// The random source's batch draw on its plain x87 path, for the tests that
// hold RandomFill's SSE3 path to the same results.
#include <cstdint>

#include "random/random_source.h"

void RandomFillPlain(RandomSource& r, int32_t lo, int32_t hi, int32_t* out, int32_t n);
