#include "orvo/util/a_random.h"

namespace {
// Seed 1 until seeded, like the C library's generator.
thread_local uint32_t t_state = 1;
} // namespace

void a_srand(uint32_t seed)
{
    t_state = seed;
}

int a_rand()
{
    t_state = t_state * 214013u + 2531011u;
    return static_cast<int>((t_state >> 16) & 0x7FFF);
}

float a_randFloat(float lo, float hi)
{
    return lo + (hi - lo) * static_cast<float>(a_rand()) / static_cast<float>(A_RAND_MAX);
}
