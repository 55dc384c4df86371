// The image's console over semihosting: ARM's SVC 0x123456 with the operation in r0 and its
// argument in r1, taken by the machine model without entering the supervisor vector.
#include "tests/xscale/console.h"

#include "platform/xscale/kernel.h"

namespace {

constexpr std::uint32_t SysWrite0 = 0x04, SysGetCommandLine = 0x15, SysExit = 0x18;
constexpr std::uint32_t ApplicationExit = 0x20026, RunTimeError = 0x20023;

std::uint32_t Semihost(std::uint32_t operation, const void* argument) {
  register std::uint32_t r0 asm("r0") = operation;
  register const void* r1 asm("r1") = argument;
  asm volatile("svc 0x123456" : "+r"(r0) : "r"(r1) : "memory");
  return r0;
}

char CommandLineText[128];

}  // namespace

void Print(const char* text) { Semihost(SysWrite0, text); }

void PrintHex(std::uint32_t value) {
  char text[11] = "0x";
  for (int i = 0; i < 8; ++i) text[2 + i] = "0123456789ABCDEF"[(value >> (28 - 4 * i)) & 0xF];
  text[10] = 0;
  Print(text);
}

void PrintDecimal(std::uint32_t value) {
  char text[11];
  char* digit = text + sizeof text - 1;
  *digit = 0;
  do {
    *--digit = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  Print(digit);
}

const char* CommandLine() {
  struct {
    char* Buffer;
    std::uint32_t Length;
  } block{CommandLineText, sizeof CommandLineText - 1};
  if (Semihost(SysGetCommandLine, &block) != 0) return "";
  CommandLineText[block.Length < sizeof CommandLineText ? block.Length : 0] = 0;
  return CommandLineText;
}

void Exit(bool passed) {
  Semihost(SysExit, reinterpret_cast<const void*>(passed ? ApplicationExit : RunTimeError));
  for (;;) {
  }
}

extern "C" void XscaleUnguardedFault(std::uint32_t kind, std::uint32_t address) {
  static const char* const kinds[] = {"?",
                                      "undefined instruction",
                                      "data abort",
                                      "prefetch abort",
                                      "interrupt",
                                      "fast interrupt",
                                      "unknown supervisor call"};
  Print("FAIL  an exception that no fault guard took: ");
  Print(kind < sizeof kinds / sizeof kinds[0] ? kinds[kind] : kinds[0]);
  Print(" at ");
  PrintHex(address);
  Print("\n");
  Exit(false);
}
