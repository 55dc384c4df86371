// The icon with any value, colours, scale and load history: the drawing alone, then refreshes
// of every view with any readings of the clock, idle time, memory and power.
#include "fuzz_common.h"
#include "icon/picture.h"
#include "icon/refresh.h"
#include "platform/graphics.h"
#include "platform/shell.h"

namespace {

// The picture holds its own rules: a transparent pixel has colour 0; nothing beyond the side.
void CheckPicture(const IconPicture& picture) {
  fuzz::Check(picture.Side == 16 || picture.Side == 32, "picture side");
  for (int y = 0; y < picture.Side; ++y) {
    for (int x = 0; x < picture.Side; ++x) {
      if (PictureTransparentAt(picture, x, y)) {
        fuzz::Check(PictureColorAt(picture, x, y) == 0, "transparent pixel with a colour");
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Bytes in(data, size);
  fuzz::FreshDevice();
  AppState.IconScale = static_cast<std::int32_t>(in.U32());
  AppState.IconColors = in.U32();
  for (std::uint8_t& sample : AppState.SampleHistory) sample = in.U8();

  IconPicture picture;
  DrawNumberIcon(static_cast<int>(in.U32()), &picture);
  CheckPicture(picture);
  DrawGraphIcon(&picture);
  CheckPicture(picture);

  // Refreshes as the running program makes them: scale and colours within what it stores.
  AppState.IconScale = (AppState.IconScale & 1) != 0 ? 2 : 1;
  AppState.IconColors &= 0x000F000F;
  AppState.UpdateTempo = in.U8() % 5;
  AppState.TrayIconData.Owner = plat::Window(1);
  AppState.TrayIconData.Id = 1;
  while (!in.Empty()) {
    AppState.IconView = in.U8() % 6;
    AppState.ForceIconRedraw = in.U8() & 1;
    AppState.CurrentClockWord = in.U32();
    sim::Device().System.IdleReadings = {in.U32()};
    plat::MemoryStatus memory{32, 0, in.U32(), in.U32(), 0, 0, 0, 0};
    sim::Device().System.Memory = memory;
    plat::PowerStatusEx2 power{};
    power.BatteryLifePercent = in.U8();
    power.BatteryCurrent = static_cast<std::int32_t>(in.U32());
    sim::Device().System.Power = power;
    sim::Device().System.PowerAvailable = in.Bit();
    RefreshTrayIcon();
    // The record holds the one icon of ours; every bitmap was given back.
    sim::LiveCounts live = sim::Live();
    fuzz::Check(live.Bitmaps == 0 && live.Icons <= 1, "refresh left a bitmap or icon");
  }
  if (AppState.TrayIconData.IconHandle != plat::Icon{}) {
    plat::DestroyIcon(AppState.TrayIconData.IconHandle);
  }
  fuzz::CheckState({});
  fuzz::CheckNothingOpen();
  return 0;
}
