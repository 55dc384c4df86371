// The automatic mode's decision at each tick: the load of the last period, the band it falls in,
// and the turbo switch that band asks for.
#include "clock/auto_turbo.h"

#include "base/messages.h"
#include "base/state.h"
#include "clock/apply.h"
#include "platform/system.h"

namespace {

// BandBetween first: AppState starts at 0, no band refused.
enum LoadBand : std::uint8_t { BandBetween, BandBusy, BandQuiet };

// The load of one period in percent: 100 less the idle share, truncated as the icon's samples
// are. A late tick's idle share above 100 gives a load below 0, which is as quiet as 0.
int LoadPercent(std::uint32_t idleMs) {
  return 100 - static_cast<int>(std::uint64_t{idleMs} * 100 / AutoPeriodMs);
}

// A switch that fails leaves the clock as it was, so TurboFlag goes back to match it, and the
// band that asked waits until the load has left it.
void SwitchTurbo(bool on, LoadBand band) {
  const std::uint8_t before = AppState.TurboFlag;
  if (SetTurboMode(on)) return;
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
  if (band != AppState.AutoRefusedBand) {
    AppState.AutoRefusedBand = BandBetween;  // the load has left the band that was refused
  } else if (band != BandBetween) {
    return;  // still in the band whose switch failed: no second try, no second beep
  }

  if (AppState.TurboFlag == 0) {
    if (band == BandBusy) SwitchTurbo(true, band);
    return;
  }
  if (band != BandQuiet) {
    AppState.AutoQuietTicks = 0;
    return;
  }
  if (++AppState.AutoQuietTicks < TurboOffTicks) return;
  AppState.AutoQuietTicks = 0;  // turbo again later (a preset) counts afresh
  SwitchTurbo(false, band);
}
