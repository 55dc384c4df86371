// Start-up with any launch words and any processor: register values, faults and a refused
// mapping, a resident copy or not, a small or large icon size, and what else the handheld may
// refuse at start-up (the notification database, address space, the icon, the window).
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Bytes in(data, size);
  fuzz::FreshDevice();
  sim::Processor& cpu = sim::Device().Cpu;
  cpu.MainId = in.U32();
  cpu.CacheType = in.U32();
  cpu.Cccr = in.U32();
  cpu.Clkcfg = in.U32();
  const std::uint8_t faults = in.U8();
  cpu.MapFails = (faults & 1) != 0;
  cpu.MainIdFaults = (faults & 2) != 0;
  cpu.CacheTypeFaults = (faults & 4) != 0;
  cpu.ClkcfgReadFaults = (faults & 8) != 0;
  cpu.ClkcfgWriteFaults = (faults & 16) != 0;
  cpu.CccrStoreFaults = (faults & 32) != 0;
  if ((faults & 64) != 0)
    sim::Device().System.Metrics[plat::SM_CXSMICON] =
        sim::Device().System.Metrics[plat::SM_CYSMICON] = 32;
  if ((faults & 128) != 0) {  // a resident copy takes the request
    sim::Device().System.MutexesElsewhere.push_back(u"Zorvik");
    harness::AddWindow({.ClassName = u"Zorvik", .Title = u"Zorvik"});
  }
  const std::u16string commandLine = in.Text(400);
  const std::uint8_t refusals = in.U8();  // after the words, so older inputs keep their meaning
  sim::Faults& refused = sim::Device().Faults;
  refused.NotificationDatabaseFails = (refusals & 1) != 0;
  refused.ObjectInfoFails = (refusals & 2) != 0;
  refused.ReservationFails = (refusals & 4) != 0;
  refused.IconLoadFails = (refusals & 8) != 0;
  refused.WindowCreationFails = (refusals & 16) != 0;
  // Let the program run a while (timers, the watch), then the user closes it.
  sim::After(3000, [] {});
  fuzz::RunProgram(commandLine);
  return 0;
}
