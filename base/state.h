// AppState: the program's one global record. Each field is written by the procedures that own
// it and read by the others; it lives as long as the process and owns no platform object.
#pragma once

#include <cstdint>

#include "platform/shell.h"
#include "platform/system.h"
#include "platform/types.h"

enum CpuFamilyValue : std::int32_t { CpuUnknown = 0, CpuPxa25x = 1, CpuPxa27x = 2 };

enum IconViewValue : std::uint32_t {
  ViewPlain = 0,
  ViewFrequency = 1,
  ViewLoad = 2,
  ViewMemory = 3,
  ViewBattery = 4,
  ViewCurrent = 5,
  IconViewCount,  // how many views there are: a new one goes in front of this
};

inline constexpr int PresetSlots = 8;
// The colours a menu offers for each half of IconColors: black, then the indices 9..15.
inline constexpr int IconColorCount = 8;
// UpdateTempo 0..4: icon timer periods of 250 << tempo ms.
inline constexpr std::uint32_t UpdateTempoCount = 5;
inline constexpr int SampleHistoryLength = 32;
inline constexpr int TextBufferChars = 128;
// The Startup folder path the shell returns plus "\Zorvik.lnk", terminator included.
inline constexpr int AutostartLinkPathChars = plat::MaxPathChars + 11;

// A tool dialog's modal loop: not running, running, or running for a copy that has ended while a
// dialog opened from inside it stays open, and asked for again meanwhile: it opens again once
// that loop has returned.
enum DialogLoopValue : std::uint8_t { DialogLoopIdle = 0, DialogLoopRunning, DialogLoopAskedAgain };

struct CapabilityFlags {
  std::uint8_t RealVgaAvailable;
  std::uint8_t RotationSupported;
  std::uint8_t AutostartEnabled;
  std::uint8_t IdleTimeAvailable;
  std::uint8_t PowerStatusAvailable;
};

struct AppStateData {
  // Main window, tray icon and timers.
  plat::Instance Instance;
  plat::Window MainWindow;
  plat::NotifyIconData TrayIconData;
  std::uintptr_t IconTimerId;
  std::uintptr_t WatchTimerId;
  std::uintptr_t AutoTimerId;
  std::uint8_t TrayMenuOpen;  // the tray menu is being tracked: no second one opens
  std::uint8_t CloseHandled;  // the close handling has run: it never runs twice
  std::uint8_t QuestionOpen;  // a confirmation box is open: no second one opens

  // Settings, mirrored in the registry.
  std::uint32_t PresetTable[PresetSlots];  // slot n is PresetTable[n - 1]; 0 = empty
  std::uint32_t IconView;
  std::uint32_t IconColors;  // foreground index bits 0-3, background index bits 16-19
  std::uint32_t UpdateTempo;
  std::uint32_t WatchMode;
  std::uint32_t AutoMode;  // turbo switched by the processor load

  // Processor and clock.
  std::uint32_t ProcessorId;
  std::uint32_t CacheType;
  std::int32_t CpuFamily;
  std::uint32_t CurrentClockWord;
  std::uint8_t TurboFlag;
  std::uint8_t FastBusFlag;
  std::uint8_t MemoryClockTable[5];
  std::uint8_t RunMultiplierTable[4];
  // The automatic mode's own measurement: the idle time at its last tick (0: none yet), the
  // consecutive quiet ticks in turbo, and the load band whose switch failed (0: none).
  std::uint32_t AutoIdleBaseline;
  std::uint8_t AutoQuietTicks;
  std::uint8_t AutoRefusedBand;

  // Tray icon sampling.
  std::int32_t IconScale;
  std::uint8_t SampleHistory[SampleHistoryLength];  // newest first
  std::int32_t LastDrawnValue;
  std::uint8_t ForceIconRedraw;
  std::uint32_t LastIdleTime;
  plat::PowerStatusEx2 PowerStatus;

  // Device capabilities and display.
  CapabilityFlags Capabilities;
  std::uint32_t DisplayMode;  // 0 none, 1 VGA, 2 RealVGA
  char16_t AutostartLinkPath[AutostartLinkPathChars];
  plat::DeviceMode DisplaySettings;

  // Tool dialogs: the open ones, and those whose modal loop has not returned yet (an ended
  // dialog's loop returns only after the loops of dialogs opened from inside it).
  plat::Window ProcessDialogWindow;
  plat::Window ThreadDialogWindow;
  plat::Window InfoDialogWindow;
  std::uint8_t ProcessDialogRunning;  // DialogLoopValue, as the other two
  std::uint8_t ThreadDialogRunning;
  std::uint8_t InfoDialogRunning;
  std::uint32_t ThreadListProcessId;

  char16_t TextBuffer[TextBufferChars];
};

// The record as the process starts: zero but for these initial values.
constexpr AppStateData InitialAppState() {
  AppStateData s{};
  s.IconView = ViewFrequency;
  s.IconColors = 0x000C000B;  // yellow on blue
  s.UpdateTempo = 2;
  s.IconScale = 1;
  s.LastDrawnValue = -1;
  s.MemoryClockTable[0] = 100;
  s.MemoryClockTable[1] = 118;
  s.MemoryClockTable[2] = 133;
  s.MemoryClockTable[3] = 150;
  s.MemoryClockTable[4] = 166;
  s.RunMultiplierTable[0] = 1;
  s.RunMultiplierTable[1] = 1;
  s.RunMultiplierTable[2] = 2;
  s.RunMultiplierTable[3] = 4;
  return s;
}

extern AppStateData AppState;

// Puts the record back to its initial values (tests start every case from here).
void ResetAppState();
