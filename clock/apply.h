// Applying clock words and single-field edits. Failures beep; nothing else reports them.
#pragma once

#include <cstdint>

void ApplyClockWord(std::uint32_t word);
void ApplyPreset(int slot);  // slot 1..8; any other does nothing
void SetTurboMode(int turbo);
void SetRunMultiplier(int m);
void SetTurboMultiplier(int n);
void SetRunRatio(int l);
void SetMemoryDivider(int oneToOne);
void SetFastBus(int on);
void CheckWatch();
