// The image's console, its command line and its exit, over semihosting (SVC 0x123456, which the
// machine model takes, from user mode too).
#pragma once

#include <cstdint>

void Print(const char* text);
void PrintHex(std::uint32_t value);  // 0x and eight digits
void PrintDecimal(std::uint32_t value);

// The command line the runner gave (the machine's name); empty when there is none.
const char* CommandLine();

// Ends the run: the machine model exits with 0 when `passed`, else with 1.
[[noreturn]] void Exit(bool passed);
