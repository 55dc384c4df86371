// The simulated handheld's own machinery: reset, virtual time and the script, the call log and the
// program's heap accounting. Deterministic: no threads, no real clock.
#include "platform/sim/device.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <utility>

#include "platform/sim/internal.h"

namespace {

// Nesting depth of platform code; allocations are the program's only while it is 0. A plain int:
// operator new reads it before any constructor could run.
int platformDepth = 0;
std::uint64_t programAllocations = 0;
std::uint64_t allAllocations = 0;  // the program's and the simulated platform's
void (*boundaryHook)() = nullptr;  // called whenever the depth leaves or reaches 0

void EnterPlatform() {
  if (platformDepth++ == 0 && boundaryHook != nullptr) boundaryHook();
}
void LeavePlatform() {
  if (--platformDepth == 0 && boundaryHook != nullptr) boundaryHook();
}

struct ScriptState {
  std::uint32_t nowMs = 0;
  // Actions by (due time, order of scheduling).
  std::map<std::pair<std::uint32_t, std::uint64_t>, std::function<void()>> actions;
  std::uint64_t nextSequence = 0;
  bool scenarioEnded = false;
  // Names only, each a literal of the platform's code: logging a call never allocates once
  // the log has grown to its working size.
  std::vector<const char*> callLog;
  std::vector<std::string> callLogText;  // the copy CallLog() hands out
};

ScriptState& Script() {
  static ScriptState state = [] {
    ScriptState fresh;
    fresh.callLog.reserve(1 << 14);  // a refresh, a menu or a fill never grows it
    return fresh;
  }();
  return state;
}

void CountAllocation() {
  ++allAllocations;
  if (platformDepth == 0) ++programAllocations;
}

void* Allocate(std::size_t size) {
  CountAllocation();
  if (size == 0) size = 1;
  return std::malloc(size);
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
  CountAllocation();
  std::size_t align = static_cast<std::size_t>(alignment);
  if (align < sizeof(void*)) align = sizeof(void*);
  void* p = nullptr;
  if (posix_memalign(&p, align, size == 0 ? 1 : size) != 0) return nullptr;
  return p;
}

// Out of line so the compiler does not pair a replaced operator new with free().
__attribute__((noinline)) void Release(void* p) noexcept { std::free(p); }

}  // namespace

// ---- Program heap accounting: the replaceable allocation functions ----

