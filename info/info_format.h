// The facts of the information tree as numbers and names: the processor identification and cache
// fields, the time zone and the power status tables (the clock word's are in base/clock_word.h).
// Pure; no platform calls.
#pragma once

#include <cstdint>

// Implementer of a main ID register (bits 24-31); nullptr when it is none the program knows.
const char16_t* ImplementerName(std::uint32_t processorId);
// Architecture of a main ID register (bits 16-19).
const char16_t* ArchitectureName(std::uint32_t processorId);

// One cache of the cache type register: the instruction cache (bits 0-11) or the data cache.
struct CacheGeometry {
  int SizeKb;  // 0 for a size field of 0
  int LineWords;
  int Associativity;
};
CacheGeometry DecodeCache(std::uint32_t cacheType, bool dataCache);

// "часовой пояс: ..." for a bias in minutes (UTC = local time + bias), into `buffer`.
void FormatTimeZone(char16_t* buffer, int capacity, std::int32_t bias);

const char16_t* PowerSourceName(std::uint8_t acLineStatus);
// The status line of a battery flag; nullptr for 128, no battery.
const char16_t* BatteryStatusLine(std::uint8_t flag);
const char16_t* ChemistryName(std::uint8_t chemistry);

// Millivolts in volts and tenths of a degree in degrees, computed in single precision as the
// handheld's own readout does (3995 mV shows 4.00).
double MillivoltsToVolts(std::uint32_t millivolts);
double TenthsToDegrees(std::uint32_t tenths);
