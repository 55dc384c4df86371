// The tray popup menu, built afresh from AppState at every opening.
#pragma once

#include "platform/types.h"

void ShowTrayMenu(plat::Window owner);
