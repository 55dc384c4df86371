// The process list dialog.
#pragma once

#include <cstdint>

#include "platform/types.h"

// Dialog procedure of template 100: nonzero when the message was handled.
std::intptr_t ProcessDialogProc(plat::Window window, std::uint32_t message, plat::WParam wParam,
                                plat::LParam lParam);
