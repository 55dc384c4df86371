// The tray icon refresh: measure the quantity the current view shows, decide, draw.
// The picture lives on the stack: no heap, no static buffers.
#include "icon/refresh.h"

#include <cmath>
#include <cstdint>

#include "base/clock_word.h"
#include "base/state.h"
#include "icon/picture.h"
#include "icon/tray_picture.h"
#include "platform/system.h"

namespace {

static_assert(sizeof(plat::MemoryStatus) == 32, "the handheld's memory status record");
static_assert(sizeof(plat::PowerStatusEx2) == 56, "the handheld's extended power status");

constexpr int HighestTempo = 31;  // keeps the period computation finite for a damaged tempo

// The idle share of one timer period, in percent: idle ms over (period ms / 100), truncated.
int TakeLoadSample() {
  const std::uint32_t now = plat::GetIdleTime();
  int sample = 100;
  if (AppState.LastIdleTime != 0) {
    const std::uint32_t idle = now - AppState.LastIdleTime;  // wraps with the counter
    const int tempo =
        AppState.UpdateTempo > HighestTempo ? HighestTempo : static_cast<int>(AppState.UpdateTempo);
    sample = static_cast<int>(static_cast<std::int64_t>(idle / std::ldexp(2.5, tempo)));
  }
  AppState.LastIdleTime = now;
  return sample;
}

int MeasureFreeMegabytes() {
  plat::MemoryStatus status{};
  status.Length = sizeof(plat::MemoryStatus);
  plat::GlobalMemoryStatus(&status);
  return static_cast<int>(status.AvailPhys >> 20);
}

int MeasureBatteryPercent() {
  plat::GetSystemPowerStatusEx2(&AppState.PowerStatus, sizeof(plat::PowerStatusEx2), false);
  const int percent = AppState.PowerStatus.BatteryLifePercent;
  return percent > 100 ? 0 : percent;  // 255: unknown
}

int MeasureBatteryCurrent() {
  plat::GetSystemPowerStatusEx2(&AppState.PowerStatus, sizeof(plat::PowerStatusEx2), true);
  return AppState.PowerStatus.BatteryCurrent;
}

int MeasureValue() {
  switch (AppState.IconView) {
    case ViewFrequency:
      return DecodeFrequency(AppState.CurrentClockWord, 0);
    case ViewLoad:
      return TakeLoadSample();
    case ViewMemory:
      return MeasureFreeMegabytes();
    case ViewBattery:
      return MeasureBatteryPercent();
    case ViewCurrent:
      return MeasureBatteryCurrent();
    default:
      return 0;
  }
}

// Newest first: at scale 1 only the 16 entries the graph shows move.
void PushSample(int sample) {
  const int shown = AppState.IconScale == 2 ? SampleHistoryLength : SampleHistoryLength / 2;
  for (int entry = shown - 1; entry > 0; --entry) {
    AppState.SampleHistory[entry] = AppState.SampleHistory[entry - 1];
  }
  AppState.SampleHistory[0] = static_cast<std::uint8_t>(sample & 0xFF);
}

}  // namespace

void ResetLoadHistory() {
  for (std::uint8_t& sample : AppState.SampleHistory) sample = 100;
}

void RefreshTrayIcon() {
  if (AppState.IconView == ViewPlain) {
    SetPlainTrayIcon();
    return;
  }
  const int value = MeasureValue();
  IconPicture picture;
  if (AppState.IconView == ViewLoad) {
    PushSample(value);
    DrawGraphIcon(&picture);
    SetTrayIconPicture(picture);
    return;
  }
  if (AppState.ForceIconRedraw != 0) {
    AppState.ForceIconRedraw = 0;
  } else if (value == AppState.LastDrawnValue) {
    return;  // the tray icon already shows this value
  }
  AppState.LastDrawnValue = value;
  DrawNumberIcon(value, &picture);
  SetTrayIconPicture(picture);
}
