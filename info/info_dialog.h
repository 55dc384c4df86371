// The system information dialog.
#pragma once

#include <cstdint>

#include "platform/types.h"

// Dialog procedure of template 102: nonzero when the message was handled.
std::intptr_t InfoDialogProc(plat::Window window, std::uint32_t message, plat::WParam wParam,
                             plat::LParam lParam);
