// What every fuzz target shares: a reader that turns the fuzzer's bytes into values, a fresh
// handheld and program per input, and the checks that hold after any input.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "tests/harness.h"

namespace fuzz {

using harness::FreshDevice;
using harness::RunDialog;
using harness::SettingsKey;

// Reads values off the front of the input; past its end every read gives zeros.
class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Empty() const { return size_ == 0; }
  std::uint8_t U8() {
    if (size_ == 0) return 0;
    --size_;
    return *data_++;
  }
  std::uint16_t U16() { return static_cast<std::uint16_t>(U8() | U8() << 8); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(U16()) | std::uint32_t{U16()} << 16; }
  std::uint64_t U64() { return std::uint64_t{U32()} | std::uint64_t{U32()} << 32; }
  bool Bit() { return (U8() & 1) != 0; }
  // Up to `maxChars` UTF-16 characters, a length byte first (long texts from a scale byte).
  std::u16string Text(std::size_t maxChars) {
    std::size_t length = U8();
    if (length >= 0xF0) length = (length - 0xF0 + 1) * 100;
    length = std::min(length, maxChars);
    std::u16string text;
    for (std::size_t i = 0; i < length && size_ >= 2; ++i) text += static_cast<char16_t>(U16());
    return text;
  }
  std::vector<std::uint8_t> Blob(std::size_t maxBytes) {
    std::size_t length = std::min<std::size_t>(U8(), std::min(maxBytes, size_));
    std::vector<std::uint8_t> blob(data_, data_ + length);
    data_ += length;
    size_ -= length;
    return blob;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}
inline void Check(bool holds, const char* what) {
  if (!holds) Fail(what);
}

// The values a stored preset may hold: what was there before the program ran, an empty slot,
// the seeded defaults and every clock word the processor held or was given.
inline std::vector<std::uint32_t> WordsTheProgramMayStore(const std::vector<std::uint32_t>& seeded,
                                                          std::uint32_t firstCccr) {
  std::vector<std::uint32_t> words = seeded;
  words.push_back(0);
  words.push_back(firstCccr);
  for (std::uint32_t w :
       {0x121u, 0x141u, 0x1C1u, 0x241u, 0x242u, 0x2C1u, 0x243u, 0x341u, 0x2000104u, 0x2000108u,
        0x2000110u, 0x2000190u, 0x2000210u, 0x2000290u, 0x2000310u, 0x2000390u}) {
    words.push_back(w);
  }
  for (std::uint32_t w : sim::Device().Log.CccrWrites) words.push_back(w);
  return words;
}

// A preset value as stored now: its REG_DWORD, or nothing for any other value.
inline std::vector<std::uint32_t> StoredPresets() {
  std::vector<std::uint32_t> words;
  for (int slot = 1; slot <= PresetSlots; ++slot) {
    const std::string digits = std::to_string(slot);
    const std::u16string name = u"Freq" + std::u16string(digits.begin(), digits.end());
    if (auto word = sim::Device().Registry.Dword(SettingsKey, name)) words.push_back(*word);
  }
  return words;
}

// What holds after any input while the program runs or after it ended.
inline void CheckState(const std::vector<std::uint32_t>& allowedPresets) {
  Check(!sim::Device().Cpu.KernelMode, "left in kernel mode");
  Check(std::find(std::begin(AppState.TextBuffer), std::end(AppState.TextBuffer), 0) !=
            std::end(AppState.TextBuffer),
        "TextBuffer not terminated");
  Check(AppState.IconView < IconViewCount, "view out of range");
  Check((AppState.IconColors & ~0x000F000Fu) == 0, "colours out of range");
  Check(AppState.UpdateTempo < UpdateTempoCount, "tempo out of range");
  Check(AppState.IconScale == 1 || AppState.IconScale == 2, "scale out of range");
  // Every value the program wrote is in range when read back.
  for (const sim::RegistryCall& call : sim::Device().Log.Registry) {
    if (call.Operation != "set" || call.Result != 0) continue;
    auto value = sim::Device().Registry.Value(call.KeyPath, call.ValueName);
    if (!value) continue;  // written, then the key was seeded afresh: not the program's
    Check(value->Type == plat::REG_DWORD && value->Data.size() == 4, "stored a non-DWORD");
    std::uint32_t v = 0;
    std::memcpy(&v, value->Data.data(), 4);
    const std::u16string& name = call.ValueName;
    if (name == u"View") Check(v < IconViewCount, "stored view out of range");
    if (name == u"Color") Check((v & ~0x000F000Fu) == 0, "stored colours out of range");
    if (name == u"Speed") Check(v < UpdateTempoCount, "stored tempo out of range");
    if (name == u"Spy") Check(v <= 1, "stored watch mode out of range");
    if (name == u"Auto") Check(v <= 1, "stored automatic mode out of range");
  }
  for (std::uint32_t word : StoredPresets()) {
    Check(std::find(allowedPresets.begin(), allowedPresets.end(), word) != allowedPresets.end(),
          "stored a preset the program never had");
  }
}

// After the program has ended: nothing of it is left open but its instance mutex.
inline void CheckNothingOpen() {
  sim::LiveCounts live = sim::Live();
  Check(live.Mutexes <= 1, "mutex left open");
  live.Mutexes = 0;
  Check(live == sim::LiveCounts{}, "a handle left open");
}

// Runs the program on the device as seeded until its script is done, then closes it as the
// shell would and checks what it left behind.
inline void RunProgram(const std::u16string& commandLine) {
  std::vector<std::uint32_t> seeded = StoredPresets();
  const std::uint32_t firstCccr = sim::Device().Cpu.Cccr;
  harness::Start(commandLine.c_str());
  // A run that ended with its script, not by a close, still holds its window: close it.
  for (const sim::WindowRecord& window : sim::Device().Ui.Windows) {
    if (window.ProcessId == sim::ProgramProcessId && !window.Destroyed &&
        window.ClassName == u"Zorvik") {
      sim::Send(window.Handle, plat::WM_CLOSE, 0, 0);
    }
  }
  CheckState(WordsTheProgramMayStore(seeded, firstCccr));
  CheckNothingOpen();
}

}  // namespace fuzz
