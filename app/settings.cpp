// The settings store. AppState is the master copy; each setter writes its one value at once,
// opening and closing the key around that single write.
#include "app/settings.h"

#include "base/messages.h"
#include "base/state.h"
#include "base/text.h"
#include "clock/auto_turbo.h"
#include "icon/refresh.h"
#include "platform/registry.h"
#include "platform/windowing.h"

namespace {

constexpr std::uint32_t ColorFieldsMask = 0x000F000F;
constexpr std::uint32_t DefaultTempo = 2;

constexpr std::uint32_t Pxa25xPresets[] = {0x121, 0x141, 0x1C1, 0x241, 0x242, 0x2C1, 0x243, 0x341};
constexpr std::uint32_t Pxa27xPresets[] = {0x2000104, 0x2000108, 0x2000110, 0x2000190,
                                           0x2000210, 0x2000290, 0x2000310, 0x2000390};
static_assert(sizeof Pxa25xPresets == PresetSlots * sizeof(std::uint32_t) &&
                  sizeof Pxa27xPresets == PresetSlots * sizeof(std::uint32_t),
              "Pxa25xPresets and Pxa27xPresets hold a default word for every preset slot");

// The registry value name of preset slot 1..PresetSlots: "Freq1", "Freq2", ...
struct PresetName {
  char16_t Text[8];
};
PresetName PresetValueName(int slotNumber) {
  PresetName name{};
  FormatText(name.Text, sizeof name.Text / sizeof name.Text[0], u"Freq%d", slotNumber);
  return name;
}

// Reads a value into `field` only when it is a 4-byte REG_DWORD; anything else leaves the
// field at the value it had.
void QueryDword(plat::RegKey key, const char16_t* name, std::uint32_t* field) {
  std::uint32_t value;  // read only when the query filled it
  std::uint32_t type = plat::REG_NONE;
  std::uint32_t size = sizeof value;
  long result = plat::RegQueryValueExW(key, name, nullptr, &type, &value, &size);
  if (result == plat::ERROR_SUCCESS && type == plat::REG_DWORD && size == sizeof value) {
    *field = value;
  }
}

void WriteDword(const char16_t* name, std::uint32_t value) {
  plat::RegKey key{};
  if (plat::RegCreateKeyExW(plat::HKEY_LOCAL_MACHINE, SettingsKeyPath, 0, nullptr, 0,
                            plat::KEY_WRITE, nullptr, &key, nullptr) != plat::ERROR_SUCCESS) {
    return;  // the registry stays behind AppState, without notice
  }
  plat::RegSetValueExW(key, name, 0, plat::REG_DWORD, &value, sizeof value);
  plat::RegCloseKey(key);
}

}  // namespace

bool LoadSettings() {
  plat::RegKey key{};
  if (plat::RegOpenKeyExW(plat::HKEY_LOCAL_MACHINE, SettingsKeyPath, 0, plat::KEY_READ, &key) !=
      plat::ERROR_SUCCESS) {
    return false;
  }
  for (int slot = 1; slot <= PresetSlots; ++slot) {
    QueryDword(key, PresetValueName(slot).Text, &AppState.PresetTable[slot - 1]);
  }
  QueryDword(key, u"View", &AppState.IconView);
  if (AppState.IconView >= IconViewCount) AppState.IconView = ViewPlain;
  QueryDword(key, u"Color", &AppState.IconColors);
  AppState.IconColors &= ColorFieldsMask;
  QueryDword(key, u"Speed", &AppState.UpdateTempo);
  if (AppState.UpdateTempo >= UpdateTempoCount) AppState.UpdateTempo = DefaultTempo;
  QueryDword(key, u"Spy", &AppState.WatchMode);
  QueryDword(key, u"Auto", &AppState.AutoMode);
  plat::RegCloseKey(key);
  return true;
}

void SeedDefaultPresets(std::int32_t cpuFamily) {
  const std::uint32_t(*words)[PresetSlots] = nullptr;
  if (cpuFamily == CpuPxa25x) words = &Pxa25xPresets;
  if (cpuFamily == CpuPxa27x) words = &Pxa27xPresets;
  if (words == nullptr) return;
  int slot = 0;
  for (std::uint32_t word : *words) StorePreset(slot++, word);
}

void StorePreset(int slot, std::uint32_t word) {
  if (slot < 0 || slot >= PresetSlots) return;
  AppState.PresetTable[slot] = word;
  WriteDword(PresetValueName(slot + 1).Text, word);
}

void ToggleWatchMode() {
  if (AppState.WatchMode != 0) {
    plat::KillTimer(AppState.MainWindow, AppState.WatchTimerId);
    AppState.WatchTimerId = 0;
    AppState.WatchMode = 0;
  } else {
    AppState.WatchTimerId = plat::SetTimer(AppState.MainWindow, ID_TIMER_WATCH, WatchPeriodMs);
    AppState.WatchMode = 1;
  }
  WriteDword(u"Spy", AppState.WatchMode);
}

void ToggleAutoMode() {
  if (AppState.AutoMode != 0) {
    plat::KillTimer(AppState.MainWindow, AppState.AutoTimerId);
    AppState.AutoTimerId = 0;
    AppState.AutoMode = 0;
  } else {
    ResetAutoTurbo();
    AppState.AutoTimerId = plat::SetTimer(AppState.MainWindow, ID_TIMER_AUTO, AutoPeriodMs);
    AppState.AutoMode = 1;
  }
  WriteDword(u"Auto", AppState.AutoMode);
}

void SetUpdateTempo(std::uint32_t tempo) {
  if (tempo >= UpdateTempoCount) return;
  AppState.UpdateTempo = tempo;
  // Setting the timer again restarts the running one with the new period.
  AppState.IconTimerId =
      plat::SetTimer(AppState.MainWindow, ID_TIMER_ICON, IconTimerPeriodMs(tempo));
  WriteDword(u"Speed", AppState.UpdateTempo);
}

void SetIconColor(int choice) {
  if (choice < 0 || choice >= 2 * IconColorCount) return;
  std::uint32_t colors = AppState.IconColors;
  if (choice < IconColorCount) {
    std::uint32_t index = choice == 0 ? 0 : static_cast<std::uint32_t>(choice) + 8;
    colors = (colors & ~0xFu) | index;
  } else {
    std::uint32_t index = choice == IconColorCount ? 0 : static_cast<std::uint32_t>(choice);
    colors = (colors & ~0xF0000u) | (index << 16);
  }
  AppState.IconColors = colors;
  AppState.ForceIconRedraw = 1;
  RefreshTrayIcon();
  WriteDword(u"Color", AppState.IconColors);
}

void SetIconView(std::uint32_t view) {
  if (view == AppState.IconView || view >= IconViewCount) return;
  AppState.LastIdleTime = 0;
  AppState.ForceIconRedraw = 1;
  AppState.IconView = view;
  ResetLoadHistory();
  RefreshTrayIcon();
  WriteDword(u"View", AppState.IconView);

  if (view >= ViewLoad) {
    if (AppState.IconTimerId == 0) {
      AppState.IconTimerId = plat::SetTimer(AppState.MainWindow, ID_TIMER_ICON,
                                            IconTimerPeriodMs(AppState.UpdateTempo));
    }
  } else if (AppState.IconTimerId != 0) {
    plat::KillTimer(AppState.MainWindow, AppState.IconTimerId);
    AppState.IconTimerId = 0;
  }
}
