// Clock word decoding: the core frequency in MHz of a CCCR word. Pure.
#pragma once

#include <cstdint>

// The frequency in the chosen mode (turbo when TurboFlag is set), or always the turbo frequency
// when forceTurbo is non-zero. 0 for an Unknown family.
int DecodeFrequency(std::uint32_t word, int forceTurbo);
