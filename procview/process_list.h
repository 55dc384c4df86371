// The rows of the process list: every process but the program's own, with its icon, window
// title, thread count, executable path and file size.
#pragma once

#include <cstdint>

#include "platform/types.h"

// Appends one row per process and gives the list a new small-image list holding one icon per
// row (image i is row i's), destroying the list it replaces.
void FillProcessList(plat::Window list);

// Callback of the top-level window enumeration: leaves in TextBuffer the title of the first
// visible, titled window of process `processId`; returns 0 to stop once found. Windows of the
// shell's process never give a title.
int FindProcessWindowTitle(plat::Window window, plat::LParam processId);

// The process id stored with the selected row; 0 when no row is selected.
std::uint32_t GetSelectedProcessId(plat::Window list);
