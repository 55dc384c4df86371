// The facts of the information tree as numbers and names.
// Pure; no platform calls.
#include "info/info_format.h"

#include "base/text.h"

const char16_t* ImplementerName(std::uint32_t processorId) {
  switch (processorId >> 24) {
    case 0x41:
      return u"ARM";
    case 0x54:
      return u"Texas Instruments";
    case 0x69:
      return u"Intel";
    default:
      return nullptr;
  }
}

const char16_t* ArchitectureName(std::uint32_t processorId) {
  static constexpr const char16_t* Names[] = {u"ARMv3",  u"ARMv4",   u"ARMv4T",   u"ARMv5",
                                              u"ARMv5T", u"ARMv5TE", u"ARMv5TEJ", u"ARMv6"};
  const std::uint32_t architecture = (processorId >> 16) & 0xF;
  return architecture < 8 ? Names[architecture] : u"ARM";
}

CacheGeometry DecodeCache(std::uint32_t cacheType, bool dataCache) {
  const std::uint32_t field = (dataCache ? cacheType >> 12 : cacheType) & 0xFFF;
  const std::uint32_t size = (field >> 6) & 7;
  const std::uint32_t length = field & 3;
  const std::uint32_t associativity = (field >> 3) & 7;
  return {size == 0 ? 0 : 1 << (size - 1), 1 << (length + 1), 1 << associativity};
}

void FormatTimeZone(char16_t* buffer, int capacity, std::int32_t bias) {
  // Widened first: the magnitude of the most negative bias does not fit its own type.
  const std::int64_t wide = bias;
  const int hours = static_cast<int>(-wide / 60);
  const int minutes = static_cast<int>((wide < 0 ? -wide : wide) % 60);
  // Less than an hour west of UTC has no hours to carry the minus sign: it is written out, so
  // that a bias of 30 reads "-0.30", not "0.30" (which would read as east).
  const char16_t* format = bias < 0                 ? u"часовой пояс: +%d"
                           : bias > 0 && hours == 0 ? u"часовой пояс: -%d"
                                                    : u"часовой пояс: %d";
  const int length = FormatText(buffer, capacity, format, hours);
  if (minutes != 0) FormatText(buffer + length, capacity - length, u".%d", minutes);
}

const char16_t* PowerSourceName(std::uint8_t acLineStatus) {
  switch (acLineStatus) {
    case 0:
      return u"основная батарея";
    case 1:
      return u"от сети";
    case 2:
      return u"резервная батарея";
    default:
      return u"неизвестно";
  }
}

const char16_t* BatteryStatusLine(std::uint8_t flag) {
  switch (flag) {
    case 1:
      return u"статус: в норме";
    case 2:
      return u"статус: слабо";
    case 4:
      return u"статус: разряд";
    case 8:
      return u"статус: зарядка";
    case 128:
      return nullptr;
    default:
      return u"статус: неизвестно";
  }
}

const char16_t* ChemistryName(std::uint8_t chemistry) {
  static constexpr const char16_t* Names[] = {u"щелочь", u"Ni-Cd",  u"NiMH",
                                              u"Li-Ion", u"Li-Pol", u"цинк"};
  return chemistry >= 1 && chemistry <= 6 ? Names[chemistry - 1] : u"неизвестно";
}

double MillivoltsToVolts(std::uint32_t millivolts) {
  return static_cast<double>(static_cast<float>(millivolts) * 0.001f);
}

double TenthsToDegrees(std::uint32_t tenths) {
  return static_cast<double>(static_cast<float>(tenths) * 0.1f);
}
