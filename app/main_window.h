// The hidden main window: owner of the tray icon, the two timers and the private messages.
#pragma once

#include <cstdint>

#include "platform/types.h"

inline constexpr char16_t MainWindowClassName[] = u"Zorvik";
inline constexpr char16_t MainWindowTitle[] = u"Zorvik";

plat::LResult MainWindowProc(plat::Window window, std::uint32_t message, plat::WParam wParam,
                             plat::LParam lParam);

// After the message loop: when the loop ended without the close handling (a quit message
// posted from elsewhere), runs it and destroys the window; otherwise nothing.
void EndMainWindow();
