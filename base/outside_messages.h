// Messages from other processes: the kinds no procedure of the program takes from outside, the
// guard on the dialogs' list and tree controls, and commands taken from the program's own loop.
#pragma once

#include <cstdint>

#include "platform/types.h"

// True when `message`, being handled now, came from another thread (so from another process:
// the program has one thread) and is of a kind that carries a pointer into the sender's memory
// (plat::UnsafeFromOutside). The procedure answers 0 and hands it on to nothing.
bool RefusedFromOutside(std::uint32_t message);

// Subclasses a list or tree control of a dialog, so that it refuses those messages too.
void GuardControl(plat::Window control);

// True when a command is posted to `window` again rather than carried out now: inside the
// menu's loop (a dialog would open under the menu's capture) or inside another thread's call.
// There every message the program sends its own windows would look as if it came from outside
// and be refused, and the sender would wait on any dialog the command opens.
bool CommandPostponed(plat::Window window, plat::WParam wParam, plat::LParam lParam);
