// Counts heap allocations at run time, for the benchmarks and the instruction counts only: the
// library replaces the global allocation functions of the binary that links it. An allocation is
// the program's when it is made outside the simulated platform (sim::PlatformDepth 0).
#pragma once

#include <cstdint>

namespace bench {

// The program's own allocations since the last reset of the count.
std::uint64_t ProgramHeapAllocations();
void ResetProgramHeapAllocations();
// Every allocation since the process began, the simulated platform's and the test's included.
std::uint64_t AllHeapAllocations();

}  // namespace bench
