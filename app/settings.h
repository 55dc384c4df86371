// The settings store: AppState's persistent fields and their registry values.
// Every setter changes AppState, does its side effect and writes its one value at once.
#pragma once

#include <cstdint>

inline constexpr char16_t SettingsKeyPath[] = u"SOFTWARE\\Brenmor\\Zorvik";

// Reads every setting; false when the key cannot be opened (start-up then seeds the presets).
bool LoadSettings();
void SeedDefaultPresets(std::int32_t cpuFamily);
// slot 0..7 is preset slot 1..8; word 0 empties it.
void StorePreset(int slot, std::uint32_t word);
void ToggleWatchMode();
// Switches the automatic mode on (its timer started, its measurement afresh) or off.
void ToggleAutoMode();
void SetUpdateTempo(std::uint32_t tempo);
// choice 0..7 sets the foreground, 8..15 the background (0 / 8 black, then the menu's order).
void SetIconColor(int choice);
void SetIconView(std::uint32_t view);
