// System information over the Windows API: version, time zone, code pages and language.
// Windows API only; no program logic.
#include "platform/win32/windows_api.h"

namespace plat {

bool GetVersionExW(VersionInfo* version) {
  if (version == nullptr) return false;
  OSVERSIONINFOW desktop{};
  desktop.dwOSVersionInfoSize = sizeof(desktop);
  if (!::GetVersionExW(&desktop)) return false;
  *version = {desktop.dwMajorVersion, desktop.dwMinorVersion, desktop.dwBuildNumber};
  return true;
}

std::uint32_t GetTimeZoneInformation(TimeZoneInformation* information) {
  if (information == nullptr) return TIME_ZONE_ID_INVALID;
  TIME_ZONE_INFORMATION desktop{};
  const DWORD id = ::GetTimeZoneInformation(&desktop);
  information->Bias = id == TIME_ZONE_ID_INVALID ? 0 : desktop.Bias;
  return id;
}

std::uint32_t GetOEMCP() { return ::GetOEMCP(); }
std::uint32_t GetACP() { return ::GetACP(); }
std::uint16_t GetSystemDefaultLangID() { return ::GetSystemDefaultLangID(); }

}  // namespace plat
