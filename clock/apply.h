// Applying clock words and single-field edits. Failures beep; nothing else reports them.
#pragma once

#include <cstdint>

// True when the word is in force; a refusal has beeped.
bool ApplyClockWord(std::uint32_t word);
void ApplyPreset(int slot);    // slot 1..8; any other does nothing
bool SetTurboMode(int turbo);  // ApplyClockWord's result; TurboFlag stays set either way
void SetRunMultiplier(int m);
void SetTurboMultiplier(int n);
void SetRunRatio(int l);
void SetMemoryDivider(int oneToOne);
void SetFastBus(int on);
void CheckWatch();
