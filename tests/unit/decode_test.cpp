// Clock word decoding: the frequencies of both families' default presets and of the awkward words
// around them, and the memory clock.
#include <gtest/gtest.h>

#include "base/clock_word.h"
#include "base/state.h"

namespace {

struct DecodeCase {
  std::int32_t family;
  std::uint32_t word;
  int run;
  int turbo;
};

class DecodeTest : public ::testing::TestWithParam<DecodeCase> {
 protected:
  void SetUp() override { ResetAppState(); }
};

int RunFrequency(std::int32_t family, std::uint32_t word) {
  AppState.CpuFamily = family;
  AppState.TurboFlag = 0;
  return DecodeFrequency(word, 0);
}

int TurboFrequency(std::int32_t family, std::uint32_t word) {
  AppState.CpuFamily = family;
  AppState.TurboFlag = 0;
  return DecodeFrequency(word, 1);
}

TEST_P(DecodeTest, RunAndTurboFrequencies) {
  const DecodeCase& c = GetParam();
  EXPECT_EQ(RunFrequency(c.family, c.word), c.run);
  EXPECT_EQ(TurboFrequency(c.family, c.word), c.turbo);
  // The chosen mode follows TurboFlag when turbo is not forced.
  AppState.TurboFlag = 1;
  EXPECT_EQ(DecodeFrequency(c.word, 0), c.turbo);
}

INSTANTIATE_TEST_SUITE_P(
    DefaultPresets, DecodeTest,
    ::testing::Values(
        DecodeCase{CpuPxa25x, 0x121, 100, 100}, DecodeCase{CpuPxa25x, 0x141, 200, 200},
        DecodeCase{CpuPxa25x, 0x1C1, 200, 300}, DecodeCase{CpuPxa25x, 0x241, 200, 400},
        DecodeCase{CpuPxa25x, 0x242, 236, 472}, DecodeCase{CpuPxa25x, 0x2C1, 200, 500},
        DecodeCase{CpuPxa25x, 0x243, 266, 532}, DecodeCase{CpuPxa25x, 0x341, 200, 600},
        DecodeCase{CpuPxa27x, 0x2000104, 52, 52}, DecodeCase{CpuPxa27x, 0x2000108, 104, 104},
        DecodeCase{CpuPxa27x, 0x2000110, 208, 208}, DecodeCase{CpuPxa27x, 0x2000190, 208, 312},
        DecodeCase{CpuPxa27x, 0x2000210, 208, 416}, DecodeCase{CpuPxa27x, 0x2000290, 208, 520},
        DecodeCase{CpuPxa27x, 0x2000310, 208, 624}, DecodeCase{CpuPxa27x, 0x2000390, 208, 728}));

INSTANTIATE_TEST_SUITE_P(
    EdgeWords, DecodeTest,
    ::testing::Values(
        // PXA25x: L 0 and L 6..31 count as the 100 MHz base, M 0 is x1, N 0/1 count as 2.
        DecodeCase{CpuPxa25x, 0x0, 100, 100}, DecodeCase{CpuPxa25x, 0x6, 100, 100},
        DecodeCase{CpuPxa25x, 0x1F, 100, 100}, DecodeCase{CpuPxa25x, 0x80, 100, 100},
        DecodeCase{CpuPxa25x, 0x3FF, 400, 1400},
        DecodeCase{CpuPxa25x, 0x5 | (3u << 5) | (3u << 7), 664, 996},
        DecodeCase{CpuPxa25x, 0x244, 300, 600},  // L 4: the 150 MHz memory clock
        // Bits above the N field never change a PXA25x result.
        DecodeCase{CpuPxa25x, 0xFFFFFC00u | 0x241, 200, 400},
        // PXA27x: run never below 26, 2N clamped to 2..8, the odd product truncated.
        DecodeCase{CpuPxa27x, 0x0, 26, 26}, DecodeCase{CpuPxa27x, 0x1, 26, 26},
        DecodeCase{CpuPxa27x, 0x1F, 403, 403}, DecodeCase{CpuPxa27x, 0x1F | (15u << 7), 403, 1612},
        DecodeCase{CpuPxa27x, 0x10 | (1u << 7), 208, 208},
        DecodeCase{CpuPxa27x, 0x10 | (9u << 7), 208, 832},
        DecodeCase{CpuPxa27x, 0x3 | (3u << 7), 39, 58},
        // Bit 10 and the memory bit 25 do not change the PXA27x result.
        DecodeCase{CpuPxa27x, 0x10 | (5u << 7) | (1u << 25), 208, 520},
        // An unknown family decodes nothing.
        DecodeCase{CpuUnknown, 0x2000290, 0, 0}, DecodeCase{CpuUnknown, 0x3FF, 0, 0}));

// The memory clock: PXA25x by L from the table (an L outside 1..5 as 1), PXA27x half of 13 x L
// (at least 26) unless the fast bus is on and A is set; none for an Unknown family.
TEST(DecodeMemoryClockTest, FollowsTheFamilyTheRatioAndTheBus) {
  struct Case {
    std::int32_t family;
    std::uint32_t word;
    bool fastBus;
    int mhz;
  };
  const Case cases[] = {
      {CpuPxa25x, 0x241, false, 100},
      {CpuPxa25x, 0x245, true, 166},
      {CpuPxa25x, 0x246, false, 100},
      {CpuPxa27x, 16, true, 104},  // fast bus, no A
      {CpuPxa27x, 16 | (1u << 25), false, 104},
      {CpuPxa27x, 16 | (1u << 25), true, 208},
      {CpuPxa27x, 0, false, 13},
      {CpuPxa27x, 1, false, 13},
      {CpuUnknown, 0x2000290, true, 0},
  };
  for (const Case& c : cases) {
    ResetAppState();
    AppState.CpuFamily = c.family;
    AppState.FastBusFlag = c.fastBus ? 1 : 0;
    EXPECT_EQ(DecodeMemoryClock(c.word), c.mhz) << c.family << " " << c.word;
  }
}

}  // namespace
