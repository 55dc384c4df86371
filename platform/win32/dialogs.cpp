// Dialog boxes, message boxes and beeps over the Windows API.
// Windows API only; no program logic.
#include "platform/win32/windows_api.h"

using win32::ToPlatform;
using win32::ToWindows;
using win32::Wide;

namespace {

// One running dialog box: it lives on the frame of the call that runs its loop. The running
// dialogs form a stack, since a dialog opened from inside another's loop runs its own loop above
// it, and only the innermost loop can return.
struct DialogRun {
  plat::DialogProc Procedure;
  LPARAM InitParam;
  HWND Window;  // set by the dialog's own first WM_INITDIALOG
  bool Ended;
  plat::LResult Result;
  DialogRun* Outer;
};

DialogRun* Innermost = nullptr;  // the user-interface thread's running dialogs

DialogRun* RunOf(HWND window) {
  for (DialogRun* run = Innermost; run != nullptr; run = run->Outer) {
    if (run->Window == window && window != nullptr) return run;
  }
  return nullptr;
}

// Another process can send any dialog any message, WM_INITDIALOG included, with any lParam. So
// no lParam is ever followed as a pointer: a dialog is bound to its run once, by its first
// WM_INITDIALOG while that run is being created (the creation parameter names the run, and is
// only compared). Messages before the binding, and every later WM_INITDIALOG, get the default
// handling.
INT_PTR CALLBACK DialogTrampoline(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogRun* run = RunOf(dialog);
  if (run == nullptr) {
    DialogRun* creating = Innermost;
    if (message != WM_INITDIALOG || creating == nullptr || creating->Window != nullptr ||
        lParam != reinterpret_cast<LPARAM>(creating)) {
      return FALSE;
    }
    creating->Window = dialog;
    return creating->Procedure(ToPlatform<plat::Window>(dialog), message, wParam,
                               creating->InitParam);
  }
  if (message == WM_INITDIALOG) return FALSE;
  return run->Procedure(ToPlatform<plat::Window>(dialog), message, wParam, lParam);
}

// The keyboard of every running dialog, not only the innermost: Escape, Enter and Tab work in a
// dialog while another one opened from it runs its loop.
bool IsRunningDialogMessage(MSG* message) {
  const HWND top = ::GetAncestor(message->hwnd, GA_ROOT);
  const DialogRun* run = RunOf(top);
  return run != nullptr && !run->Ended && ::IsDialogMessageW(top, message) != FALSE;
}

}  // namespace

namespace plat {

LResult DialogBoxIndirectParamW(Instance module, const void* dialogTemplate, Window owner,
                                DialogProc procedure, LParam initParam) {
  if (dialogTemplate == nullptr || procedure == nullptr) return -1;
  DialogRun run{procedure, initParam, nullptr, false, 0, Innermost};
  Innermost = &run;
  const HWND ownerWindow = ToWindows<HWND>(owner);
  const HWND dialog = ::CreateDialogIndirectParamW(
      ToWindows<HINSTANCE>(module), static_cast<LPCDLGTEMPLATEW>(dialogTemplate), ownerWindow,
      &DialogTrampoline, reinterpret_cast<LPARAM>(&run));
  if (dialog == nullptr) {
    Innermost = run.Outer;
    return -1;
  }
  // A modal dialog's owner takes no input while it runs.
  const bool ownerWasEnabled = ownerWindow != nullptr && ::EnableWindow(ownerWindow, FALSE) == 0;
  if (!run.Ended) ::ShowWindow(dialog, SW_SHOW);
  MSG message;
  while (!run.Ended) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {  // the quit message ends the dialog and is left for the caller's loop
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (!IsRunningDialogMessage(&message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  if (ownerWasEnabled) ::EnableWindow(ownerWindow, TRUE);
  ::DestroyWindow(dialog);
  Innermost = run.Outer;
  return run.Result;
}

// The dialog hides at once; its loop returns when it is the innermost one again.
bool EndDialog(Window dialog, LResult result) {
  DialogRun* run = RunOf(ToWindows<HWND>(dialog));
  if (run == nullptr || run->Ended) return false;
  run->Ended = true;
  run->Result = result;
  ::ShowWindow(run->Window, SW_HIDE);
  return true;
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
