// The simulated handheld's system information queries: processor record, object store, version,
// time zone, code pages and language. Storage cards are searches, in system.cpp.
#include "platform/sysinfo.h"

#include "platform/sim/device.h"
#include "platform/sim/internal.h"

namespace {

using sim::internal::PlatformCall;

sim::SystemInfo DefaultInfo() {
  return {true, u"Intel", u"PXA270", 32u << 20, 12u << 20, 0, 4, 21, 1088, 866, 1251, 1049};
}

sim::SystemInfo& I() {
  static sim::SystemInfo info = DefaultInfo();
  return info;
}

}  // namespace

namespace sim {
namespace internal {
void ResetSysinfo() { I() = DefaultInfo(); }
}  // namespace internal
SystemInfo& Info() { return I(); }
}  // namespace sim

namespace sim::internal {

bool AnswerProcessorQuery(void* output, std::uint32_t outputSize, std::uint32_t* returned) {
  using plat::ProcessorInfo;
  if (!I().ProcessorQueryWorks || output == nullptr || outputSize < sizeof(ProcessorInfo)) {
    return false;
  }
  auto* info = static_cast<ProcessorInfo*>(output);
  sim::internal::CopyBounded(I().Vendor, info->Vendor, 100);
  sim::internal::CopyBounded(I().ProcessorName, info->ProcessorName, 40);
  if (returned) *returned = sizeof(ProcessorInfo);
  return true;
}

}  // namespace sim::internal

namespace plat {

bool GetStoreInformation(StoreInformation* information) {
  PlatformCall call("GetStoreInformation");
  if (information == nullptr) return false;
  *information = {I().StoreSize, I().StoreFree};
  return true;
}

bool GetVersionExW(VersionInfo* version) {
  PlatformCall call("GetVersionExW");
  if (version == nullptr) return false;
  *version = {I().Major, I().Minor, I().Build};
  return true;
}

std::uint32_t GetTimeZoneInformation(TimeZoneInformation* information) {
  PlatformCall call("GetTimeZoneInformation");
  if (information == nullptr) return 0xFFFFFFFFu;
  information->Bias = sim::internal::TimeZoneBias();
  return 1;  // standard time
}

std::uint32_t GetOEMCP() {
  PlatformCall call("GetOEMCP");
  return I().OemCodePage;
}

std::uint32_t GetACP() {
  PlatformCall call("GetACP");
  return I().AnsiCodePage;
}

std::uint16_t GetSystemDefaultLangID() {
  PlatformCall call("GetSystemDefaultLangID");
  return I().Language;
}

}  // namespace plat
