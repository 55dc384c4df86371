// The system information tree: processor and caches, memory and storage, what is installed, the
// system and the power supply, each line formatted from one query.
#pragma once

#include "platform/types.h"

// Builds the whole tree, top to bottom; nothing is expanded. Refreshes AppState.PowerStatus when
// the device reports its power.
void FillInfoTree(plat::Window tree);
