// The desktop stand-in's simulated handheld: its state lives in HKLM\Hardware\SimulatedPXA.
// Every access reads or writes the key afresh, so another process (a test, `wine reg`) may
// change the device between two calls; a missing or mistyped value reads as its default.
// HKLM\Hardware is volatile: the key is created volatile by the first access and lasts until
// the registry server stops (on Wine: `wineserver -k`). Since no volatile key can be made from
// outside before that, a new device key takes its first values from the persistent seed key
// HKLM\SOFTWARE\SimulatedPXA, where a test may put them before the program first starts.
// Included by the stand_in* files only (tools/check_layout.sh checks it): a port to the handheld
// replaces them, and no other file knows what they simulate.
#pragma once

#include <cstdint>

namespace standin {

inline constexpr wchar_t DeviceKeyPath[] = L"Hardware\\SimulatedPXA";
inline constexpr wchar_t SeedKeyPath[] = L"SOFTWARE\\SimulatedPXA";

struct DwordValue {
  const wchar_t* Name;
  std::uint32_t Default;
};

inline constexpr DwordValue MainId{L"MainId", 0x69054117};  // CP15 main ID (PXA27x)
inline constexpr DwordValue CacheType{L"CacheType", 0x0B1AA1AA};
inline constexpr DwordValue Cccr{L"CCCR", 0x02000290};         // the clock register
inline constexpr DwordValue Clkcfg{L"CLKCFG", 3};              // CP14 register 6
inline constexpr DwordValue MapFails{L"MapFails", 0};          // non-zero: mapping CCCR is refused
inline constexpr DwordValue AccessFaults{L"AccessFaults", 0};  // non-zero: coprocessor faults
inline constexpr DwordValue Reboots{L"Reboots", 0};
inline constexpr DwordValue CleanReboots{L"CleanReboots", 0};

inline constexpr wchar_t WakeupValueName[] = L"Wakeup";  // REG_MULTI_SZ, one entry per request

// The value's current setting, or its default when the key or the value is missing, or the
// value is not a 4-byte REG_DWORD.
std::uint32_t Read(const DwordValue& value);
// Stores the value, creating the key when missing; false when the registry refused.
bool Write(const DwordValue& value, std::uint32_t setting);
// Adds one to a counter (Reboots, CleanReboots).
bool Increment(const DwordValue& value);

// The wake-up registrations: Append adds one entry; RemoveAll drops every entry equal to
// `application` (compared without regard to case, as file names are). A stored value of the
// wrong type or shape is read as its well-formed entries (a REG_SZ as one entry). A list too
// long to read whole (over 16,000 characters) is never changed: both then fail.
bool AppendWakeup(const wchar_t* application);
bool RemoveAllWakeups(const wchar_t* application);
// The entries as they are now: how many, and entry `index` (nullptr when there is none), which
// stays valid until the next call of any of these wake-up procedures.
std::uint32_t WakeupCount();
const wchar_t* WakeupEntry(std::uint32_t index);

// ---- Kernel mode, access faults and the processor query ----

// The simulated kernel mode of the calling thread: SwapKernelMode sets it and returns the
// previous mode. The coprocessor registers fault outside kernel mode, as on the handheld.
bool SwapKernelMode(bool kernel);
bool InKernelMode();

// An access fault: abandons the innermost guarded body (RunGuarded); returns only outside one.
void AccessFault();

// The processor information record, filled from the simulated main ID register.
bool AnswerProcessorQuery(void* output, std::uint32_t outputSize, std::uint32_t* returned);

}  // namespace standin
