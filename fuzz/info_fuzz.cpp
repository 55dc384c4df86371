// The information tree with any processor identification, cache type, clock word, memory and
// storage, system versions, power status and time-zone bias.
#include "base/ids.h"
#include "fuzz_common.h"
#include "info/info_dialog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Bytes in(data, size);
  fuzz::FreshDevice();
  AppState.ProcessorId = in.U32();
  AppState.CacheType = in.U32();
  AppState.CpuFamily = static_cast<std::int32_t>(in.U8() % 4);
  AppState.CurrentClockWord = in.U32();
  AppState.FastBusFlag = in.U8() & 1;
  sim::Device().System.TimeZoneBias = static_cast<std::int32_t>(in.U32());

  plat::PowerStatusEx2 power{};
  std::uint8_t raw[sizeof power];
  for (std::uint8_t& byte : raw) byte = in.U8();
  std::memcpy(&power, raw, sizeof power);
  sim::Device().System.Power = power;
  sim::Device().System.PowerAvailable = in.Bit();
  sim::Device().System.Memory = {32,       in.U32(), in.U32(), in.U32(),
                                 in.U32(), in.U32(), in.U32(), in.U32()};

  sim::SystemValues& info = sim::Device().System;
  info.ProcessorQueryWorks = in.Bit();
  info.Vendor = in.Text(300);
  info.ProcessorName = in.Text(300);
  info.StoreSize = in.U32();
  info.StoreFree = in.U32();
  info.StorageCards = in.U8() % 4;
  info.Major = in.U32();
  info.Minor = in.U32();
  info.Build = in.U32();
  info.OemCodePage = in.U32();
  info.AnsiCodePage = in.U32();
  info.Language = in.U16();

  fuzz::RunDialog(IDD_INFO, InfoDialogProc, [](plat::Window) {});
  fuzz::CheckState({});
  fuzz::CheckNothingOpen();
  return 0;
}
