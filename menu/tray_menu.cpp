// The tray popup menu: loaded from the template at every opening, edited to reflect AppState
// and the display's orientation, tracked at the bottom-right corner of the screen above the
// task bar, and destroyed when it closes. The edits run in a fixed order; later ones rely on
// the items the earlier ones inserted or removed.
#include "menu/tray_menu.h"

#include <cstdint>

#include "base/clock_word.h"
#include "base/id_ranges.h"
#include "base/state.h"
#include "base/text.h"
#include "platform/menus.h"
#include "platform/system.h"
#include "platform/windowing.h"

namespace {

constexpr std::uint16_t DeviceModeSize = 192;   // the handheld's DEVMODE
constexpr int TaskBarHeight = 24;               // at IconScale 1
constexpr std::uint32_t Pxa27xLowestRatio = 2;  // the PXA27x items are L = 2..31

// The turbo multiplier item of N = 2..8 ("x1.0".."x4.0").
std::uint32_t TurboItem(std::uint32_t n) { return IDM_TURBO_X10 - 2 + n; }

void InsertText(plat::Menu popup, std::uint32_t anchor, std::uint32_t id, const char16_t* text) {
  plat::InsertMenuW(popup, anchor, plat::MF_BYCOMMAND | plat::MF_STRING, id, text);
}

void InsertFrequency(plat::Menu popup, std::uint32_t anchor, std::uint32_t id, int mhz) {
  FormatText(AppState.TextBuffer, TextBufferChars, u"%d МГц", mhz);
  InsertText(popup, anchor, id, AppState.TextBuffer);
}

void InsertSeparator(plat::Menu popup, std::uint32_t anchor) {
  plat::InsertMenuW(popup, anchor, plat::MF_BYCOMMAND | plat::MF_SEPARATOR, 0, nullptr);
}

void Remove(plat::Menu popup, std::uint32_t id) { plat::RemoveMenu(popup, id, plat::MF_BYCOMMAND); }

void Check(plat::Menu popup, std::uint32_t id) {
  plat::CheckMenuItem(popup, id, plat::MF_BYCOMMAND | plat::MF_CHECKED);
}

void Gray(plat::Menu popup, std::uint32_t id) {
  plat::EnableMenuItem(popup, id, plat::MF_BYCOMMAND | plat::MF_GRAYED);
}

void GrayRange(plat::Menu popup, std::uint32_t first, std::uint32_t last) {
  for (std::uint32_t id = first; id <= last; ++id) Gray(popup, id);
}

void AddProcessorItems(plat::Menu popup, std::uint32_t w) {
  if (AppState.CpuFamily == CpuPxa25x) {
    for (std::uint32_t l = 1; l <= 5; ++l) {
      InsertFrequency(popup, IDM_FREQUENCY_ANCHOR, IDM_FREQUENCY_ANCHOR + l, Pxa25xMemoryClock(l));
    }
    InsertSeparator(popup, IDM_TURBO_X10);
    Remove(popup, IDM_TURBO_X35);
    Remove(popup, IDM_TURBO_X40);
    const std::uint32_t l = RunRatio(w);
    const std::uint32_t n = Pxa25xTurboMultiplier(w);
    if (l >= 1 && l <= 5) Check(popup, IDM_FREQUENCY_ANCHOR + l);
    if (n >= 2 && n <= 6) Check(popup, TurboItem(n));
    if (RunMultiplier(w) >= 1) Check(popup, IDM_RUN_X1 - 1 + RunMultiplier(w));
  } else {
    Remove(popup, IDM_RUN_X1);
    Remove(popup, IDM_RUN_X2);
    Remove(popup, IDM_RUN_X4);
    for (std::uint32_t l = Pxa27xLowestRatio; l <= RunRatioBits; ++l) {
      InsertFrequency(popup, IDM_FREQUENCY_ANCHOR, IDM_FREQUENCY_ANCHOR + l, Pxa27xRunClock(l));
    }
  }

  if (AppState.CpuFamily == CpuPxa27x) {
    const std::uint32_t n = Pxa27xTurboMultiplier(w);
    if (n >= 2 && n <= 8) Check(popup, TurboItem(n));
    if (RunRatio(w) >= Pxa27xLowestRatio) Check(popup, IDM_FREQUENCY_ANCHOR + RunRatio(w));
    Check(popup, AlternateMemoryClock(w) ? IDM_MEMORY_FULL : IDM_MEMORY_HALF);
    Check(popup, AppState.FastBusFlag != 0 ? IDM_BUS_FULL : IDM_BUS_HALF);
  } else {
    GrayRange(popup, IDM_MEMORY_HALF, IDM_BUS_FULL);
  }
}

// Slot n's "Добавить" and "Очистить" items: "n: (пусто)" for an empty slot, else its preset's
// frequency (never 0 on a known processor).
constexpr int EmptySlot = 0;
void InsertSlotItems(plat::Menu popup, int n, int mhz) {
  if (mhz == EmptySlot) {
    FormatText(AppState.TextBuffer, TextBufferChars, u"%d: (пусто)", n);
  } else {
    FormatText(AppState.TextBuffer, TextBufferChars, u"%d: %d МГц", n, mhz);
  }
  InsertText(popup, IDM_STORE_ANCHOR, IDM_STORE_ANCHOR + n, AppState.TextBuffer);
  InsertText(popup, IDM_CLEAR_ANCHOR, IDM_CLEAR_ANCHOR + n, AppState.TextBuffer);
}

void AddPresetItems(plat::Menu popup, std::uint32_t w) {
  if (AppState.CpuFamily == CpuUnknown) {
    Remove(popup, IDM_SERVICE_PROCESSES);
    GrayRange(popup, IDM_MODE_NORMAL, IDM_WATCH);
    Gray(popup, IDM_AUTO);
    Gray(popup, IDM_VIEW_FREQUENCY);
    GrayRange(popup, IDM_FREQUENCY_ANCHOR + Pxa27xLowestRatio, IDM_FREQUENCY_LAST);
    GrayRange(popup, IDM_TURBO_X10, IDM_TURBO_X40);
    for (int n = 1; n <= PresetSlots; ++n) {
      InsertSlotItems(popup, n, EmptySlot);
      Gray(popup, IDM_STORE_ANCHOR + n);
      Gray(popup, IDM_CLEAR_ANCHOR + n);
    }
    return;
  }

  for (int n = 1; n <= PresetSlots; ++n) {
    const std::uint32_t preset = AppState.PresetTable[n - 1];
    if (preset != 0) {
      const int mhz = DecodeFrequency(preset, 1);
      InsertFrequency(popup, IDM_PROCESSES, IDM_PROCESSES + n, mhz);
      if (AppState.TurboFlag != 0 && preset == w) Check(popup, IDM_PROCESSES + n);
      InsertSlotItems(popup, n, mhz);
    } else {
      InsertSlotItems(popup, n, EmptySlot);
      Gray(popup, IDM_CLEAR_ANCHOR + n);
    }
  }
  if (AppState.TurboFlag != 0) {
    Check(popup, IDM_MODE_TURBO);
  } else {
    Check(popup, IDM_MODE_NORMAL);
    GrayRange(popup, IDM_TURBO_X10, IDM_TURBO_X40);
    GrayRange(popup, IDM_STORE_FIRST, IDM_STORE_LAST);
  }
  // The top of the menu holds only the presets above the first separator.
  Remove(popup, IDM_PROCESSES);
}

// Colour index 0 is black and 9..15 the menu's other colours; 1..8 show as black.
void MarkColors(plat::Menu popup) {
  if (AppState.IconView == ViewPlain) {
    GrayRange(popup, IDM_COLOR_BLACK, IDM_BACK_WHITE);
    return;
  }
  const std::uint32_t foreground = AppState.IconColors & 0xF;
  const std::uint32_t background = (AppState.IconColors >> 16) & 0xF;
  Check(popup, foreground > 8 ? IDM_COLOR_BLACK + foreground - 8 : IDM_COLOR_BLACK);
  Check(popup, background > 8 ? IDM_BACK_BLACK + background - 8 : IDM_BACK_BLACK);
}

void MarkDisplay(plat::Menu popup) {
  if (AppState.DisplayMode == 0) {
    Remove(popup, IDM_VGA);
    Remove(popup, IDM_REALVGA);
  } else {
    InsertSeparator(popup, IDM_VGA);
    Check(popup, IDM_VGA - 1 + AppState.DisplayMode);
    if (AppState.Capabilities.RealVgaAvailable == 0) Gray(popup, IDM_REALVGA);
  }
}

void MarkOrientation(plat::Menu popup) {
  if (AppState.Capabilities.RotationSupported == 0) {
    Check(popup, IDM_ROTATE_0);
    GrayRange(popup, IDM_ROTATE_0, IDM_ROTATE_270);
    return;
  }
  AppState.DisplaySettings.Size = DeviceModeSize;
  AppState.DisplaySettings.Fields = plat::DM_DISPLAYORIENTATION;
  plat::ChangeDisplaySettingsEx(nullptr, &AppState.DisplaySettings, plat::Window{}, plat::CDS_TEST,
                                nullptr);
  // An orientation the menu does not offer marks none.
  const std::uint32_t orientation = AppState.DisplaySettings.DisplayOrientation;
  if (orientation == plat::DMDO_0) Check(popup, IDM_ROTATE_0);
  if (orientation == plat::DMDO_90) Check(popup, IDM_ROTATE_90);
  if (orientation == plat::DMDO_180) Check(popup, IDM_ROTATE_180);
  if (orientation == plat::DMDO_270) Check(popup, IDM_ROTATE_270);
}

}  // namespace

