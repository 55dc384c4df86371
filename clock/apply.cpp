// Applying clock words and field edits. Not in place yet: every operation leaves the clock as
// it is, so the program runs with the clock it found.
#include "clock/apply.h"

void ApplyClockWord(std::uint32_t) {}
void ApplyPreset(int) {}
void SetTurboMode(int) {}
void SetRunMultiplier(int) {}
void SetTurboMultiplier(int) {}
void SetRunRatio(int) {}
void SetMemoryDivider(int) {}
void SetFastBus(int) {}
void CheckWatch() {}
