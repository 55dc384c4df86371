// The automatic mode's decision at each tick: the load of the last period, the band it falls in,
// and the turbo switch that band asks for.
#include "clock/auto_turbo.h"

#include "base/messages.h"
#include "base/state.h"
#include "clock/apply.h"
#include "platform/system.h"

namespace {

enum LoadBand : std::uint8_t { BandBetween = 0, BandBusy, BandQuiet };

// The busy share of one period in whole percent; an idle time beyond the period (a late tick)
// is no load at all.
int LoadPercent(std::uint32_t idleMs) {
  const std::uint32_t busyMs = idleMs < AutoPeriodMs ? AutoPeriodMs - idleMs : 0;
  return static_cast<int>(busyMs * 100 / AutoPeriodMs);
}

// A switch that fails leaves the clock as it was, so TurboFlag goes back to match it, and the
// band that asked waits until the load has left it.
void SwitchTurbo(int turbo, LoadBand band) {
  const std::uint8_t before = AppState.TurboFlag;
  if (SetTurboMode(turbo)) return;
  AppState.TurboFlag = before;
  AppState.AutoRefusedBand = band;
}

}  // namespace

void ResetAutoTurbo() {
  AppState.AutoIdleBaseline = 0;
  AppState.AutoQuietTicks = 0;
  AppState.AutoRefusedBand = BandBetween;
}

void CheckAutoTurbo() {
  if (AppState.CpuFamily == CpuUnknown || AppState.Capabilities.IdleTimeAvailable == 0) return;
  const std::uint32_t now = plat::GetIdleTime();
  const std::uint32_t previous = AppState.AutoIdleBaseline;
  AppState.AutoIdleBaseline = now;
  if (previous == 0) return;  // the first tick only takes the baseline

  const int load = LoadPercent(now - previous);  // wraps with the counter
  const LoadBand band = load >= TurboOnLoad   ? BandBusy
                        : load < TurboOffLoad ? BandQuiet
                                              : BandBetween;
  if (band != AppState.AutoRefusedBand) AppState.AutoRefusedBand = BandBetween;

  if (AppState.TurboFlag == 0) {
    AppState.AutoQuietTicks = 0;
    if (band == BandBusy && AppState.AutoRefusedBand != band) SwitchTurbo(1, band);
    return;
  }
  if (band != BandQuiet) {
    AppState.AutoQuietTicks = 0;
    return;
  }
  if (AppState.AutoQuietTicks < TurboOffTicks) ++AppState.AutoQuietTicks;
  if (AppState.AutoQuietTicks == TurboOffTicks && AppState.AutoRefusedBand != band) {
    AppState.AutoQuietTicks = 0;  // turbo again later (a preset) counts afresh
    SwitchTurbo(0, band);
  }
}
