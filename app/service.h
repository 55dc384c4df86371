// The display and system service commands of the "Сервис" submenu: screen rotation, the display
// density switch with its reboot, the two resets, autostart, help and exit.
// They live with the program's shell because the reboots cancel the wake-up relaunch.
#pragma once

#include <cstdint>

#include "platform/types.h"

inline constexpr char16_t DisplayKeyPath[] = u"Drivers\\Display\\GPE";
// Where the program is installed; the autostart shortcut always points here.
inline constexpr char16_t InstalledImagePath[] = u"\\Windows\\Zorvik.exe";
inline constexpr char16_t HelpViewerName[] = u"peghelp.exe";
inline constexpr char16_t HelpCommandLine[] = u"file:zorvik.htm#Main_Contents";

// The display densities the switch offers, by their DisplayMode value.
enum DisplayDensity : std::uint32_t { DensityVga = 1, DensityRealVga = 2 };

// Turns the screen to a platform orientation (0, 1, 2 or 4); nothing is asked or kept.
void SetScreenOrientation(std::uint32_t orientation);
// LogicalPixelsX of the display driver's key, a value shorter than 4 bytes zero-extended; 0 when
// the key or value cannot be read or the value is longer than 4 bytes.
std::uint32_t ReadLogicalPixelsX();
// Writes both LogicalPixelsX and LogicalPixelsY into the existing key; nothing is reported.
void WriteLogicalPixels(std::uint32_t value);
// Asks, writes the density and reboots; nothing when the density is already in force.
void SwitchDisplayDensity(DisplayDensity target);
// Cancels the program's event registrations and asks for a reboot; returns if refused.
void RestartDevice();
void SoftReset();
// Two questions, then a clean reboot; the event registrations are left in place.
void HardReset();
// Creates or deletes the Startup shortcut; AutostartEnabled then says whether it exists.
void ToggleAutostart();
// Starts the help viewer on the program's document; beeps when it cannot be started.
void OpenHelp();
// Asks the main window to close, which ends the program.
void ExitProgram(plat::Window mainWindow);
