// The entry procedure: decides between handing the request to a resident copy and becoming the
// resident copy, then sets everything up in a fixed order and runs the message loop.
#include "app/startup.h"

#include "app/main_window.h"
#include "app/notice.h"
#include "app/service.h"
#include "app/settings.h"
#include "app/wakeup.h"
#include "base/ids.h"
#include "base/messages.h"
#include "base/state.h"
#include "base/text.h"
#include "clock/apply.h"
#include "clock/registers.h"
#include "icon/refresh.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/windowing.h"

namespace {

constexpr char16_t InstanceMutexName[] = u"Zorvik";
constexpr char16_t AutostartLinkName[] = u"\\Zorvik.lnk";
constexpr char16_t RealVgaLibraryPath[] = u"\\Windows\\shellres.96.dll";
constexpr char16_t WakeupWord[] = u"AppRunAfterWakeup";

constexpr std::uint32_t ClassStyle = 3;  // CS_HREDRAW | CS_VREDRAW
constexpr std::uintptr_t SystemColorBrush = 0x40000011;
constexpr int DisplaySettingsSize = 192;  // the handheld's DEVMODE

bool FileExists(const char16_t* path) {
  plat::FindData found;
  plat::Handle search = plat::FindFirstFileW(path, &found);
  if (search == plat::InvalidHandle) return false;
  plat::FindClose(search);
  return true;
}

// A second launch passes its request to the resident copy and ends; the request is lost when
// the resident copy has no window (still starting or already closing).
int HandOffToResidentCopy(int request) {
  plat::Window resident = plat::FindWindowW(MainWindowClassName, MainWindowTitle);
  if (resident == plat::Window{}) return 0;
  if (request < 0) {
    plat::PostMessageW(resident, UM_SHOWMENU, 0, 0);
  } else {
    plat::PostMessageW(resident, UM_APPLYPRESET, 0, request);
  }
  return 0;
}

void DetectAutostart() {
  char16_t* path = AppState.AutostartLinkPath;
  if (!plat::SHGetSpecialFolderPath(plat::Window{}, path, plat::CSIDL_STARTUP, true)) {
    path[0] = 0;  // no Startup folder: no shortcut to find or make
    return;
  }
  TextAppend(path, AutostartLinkPathChars, AutostartLinkName);
  AppState.Capabilities.AutostartEnabled = FileExists(path) ? 1 : 0;
}

void DetectRotation() {
  AppState.DisplaySettings.Size = DisplaySettingsSize;
  AppState.DisplaySettings.Fields = plat::DM_DISPLAYQUERYORIENTATION;
  plat::ChangeDisplaySettingsEx(nullptr, &AppState.DisplaySettings, plat::Window{}, plat::CDS_TEST,
                                nullptr);
  AppState.Capabilities.RotationSupported = AppState.DisplaySettings.DisplayOrientation != 0;
}

void DetectDisplay() {
  if (plat::GetSystemMetrics(plat::SM_CXSMICON) == 32) AppState.IconScale = 2;
  AppState.DisplayMode = 0;
  if (plat::GetSystemMetrics(plat::SM_CXSCREEN) <= 320) return;
  std::uint32_t density = ReadLogicalPixelsX();
  if (density == 0 || density == 192) AppState.DisplayMode = 1;
  if (density == 96) AppState.DisplayMode = 2;
  AppState.Capabilities.RealVgaAvailable = FileExists(RealVgaLibraryPath) ? 1 : 0;
}

void DetectSystemQueries() {
  AppState.Capabilities.IdleTimeAvailable =
      plat::GetIdleTime() != 0 && plat::GetIdleTime() != 0xFFFFFFFFu;
  AppState.Capabilities.PowerStatusAvailable =
      plat::GetSystemPowerStatusEx2(&AppState.PowerStatus, sizeof AppState.PowerStatus, true) != 0;
}

void CreateMainWindow() {
  plat::WindowClass windowClass{};
  windowClass.Style = ClassStyle;
  windowClass.Procedure = MainWindowProc;
  windowClass.Module = AppState.Instance;
  windowClass.Background = SystemColorBrush;
  windowClass.ClassName = MainWindowClassName;
  plat::RegisterClassW(windowClass);

  if (AppState.CpuFamily == CpuUnknown && AppState.IconView == ViewFrequency) {
    AppState.IconView = ViewPlain;  // nothing to show; the registry keeps Frequency
  }
  // The create handling stores the handle in AppState.MainWindow.
  plat::CreateWindowExW(0, MainWindowClassName, MainWindowTitle, 0, 0, 0, 0, 0, plat::Window{},
                        plat::Menu{}, AppState.Instance, nullptr);
}

// The launch word of preset slot 1..PresetSlots: "#1", "#2", ...
struct LaunchWord {
  char16_t Text[8];
};
LaunchWord PresetWord(int slotNumber) {
  LaunchWord word{};
  FormatText(word.Text, sizeof word.Text / sizeof word.Text[0], u"#%d", slotNumber);
  return word;
}

int RunMessageLoop() {
  plat::Message message{};
  while (plat::GetMessageW(&message, plat::Window{}, 0, 0) != 0) {
    // Posted, a message of a pointer-carrying kind came from another process: any window of the
    // program would follow its pointer, so none is given it.
    if (plat::UnsafeFromOutside(message.Id, plat::Delivery::Posted)) continue;
    plat::TranslateMessage(&message);
    plat::DispatchMessageW(&message);
  }
  // A quit message ends the program whatever posted it; the close handling runs if it has not.
  if (message.Id == plat::WM_QUIT) EndMainWindow();
  return 0;
}

}  // namespace

int ParseLaunchRequest(const char16_t* commandLine) {
  int request = -1;
  if (commandLine == nullptr) return request;
  if (TextContains(commandLine, WakeupWord)) request = 0;
  for (int slot = 1; slot <= PresetSlots; ++slot) {
    if (TextContains(commandLine, PresetWord(slot).Text)) request = slot;
  }
  return request;
}

int ZorvikMain(plat::Instance instance, const char16_t* commandLine) {
  AppState.Instance = instance;
  int request = ParseLaunchRequest(commandLine);

  // Held until the process ends; the platform releases it with the process.
  plat::CreateMutexW(nullptr, false, InstanceMutexName);
  if (plat::GetLastError() == plat::ERROR_ALREADY_EXISTS) return HandOffToResidentCopy(request);

  if (!FileExists(InstalledImagePath)) {
    ShowNotice(IDS_NOT_INSTALLED);
    return 1;
  }

  ProcessorReading processor = IdentifyProcessor();
  if (!processor.IdRegistersRead) ShowNotice(IDS_LIMITED_MODE);
  if (!LoadSettings()) SeedDefaultPresets(AppState.CpuFamily);
  RemoveStaleWakeups();
  DetectAutostart();
  DetectRotation();
  DetectDisplay();
  DetectSystemQueries();
  CreateMainWindow();

  if (AppState.CpuFamily != CpuUnknown) {
    if (!LoadClockState(processor.Clkcfg)) ShowNotice(IDS_LIMITED_MODE);
    if (AppState.CurrentClockWord != 0) {
      ApplyPreset(request);  // nothing without a slot: no request (-1) or a wake-up (0)
      RegisterWakeupRelaunch();
    }
  }

  ResetLoadHistory();
  // The first number is drawn whatever it is: LastDrawnValue's initial -1 is also a reading.
  AppState.ForceIconRedraw = 1;
  if (AppState.IconView != ViewPlain) RefreshTrayIcon();
  return RunMessageLoop();
}
