// The clock word: the value of the clock register CCCR, with the CLKCFG bits that go with it.
// Its fields, the edits of one field and its decoding into MHz are written here (and the decoding
// that reads AppState in clock_word.cpp) and nowhere else.
// Pure; no platform calls. The decoding reads AppState's family, turbo flags and clock tables.
#pragma once

#include <cstdint>

// ---- The fields of the word -----------------------------------------------------------------

// L, bits 0-4, both families: the run ratio. PXA25x: L 1..5 picks the memory clock from
// MemoryClockTable; PXA27x: the run clock is 13 x L MHz.
inline constexpr std::uint32_t RunRatioBits = 0x1F;
// M, bits 5-6, PXA25x: the run multiplier, an index into RunMultiplierTable.
inline constexpr std::uint32_t RunMultiplierBits = 0x60;
// N, the turbo multiplier in halves (turbo clock = run clock x N / 2): bits 7-9 on PXA25x, 7-10
// on PXA27x. An edit clears bits 7-15, wider than either family's field.
inline constexpr std::uint32_t TurboMultiplierEditBits = 0xFF80;
// A, bit 25, PXA27x: with the fast bus on, the memory clock runs at the full run clock.
inline constexpr std::uint32_t AlternateMemoryBit = 1u << 25;

constexpr std::uint32_t RunRatio(std::uint32_t word) { return word & RunRatioBits; }
constexpr std::uint32_t RunMultiplier(std::uint32_t word) {
  return (word & RunMultiplierBits) >> 5;
}
constexpr std::uint32_t Pxa25xTurboMultiplier(std::uint32_t word) { return (word >> 7) & 0x7; }
constexpr std::uint32_t Pxa27xTurboMultiplier(std::uint32_t word) { return (word >> 7) & 0xF; }
constexpr bool AlternateMemoryClock(std::uint32_t word) { return (word & AlternateMemoryBit) != 0; }

// The word with one field replaced; the callers keep the value within the field.
constexpr std::uint32_t WithRunRatio(std::uint32_t word, std::uint32_t l) {
  return (word & ~RunRatioBits) | (l & RunRatioBits);
}
constexpr std::uint32_t WithRunMultiplier(std::uint32_t word, std::uint32_t m) {
  return (word & ~RunMultiplierBits) | ((m << 5) & RunMultiplierBits);
}
constexpr std::uint32_t WithTurboMultiplier(std::uint32_t word, std::uint32_t n) {
  return (word & ~TurboMultiplierEditBits) | ((n << 7) & TurboMultiplierEditBits);
}
constexpr std::uint32_t WithAlternateMemoryClock(std::uint32_t word, bool on) {
  return on ? word | AlternateMemoryBit : word & ~AlternateMemoryBit;
}

static_assert(RunRatio(0x2000290) == 16 && Pxa27xTurboMultiplier(0x2000290) == 5 &&
              AlternateMemoryClock(0x2000290));
static_assert(RunRatio(0x243) == 3 && RunMultiplier(0x243) == 2 &&
              Pxa25xTurboMultiplier(0x243) == 4);
static_assert(WithTurboMultiplier(0x2000291, 2) == 0x2000111 &&
              WithRunRatio(0x2000290, 8) == 0x2000288);
static_assert(WithRunMultiplier(0x241, 1) == 0x221 &&
              WithAlternateMemoryClock(0x290, true) == 0x2000290);

// ---- CLKCFG, CP14 register 6 ----------------------------------------------------------------

inline constexpr std::uint32_t ClkcfgTurbo = 1;
inline constexpr std::uint32_t ClkcfgFrequencyChange = 2;  // the core takes up the CCCR word
inline constexpr std::uint32_t ClkcfgFastBus = 8;          // PXA27x

// ---- Decoding -------------------------------------------------------------------------------

// PXA27x: the run clock of ratio L, 13 x L MHz and at least 26 (L 0 and 1 count as 2).
constexpr int Pxa27xRunClock(std::uint32_t l) {
  const int clock = 13 * static_cast<int>(l & RunRatioBits);
  return clock < 26 ? 26 : clock;
}

// PXA27x: the memory clock, half the run clock unless the fast bus is on and A is set.
constexpr int Pxa27xMemoryClock(std::uint32_t word, bool fastBus) {
  const int clock = Pxa27xRunClock(RunRatio(word));
  return fastBus && AlternateMemoryClock(word) ? clock : clock / 2;
}

// PXA25x: the memory clock of ratio L 1..5 from MemoryClockTable; any other L counts as 1.
int Pxa25xMemoryClock(std::uint32_t l);

// The core frequency in MHz in the mode in force (turbo when TurboFlag is set), or always the
// turbo frequency when forceTurbo is non-zero. 0 for an Unknown family.
int DecodeFrequency(std::uint32_t word, int forceTurbo);

// The memory clock in MHz: PXA25x by L from MemoryClockTable, PXA27x from L, A and FastBusFlag.
// 0 for an Unknown family.
int DecodeMemoryClock(std::uint32_t word);
