// The menu command table and its dispatch.
#pragma once

#include "platform/types.h"

plat::LResult HandleMenuCommand(plat::Window window, plat::WParam wParam, plat::LParam lParam);
