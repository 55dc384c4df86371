// Clock word decoding. Pure: reads only the word, CpuFamily, TurboFlag and the two tables.
#include "clock/decode.h"

#include "base/state.h"

namespace {

int DecodePxa25x(std::uint32_t word, bool turbo) {
  std::uint32_t l = word & 0x1F;
  int index = (l >= 1 && l <= 5) ? static_cast<int>(l - 1) : 0;
  int run = AppState.MemoryClockTable[index] * AppState.RunMultiplierTable[(word >> 5) & 3];
  if (!turbo) return run;
  int n = static_cast<int>((word >> 7) & 7);
  if (n < 2) n = 2;
  return run * n / 2;
}

int DecodePxa27x(std::uint32_t word, bool turbo) {
  int run = 13 * static_cast<int>(word & 0x1F);
  if (run < 26) run = 26;
  if (!turbo) return run;
  int t = static_cast<int>((word >> 7) & 0xF);
  if (t < 2) t = 2;
  if (t > 8) t = 8;
  return run * t / 2;
}

}  // namespace

int DecodeFrequency(std::uint32_t word, int forceTurbo) {
  bool turbo = forceTurbo != 0 || AppState.TurboFlag != 0;
  switch (AppState.CpuFamily) {
    case CpuPxa25x:
      return DecodePxa25x(word, turbo);
    case CpuPxa27x:
      return DecodePxa27x(word, turbo);
    default:
      return 0;
  }
}
