// random.cpp - the linear congruential generator every random command uses.
#include "core/random.h"

uint32_t RandomState = 1;

void SeedRandom(uint32_t seed) { RandomState = seed; }

int NextRandom() {
    RandomState = RandomState * 214013u + 2531011u;
    return (int)((RandomState >> 16) & 0x7FFF);
}