void ShowTrayMenu(plat::Window owner) {
  plat::Menu menu = plat::LoadMenuW(AppState.Instance, IDR_TRAY_MENU);
  plat::Menu popup = plat::GetSubMenu(menu, 0);
  const std::uint32_t w = AppState.CurrentClockWord;

  AddProcessorItems(popup, w);
  AddPresetItems(popup, w);
  Remove(popup, IDM_FREQUENCY_ANCHOR);
  Remove(popup, IDM_STORE_ANCHOR);
  Remove(popup, IDM_CLEAR_ANCHOR);
  MarkColors(popup);
  if (AppState.IconView <= ViewFrequency) GrayRange(popup, IDM_TEMPO_QUARTER, IDM_TEMPO_4S);
  MarkDisplay(popup);

  const CapabilityFlags& can = AppState.Capabilities;
  if (can.AutostartEnabled != 0) Check(popup, IDM_AUTOSTART);
  if (AppState.WatchMode != 0) Check(popup, IDM_WATCH);
  if (AppState.AutoMode != 0) Check(popup, IDM_AUTO);
  if (can.IdleTimeAvailable == 0) {  // no load to show or to switch by
    Gray(popup, IDM_VIEW_LOAD);
    Gray(popup, IDM_AUTO);
  }
  if (can.PowerStatusAvailable == 0) GrayRange(popup, IDM_VIEW_BATTERY, IDM_VIEW_CURRENT);
  MarkOrientation(popup);
  // Stored values are checked when loaded; the bounds keep a stray one from marking another item.
  if (AppState.IconView < IconViewCount) Check(popup, IDM_VIEW_PLAIN + AppState.IconView);
  if (AppState.UpdateTempo < UpdateTempoCount)
    Check(popup, IDM_TEMPO_QUARTER + AppState.UpdateTempo);

  const int x = plat::GetSystemMetrics(plat::SM_CXSCREEN);
  const int y = plat::GetSystemMetrics(plat::SM_CYSCREEN) - TaskBarHeight * AppState.IconScale;
  plat::TrackPopupMenuEx(popup, plat::TPM_RIGHTALIGN | plat::TPM_BOTTOMALIGN, x, y, owner);
  plat::DestroyMenu(menu);
}
