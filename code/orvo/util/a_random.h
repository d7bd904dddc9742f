// The engine's random generator: the classic linear congruential generator
// (x = x * 214013 + 2531011, result bits 16..30), values 0..32767. Each
// thread has its own state; loading threads seed their own.
#pragma once

#include <cstdint>

constexpr int A_RAND_MAX = 32767;

void a_srand(uint32_t seed);
int a_rand();
// lo + (hi - lo) * rand / 32767: both ends can occur.
float a_randFloat(float lo, float hi);