void* operator new(std::size_t size) {
  void* p = Allocate(size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) {
  void* p = AllocateAligned(size, alignment);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return operator new(size, alignment);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return AllocateAligned(size, alignment);
}
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { Release(p); }

namespace sim {
namespace internal {

PlatformCall::PlatformCall(const char* name) {
  EnterPlatform();
  Log(name);
}
PlatformCall::~PlatformCall() { LeavePlatform(); }

SimCall::SimCall() { EnterPlatform(); }
SimCall::~SimCall() { LeavePlatform(); }

ProgramCallback::ProgramCallback() : savedDepth_(platformDepth) { SetPlatformDepth(0); }
ProgramCallback::~ProgramCallback() { SetPlatformDepth(savedDepth_); }

int PlatformDepth() { return platformDepth; }
void SetPlatformDepth(int depth) {
  const bool crossed = (platformDepth == 0) != (depth == 0);
  platformDepth = depth;
  if (crossed && boundaryHook != nullptr) boundaryHook();
}

void Log(const char* name) {
  EnterPlatform();
  Script().callLog.push_back(name);
  LeavePlatform();
}

std::optional<std::uint32_t> NextActionTime() {
  auto& s = Script();
  if (s.actions.empty()) return std::nullopt;
  return std::max(s.actions.begin()->first.first, s.nowMs);
}

void RunNextAction() {
  auto& s = Script();
  if (s.actions.empty()) return;
  auto first = s.actions.begin();
  AdvanceTo(first->first.first);
  std::function<void()> action = std::move(first->second);
  s.actions.erase(first);
  SimCall mark;  // test code: its allocations are not the program's
  action();
}

void AdvanceTo(std::uint32_t timeMs) {
  auto& s = Script();
  if (timeMs > s.nowMs) s.nowMs = timeMs;
}

void EndScenario() { Script().scenarioEnded = true; }

std::u16string FromZ(const char16_t* text) { return text ? std::u16string(text) : u""; }

char16_t FoldCase(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
  if (c >= 0x0410 && c <= 0x042F) return static_cast<char16_t>(c + 32);    // А..Я
  if (c >= 0x0400 && c <= 0x040F) return static_cast<char16_t>(c + 0x50);  // Ѐ..Џ
  return c;
}

std::u16string Folded(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out) c = FoldCase(c);
  return out;
}

bool EqualNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

std::u16string FromUtf8(std::string_view text) {
  std::u16string out;
  std::size_t i = 0;
  while (i < text.size()) {
    auto byte = static_cast<unsigned char>(text[i]);
    std::uint32_t code = byte;
    int extra = 0;
    if (byte >= 0xF0) {
      code = byte & 0x07;
      extra = 3;
    } else if (byte >= 0xE0) {
      code = byte & 0x0F;
      extra = 2;
    } else if (byte >= 0xC0) {
      code = byte & 0x1F;
      extra = 1;
    }
    ++i;
    for (int k = 0; k < extra && i < text.size(); ++k, ++i) {
      code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
  }
  return out;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t code = text[i];
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size()) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

int CopyBounded(std::u16string_view text, char16_t* out, int capacity) {
  if (out == nullptr || capacity <= 0) return 0;
  std::size_t count = std::min<std::size_t>(text.size(), static_cast<std::size_t>(capacity - 1));
  for (std::size_t i = 0; i < count; ++i) out[i] = text[i];
  out[count] = u'\0';
  return static_cast<int>(count);
}

}  // namespace internal

void Reset() {
  internal::SimCall mark;
  auto& s = Script();
  s.nowMs = 0;
  s.actions.clear();
  s.nextSequence = 0;
  s.scenarioEnded = false;
  s.callLog.clear();
  internal::ResetWindowing();
  internal::ResetMenus();
  internal::ResetDialogs();
  internal::ResetResources();
  internal::ResetGraphics();
  internal::ResetShell();
  internal::ResetRegistry();
  internal::ResetMemory();
  internal::ResetHardware();
  internal::ResetNotification();
  internal::ResetSystem();
  internal::ResetProcesses();
  internal::ResetControls();
  internal::ResetSysinfo();
  programAllocations = 0;
}

std::uint32_t Now() { return Script().nowMs; }

void At(std::uint32_t timeMs, std::function<void()> action) {
  internal::SimCall mark;
  auto& s = Script();
  s.actions.emplace(std::make_pair(timeMs, s.nextSequence++), std::move(action));
}

void After(std::uint32_t delayMs, std::function<void()> action) {
  At(Now() + delayMs, std::move(action));
}

bool ScenarioEnded() { return Script().scenarioEnded; }

const std::vector<std::string>& CallLog() {
  internal::SimCall mark;
  auto& s = Script();
  s.callLogText.assign(s.callLog.begin(), s.callLog.end());
  return s.callLogText;
}

void ClearCallLog() {
  internal::SimCall mark;
  Script().callLog.clear();
}

int FindCall(const std::string& name, int from) {
  const auto& log = Script().callLog;
  for (std::size_t i = from < 0 ? 0 : static_cast<std::size_t>(from); i < log.size(); ++i) {
    const char* entry = log[i];
    // An entry may carry a detail in brackets after the name.
    if (std::strncmp(entry, name.c_str(), name.size()) == 0 &&
        (entry[name.size()] == '\0' || entry[name.size()] == '[' || entry[name.size()] == ' ')) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::uint64_t ProgramHeapAllocations() { return programAllocations; }
void ResetProgramHeapAllocations() { programAllocations = 0; }
std::uint64_t AllHeapAllocations() { return allAllocations; }
void SetPlatformBoundaryHook(void (*hook)()) { boundaryHook = hook; }

}  // namespace sim
