// Message boxes and beeps over the Windows API.
// Windows API only; no program logic.
#include "platform/win32/windows_api.h"

using win32::ToPlatform;
using win32::ToWindows;
using win32::Wide;

namespace plat {

int MessageBoxW(Window owner, const char16_t* text, const char16_t* caption, std::uint32_t style) {
  return ::MessageBoxW(ToWindows<HWND>(owner), Wide(text), Wide(caption), style);
}

bool MessageBeep(std::uint32_t type) { return ::MessageBeep(type) != FALSE; }

}  // namespace plat
