// Dialog boxes, message boxes and beeps over the Windows API.
// Windows API only; no program logic.
#include "platform/win32/windows_api.h"

using win32::ToPlatform;
using win32::ToWindows;
using win32::Wide;

namespace {

// What the trampoline needs to reach the program's procedure: handed over as the creation
// parameter, then kept in the dialog's user data from WM_INITDIALOG on.
struct DialogBinding {
  plat::DialogProc Procedure;
  LPARAM InitParam;
};

INT_PTR CALLBACK DialogTrampoline(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* binding = reinterpret_cast<const DialogBinding*>(lParam);
    if (binding == nullptr) return FALSE;
    ::SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
    return binding->Procedure(ToPlatform<plat::Window>(dialog), message, wParam,
                              binding->InitParam);
  }
  // Messages before WM_INITDIALOG (the font, the non-client creation) find no binding yet.
  const auto* binding =
      reinterpret_cast<const DialogBinding*>(::GetWindowLongPtrW(dialog, GWLP_USERDATA));
  if (binding == nullptr) return FALSE;
  return binding->Procedure(ToPlatform<plat::Window>(dialog), message, wParam, lParam);
}

}  // namespace

namespace plat {

LResult DialogBoxIndirectParamW(Instance module, const void* dialogTemplate, Window owner,
                                DialogProc procedure, LParam initParam) {
  if (dialogTemplate == nullptr || procedure == nullptr) return -1;
  // The binding lives on this frame for as long as the dialog's loop runs.
  const DialogBinding binding{procedure, initParam};
  return ::DialogBoxIndirectParamW(
      ToWindows<HINSTANCE>(module), static_cast<LPCDLGTEMPLATEW>(dialogTemplate),
      ToWindows<HWND>(owner), &DialogTrampoline, reinterpret_cast<LPARAM>(&binding));
}

bool EndDialog(Window dialog, LResult result) {
  return ::EndDialog(ToWindows<HWND>(dialog), result) != FALSE;
}

Window GetDlgItem(Window dialog, int id) {
  return ToPlatform<Window>(::GetDlgItem(ToWindows<HWND>(dialog), id));
}

bool SetForegroundWindow(Window window) {
  return ::SetForegroundWindow(ToWindows<HWND>(window)) != FALSE;
}

int MessageBoxW(Window owner, const char16_t* text, const char16_t* caption, std::uint32_t style) {
  return ::MessageBoxW(ToWindows<HWND>(owner), Wide(text), Wide(caption), style);
}

bool MessageBeep(std::uint32_t type) { return ::MessageBeep(type) != FALSE; }

}  // namespace plat
