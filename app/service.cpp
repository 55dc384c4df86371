// The display and system service commands. Every confirmation is an ownerless Yes/No box with
// No as the default; only Yes goes on.
#include "app/service.h"

#include "app/wakeup.h"
#include "base/state.h"
#include "platform/dialogs.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/windowing.h"

namespace {

constexpr std::uint16_t DeviceModeSize = 192;  // the handheld's DEVMODE

constexpr std::uint32_t QuestionStyle = plat::MB_YESNO | plat::MB_ICONQUESTION |
                                        plat::MB_DEFBUTTON2 | plat::MB_SETFOREGROUND |
                                        plat::MB_TOPMOST;
constexpr std::uint32_t WarningStyle = plat::MB_YESNO | plat::MB_ICONEXCLAMATION |
                                       plat::MB_DEFBUTTON2 | plat::MB_SETFOREGROUND |
                                       plat::MB_TOPMOST;
static_assert(QuestionStyle == 0x50124 && WarningStyle == 0x50134);

constexpr std::uint32_t VgaPixels = 192;
constexpr std::uint32_t RealVgaPixels = 96;

// One question at a time: its box's loop serves every request, and each reset or density
// request arriving meanwhile would open a box inside the last. One that arrives while a question
// is open is answered No.
bool Confirmed(const char16_t* text, const char16_t* caption, std::uint32_t style) {
  if (AppState.QuestionOpen != 0) return false;
  AppState.QuestionOpen = 1;
  const bool yes = plat::MessageBoxW(plat::Window{}, text, caption, style) == plat::IDYES;
  AppState.QuestionOpen = 0;
  return yes;
}

bool ShortcutExists(const char16_t* path) {
  plat::FindData found;
  plat::Handle search = plat::FindFirstFileW(path, &found);
  if (search == plat::InvalidHandle) return false;
  plat::FindClose(search);
  return true;
}

}  // namespace

void SetScreenOrientation(std::uint32_t orientation) {
  AppState.DisplaySettings.Size = DeviceModeSize;
  AppState.DisplaySettings.Fields = plat::DM_DISPLAYORIENTATION;
  AppState.DisplaySettings.DisplayOrientation = orientation;
  plat::ChangeDisplaySettingsEx(nullptr, &AppState.DisplaySettings, plat::Window{}, 0, nullptr);
}

std::uint32_t ReadLogicalPixelsX() {
  plat::RegKey key{};
  if (plat::RegOpenKeyExW(plat::HKEY_LOCAL_MACHINE, DisplayKeyPath, 0, plat::KEY_READ, &key) !=
      plat::ERROR_SUCCESS) {
    return 0;
  }
  // A value shorter than 4 bytes fills the low bytes of the zeroed buffer: the number it holds.
  // A longer one does not fit, the read fails and the value counts as absent.
  std::uint32_t read = 0;
  std::uint32_t size = sizeof read;
  const bool found = plat::RegQueryValueExW(key, u"LogicalPixelsX", nullptr, nullptr, &read,
                                            &size) == plat::ERROR_SUCCESS;
  plat::RegCloseKey(key);
  return found ? read : 0;
}

void WriteLogicalPixels(std::uint32_t value) {
  plat::RegKey key{};
  if (plat::RegOpenKeyExW(plat::HKEY_LOCAL_MACHINE, DisplayKeyPath, 0, plat::KEY_WRITE, &key) !=
      plat::ERROR_SUCCESS) {
    return;
  }
  plat::RegSetValueExW(key, u"LogicalPixelsX", 0, plat::REG_DWORD, &value, sizeof value);
  plat::RegSetValueExW(key, u"LogicalPixelsY", 0, plat::REG_DWORD, &value, sizeof value);
  plat::RegCloseKey(key);
}

void SwitchDisplayDensity(DisplayDensity target) {
  if (AppState.DisplayMode == target) return;
  const bool vga = target == DensityVga;
  if (!Confirmed(vga ? u"Установить режим VGA и выполнить перезагрузку ?"
                     : u"Установить режим RealVGA и выполнить перезагрузку ?",
                 u"Экран", QuestionStyle)) {
    return;
  }
  WriteLogicalPixels(vga ? VgaPixels : RealVgaPixels);
  RestartDevice();
}

void RestartDevice() {
  CancelWakeupRelaunch();
  plat::KernelIoControl(plat::IOCTL_HAL_REBOOT, nullptr, 0, nullptr, 0, nullptr);
}

void SoftReset() {
  if (Confirmed(u"Вы действительно хотите выполнить перезагрузку ?", u"Перезагрузка",
                QuestionStyle)) {
    RestartDevice();
  }
}

void HardReset() {
  if (!Confirmed(u"Вы действительно хотите выполнить полную очистку системы ?", u"Полный сброс",
                 QuestionStyle)) {
    return;
  }
  if (!Confirmed(u"Очистка системы приведет к потере всех данных и возврату к заводским "
                 u"настройкам !",
                 u"Внимание", WarningStyle)) {
    return;
  }
  plat::SetCleanRebootFlag();
  plat::KernelIoControl(plat::IOCTL_HAL_REBOOT, nullptr, 0, nullptr, 0, nullptr);
}

void ToggleAutostart() {
  const char16_t* link = AppState.AutostartLinkPath;
  if (link[0] == 0) return;  // no Startup folder was found: there is nothing to toggle
  if (AppState.Capabilities.AutostartEnabled != 0) {
    plat::DeleteFileW(link);
  } else {
    plat::SHCreateShortcut(link, InstalledImagePath);
  }
  // The menu must show what is true: a shortcut that could not be made or removed keeps the
  // mark it had.
  AppState.Capabilities.AutostartEnabled = ShortcutExists(link) ? 1 : 0;
}

void OpenHelp() {
  if (!plat::CreateProcessW(HelpViewerName, HelpCommandLine)) plat::MessageBeep(plat::MB_ICONHAND);
}

void ExitProgram(plat::Window mainWindow) { plat::PostMessageW(mainWindow, plat::WM_CLOSE, 0, 0); }
