// The Windows entry point: hands the instance and the command line to the program.
// Windows API only; the program's start-up is ZorvikMain.
#include "platform/entry.h"
#include "platform/win32/windows_api.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR commandLine, int /*show*/) {
  // The tool dialogs hold list-view and tree-view controls.
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);
  return ZorvikMain(win32::ToPlatform<plat::Instance>(instance),
                    reinterpret_cast<const char16_t*>(commandLine != nullptr ? commandLine : L""));
}
