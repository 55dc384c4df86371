// The processor's coprocessor registers, and the fault guard around access to them.
// Contract only. Each primitive is one 32-bit access and needs kernel mode (SetKMode).
#pragma once

#include <cstdint>

namespace plat {

std::uint32_t ReadProcessorId();  // CP15 c0, opcode2 0: main ID
std::uint32_t ReadCacheType();    // CP15 c0, opcode2 1: cache type
std::uint32_t ReadClockConfig();  // CP14 register 6: CLKCFG
void WriteClockConfig(std::uint32_t value);

// Runs `body(context)` under the fault guard. Returns false when an access fault cut it
// short; the body's steps after the faulting access did not run. The body must own nothing
// that needs cleaning up, since it is abandoned where the fault struck.
bool RunGuarded(void (*body)(void* context), void* context);

}  // namespace plat
