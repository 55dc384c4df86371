// The thread list dialog.
#pragma once

#include <cstdint>

#include "platform/types.h"

// Dialog procedure of template 101: nonzero when the message was handled.
std::intptr_t ThreadDialogProc(plat::Window window, std::uint32_t message, plat::WParam wParam,
                               plat::LParam lParam);
