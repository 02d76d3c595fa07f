// random.h - the one random generator of the program.
#pragma once
#include <cstdint>

extern uint32_t RandomState;
void SeedRandom(uint32_t seed);
// state = state * 214013 + 2531011; the value is (state >> 16) & 0x7FFF.
int NextRandom();
