// The main window's procedure: decodes each message and calls the procedure that owns the work.
#include "app/main_window.h"

#include "app/commands.h"
#include "app/wakeup.h"
#include "base/ids.h"
#include "base/messages.h"
#include "base/outside_messages.h"
#include "base/state.h"
#include "clock/apply.h"
#include "clock/auto_turbo.h"
#include "icon/refresh.h"
#include "menu/tray_menu.h"
#include "platform/graphics.h"
#include "platform/menus.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "platform/windowing.h"

namespace {

constexpr std::uint32_t NotifyIconDataSize = 152;  // the handheld's NOTIFYICONDATA
constexpr std::uint32_t TrayIconId = 1;

void IdentifyTrayIcon(plat::Window window) {
  AppState.TrayIconData.Size = NotifyIconDataSize;
  AppState.TrayIconData.Owner = window;
  AppState.TrayIconData.Id = TrayIconId;
}

// Any process may send WM_CREATE again; only the window's own creation sets up, or every
// repeat would load another icon, add the tray record again and re-arm the timers.
void OnCreate(plat::Window window) {
  if (AppState.MainWindow != plat::Window{}) return;
  // Not tested: a close and a create sent by another process while the shell takes the icon
  // below (Windows serves sent messages there); the simulated shell answers at once.
  if (AppState.CloseHandled != 0) return;  // GCOVR_EXCL_BR_LINE: not tested, see above
  IdentifyTrayIcon(window);
  int side = 16 * AppState.IconScale;
  AppState.TrayIconData.IconHandle =
      plat::LoadImageW(AppState.Instance, IDI_PROGRAM, plat::IMAGE_ICON, side, side, 0);
  AppState.TrayIconData.Flags = plat::NIF_MESSAGE | plat::NIF_ICON;
  AppState.TrayIconData.CallbackMessage = UM_TRAYNOTIFY;
  plat::Shell_NotifyIcon(plat::NIM_ADD, &AppState.TrayIconData);

  if (AppState.IconView > ViewFrequency) {
    AppState.IconTimerId =
        plat::SetTimer(window, ID_TIMER_ICON, IconTimerPeriodMs(AppState.UpdateTempo));
  }
  if (AppState.WatchMode != 0) {
    AppState.WatchTimerId = plat::SetTimer(window, ID_TIMER_WATCH, WatchPeriodMs);
  }
  if (AppState.AutoMode != 0) {
    AppState.AutoTimerId = plat::SetTimer(window, ID_TIMER_AUTO, AutoPeriodMs);
  }
  AppState.MainWindow = window;
}

// The close handling's clean-up, whichever way out comes first (WM_CLOSE, a WM_DESTROY or a
// quit message from elsewhere); it runs once. An open menu's loop would take the quit message
// and stay on screen, so the menu closes (the dialogs' loops end at the quit message).
void ReleaseWindowResources(plat::Window window) {
  if (AppState.CloseHandled != 0) return;
  AppState.CloseHandled = 1;
  if (AppState.TrayMenuOpen != 0) plat::EndMenu();
  CancelWakeupRelaunch();
  if (AppState.IconTimerId != 0) {
    plat::KillTimer(window, AppState.IconTimerId);
    AppState.IconTimerId = 0;
  }
  plat::Shell_NotifyIcon(plat::NIM_DELETE, &AppState.TrayIconData);  // as identified at create
  if (AppState.TrayIconData.IconHandle != plat::Icon{}) {
    plat::DestroyIcon(AppState.TrayIconData.IconHandle);
    AppState.TrayIconData.IconHandle = plat::Icon{};
  }
}

void OnClose(plat::Window window) {
  ReleaseWindowResources(window);
  plat::DestroyWindow(window);
}

// One menu at a time: the menu's own loop dispatches what arrives while it is open, and every
// tap or second launch would otherwise open a menu inside the open one.
void OpenTrayMenu(plat::Window window) {
  if (AppState.TrayMenuOpen != 0) return;
  AppState.TrayMenuOpen = 1;
  ShowTrayMenu(window);
  AppState.TrayMenuOpen = 0;
  // A close that arrived while the menu was open destroyed the window inside the menu's loop,
  // which may have taken the quit message for itself: ask for it again so the program ends.
  if (AppState.CloseHandled != 0) plat::PostQuitMessage(0);
}

// A command runs neither after the close handling (the closing menu's choice, or any other) nor
// inside the menu's loop or another thread's call, from where it comes round again.
plat::LResult OnCommand(plat::Window window, plat::WParam wParam, plat::LParam lParam) {
  if (AppState.CloseHandled != 0) return 0;
  if (CommandPostponed(window, wParam, lParam)) return 0;
  return HandleMenuCommand(window, wParam, lParam);
}

void OnTimer(plat::WParam timerId) {
  if (timerId == ID_TIMER_ICON) RefreshTrayIcon();
  if (timerId == ID_TIMER_WATCH) CheckWatch();
  if (timerId == ID_TIMER_AUTO) CheckAutoTurbo();
}

// Another launch asks for a preset (1..8) or for the current clock again (0). Other values
// come from no launch of this program and are ignored.
void OnApplyPreset(plat::LParam request) {
  if (request == 0) {
    ApplyClockWord(AppState.CurrentClockWord);
  } else if (request >= 1 && request <= PresetSlots) {
    ApplyPreset(static_cast<int>(request));
  }
}

}  // namespace

plat::LResult MainWindowProc(plat::Window window, std::uint32_t message, plat::WParam wParam,
                             plat::LParam lParam) {
  if (RefusedFromOutside(message)) return 0;
  switch (message) {
    case plat::WM_CREATE:
      OnCreate(window);
      return 0;
    case plat::WM_DESTROY:
      ReleaseWindowResources(window);
      plat::PostQuitMessage(0);
      return 0;
    case plat::WM_CLOSE:
      OnClose(window);
      return 0;
    case plat::WM_COMMAND:
      return OnCommand(window, wParam, lParam);
    case plat::WM_TIMER:
      OnTimer(wParam);
      return 0;
    case UM_SHOWMENU:
      OpenTrayMenu(window);
      return 0;
    case UM_TRAYNOTIFY:
      if (lParam == plat::WM_LBUTTONDOWN || lParam == plat::WM_RBUTTONDOWN) OpenTrayMenu(window);
      return 0;
    case UM_APPLYPRESET:
      OnApplyPreset(lParam);
      return 0;
    default:
      return plat::DefWindowProcW(window, message, wParam, lParam);
  }
}

void EndMainWindow() {
  if (AppState.MainWindow == plat::Window{}) return;
  if (AppState.CloseHandled != 0) return;
  ReleaseWindowResources(AppState.MainWindow);
  plat::DestroyWindow(AppState.MainWindow);
}
