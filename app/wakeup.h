// The relaunch after the device wakes up: registration, cancellation and start-up clean-up.
#pragma once

inline constexpr char16_t AppName[] = u"Zorvik.exe";

void RegisterWakeupRelaunch();
void CancelWakeupRelaunch();
void RemoveStaleWakeups();
