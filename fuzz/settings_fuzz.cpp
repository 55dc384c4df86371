// Start-up over any stored settings: every value of the settings key with any type, size and
// number, the key present or not, reads and writes that fail.
#include "fuzz_common.h"

namespace {

const char16_t* const ValueNames[] = {u"Freq1", u"Freq2", u"Freq3", u"Freq4", u"Freq5", u"Freq6",
                                      u"Freq7", u"Freq8", u"View",  u"Color", u"Speed", u"Spy",
                                      u"Auto",  u"FREQ1", u"view",  u"Other"};
constexpr std::uint32_t Types[] = {plat::REG_DWORD, 0, 1, 2, 3, 7, 11, 0xFFFFFFFF};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Bytes in(data, size);
  fuzz::FreshDevice();
  const std::uint8_t flags = in.U8();
  if ((flags & 1) != 0) sim::Device().Registry.Keys.try_emplace(fuzz::SettingsKey);
  if ((flags & 2) != 0) sim::Device().Faults.Registry.push_back({"query"});
  if ((flags & 4) != 0) sim::Device().Faults.Registry.push_back({"set"});
  if ((flags & 8) != 0) sim::Device().Faults.Registry.push_back({"create"});
  if ((flags & 16) != 0) sim::Device().Cpu.MainId = 0x69052100;  // a PXA25x
  while (!in.Empty()) {
    const std::uint8_t pick = in.U8();
    const char16_t* name = ValueNames[pick % std::size(ValueNames)];
    if ((pick & 0x80) != 0) {  // the common case: a DWORD of any number
      sim::Device().Registry.Keys[fuzz::SettingsKey][name] = sim::DwordValue(in.U32());
    } else {
      const std::uint32_t type = Types[in.U8() % std::size(Types)];
      sim::Device().Registry.Keys[fuzz::SettingsKey][name] = {type, in.Blob(16)};
    }
  }
  sim::After(1000, [] {});
  fuzz::RunProgram(u"");
  return 0;
}
