// The rows of the process list: every process but the program's own, with its icon, window
// title, thread count, executable path and file size.
#pragma once

#include <cstdint>

#include "platform/types.h"

// Replaces the rows with one per process, drawing the list once when they are all in, and gives
// the list a new small-image list holding one icon per row (image i is row i's), destroying the
// list it replaces. A row's window title is its process's first visible, titled top-level window
// in the platform's order, never one of the shell's process. One pass over the windows finds the
// titles of up to 256 rows.
void FillProcessList(plat::Window list);

// The process id stored with the selected row; 0 when no row is selected.
std::uint32_t GetSelectedProcessId(plat::Window list);
