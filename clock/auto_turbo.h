// The automatic mode: turbo chosen by the processor load, measured once a second from the idle
// time with a baseline of its own (the icon's Load view keeps another).
#pragma once

#include <cstdint>

// Turbo goes on at a tick whose load reaches TurboOnLoad percent, and off after TurboOffTicks
// consecutive ticks in turbo below TurboOffLoad.
inline constexpr int TurboOnLoad = 75;
inline constexpr int TurboOffLoad = 25;
inline constexpr int TurboOffTicks = 3;

// Forgets the last measurement: the next tick only takes the baseline. Called when the mode is
// switched on.
void ResetAutoTurbo();

// The mode's timer tick: measures the load of the last second and switches turbo through
// SetTurboMode when the load asks for it. A switch that fails has beeped; it is not tried again
// until the load has left the band that asked for it and come back. Does nothing on a processor
// the program does not know or where the idle time cannot be read.
void CheckAutoTurbo();
