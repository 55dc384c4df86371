// The clock word's decoding into the core and memory clocks, by AppState's processor family.
// Pure: reads only the word, CpuFamily, TurboFlag, FastBusFlag and the two clock tables.
#include "base/clock_word.h"

#include "base/state.h"

int Pxa25xMemoryClock(std::uint32_t l) {
  return AppState.MemoryClockTable[l >= 1 && l <= 5 ? l - 1 : 0];
}

int DecodeFrequency(std::uint32_t word, int forceTurbo) {
  const bool turbo = forceTurbo != 0 || AppState.TurboFlag != 0;
  if (AppState.CpuFamily == CpuPxa25x) {
    const int run =
        Pxa25xMemoryClock(RunRatio(word)) * AppState.RunMultiplierTable[RunMultiplier(word)];
    const int n = static_cast<int>(Pxa25xTurboMultiplier(word));
    return turbo ? run * (n < 2 ? 2 : n) / 2 : run;
  }
  if (AppState.CpuFamily == CpuPxa27x) {
    const int run = Pxa27xRunClock(RunRatio(word));
    const int n = static_cast<int>(Pxa27xTurboMultiplier(word));
    return turbo ? run * (n < 2 ? 2 : n > 8 ? 8 : n) / 2 : run;
  }
  return 0;
}

int DecodeMemoryClock(std::uint32_t word) {
  if (AppState.CpuFamily == CpuPxa25x) return Pxa25xMemoryClock(RunRatio(word));
  if (AppState.CpuFamily == CpuPxa27x) return Pxa27xMemoryClock(word, AppState.FastBusFlag != 0);
  return 0;
}
