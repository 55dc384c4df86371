// The simulated shell: the notification-area icons, keyed by (owner, id) as the real shell keys
// them, and the special folders. A tap reaches the owner only as the icon's callback message.
#include "platform/shell.h"

#include <deque>
#include <map>

#include "platform/sim/device.h"
#include "platform/sim/internal.h"

namespace {

using sim::internal::PlatformCall;

struct ShellState {
  std::deque<sim::TrayIconRecord> icons;  // in order of first add; stable addresses
  std::map<int, std::u16string> folders = {
      {plat::CSIDL_STARTUP, u"\\Windows\\StartUp"},
      {plat::CSIDL_FONTS, u"\\Windows\\Fonts"},
  };
  std::map<std::u16string, std::u16string> shortcutTargets;  // by folded path
  bool shortcutCreationFails = false;
};

ShellState& S() {
  static ShellState state;
  return state;
}

sim::TrayIconRecord* Find(plat::Window owner, std::uint32_t id) {
  for (auto& icon : S().icons) {
    if (icon.Data.Owner == owner && icon.Data.Id == id) return &icon;
  }
  return nullptr;
}

}  // namespace

namespace sim {
namespace internal {
void ResetShell() { S() = ShellState{}; }
}  // namespace internal

const TrayIconRecord* TrayIcon(plat::Window owner, std::uint32_t id) { return Find(owner, id); }

const TrayIconRecord* FirstTrayIcon() { return S().icons.empty() ? nullptr : &S().icons.front(); }

void TapTrayIcon(std::uint32_t mouseMessage) {
  internal::SimCall mark;
  for (const auto& icon : S().icons) {
    if (!icon.Present) continue;
    internal::QueueMessage(icon.Data.Owner, icon.Data.CallbackMessage, icon.Data.Id,
                           static_cast<plat::LParam>(mouseMessage));
    return;
  }
}

void SetShortcutCreationFails(bool fails) { S().shortcutCreationFails = fails; }

std::optional<std::u16string> ShortcutTarget(const std::u16string& path) {
  internal::SimCall mark;
  if (!FileExists(path)) return std::nullopt;
  auto it = S().shortcutTargets.find(internal::Folded(path));
  if (it == S().shortcutTargets.end()) return std::nullopt;
  return it->second;
}

void SetSpecialFolder(int csidl, const std::u16string& path) {
  internal::SimCall mark;
  S().folders[csidl] = path;
}

}  // namespace sim

namespace plat {

bool Shell_NotifyIcon(std::uint32_t message, NotifyIconData* data) {
  PlatformCall call("Shell_NotifyIcon");
  if (data == nullptr) return false;
  sim::TrayIconRecord* record = Find(data->Owner, data->Id);
  switch (message) {
    case NIM_ADD:
      if (record != nullptr && record->Present) return false;  // the shell refuses a duplicate
      if (record == nullptr) {
        S().icons.push_back({*data, 0, 0, false});
        record = &S().icons.back();
      }
      record->Data = *data;
      record->Present = true;
      ++record->Adds;
      return true;
    case NIM_MODIFY: {
      if (record == nullptr || !record->Present) return false;
      // Only the fields the flags name change, as in the real shell.
      NotifyIconData& kept = record->Data;
      kept.Size = data->Size;
      kept.Flags = data->Flags;
      if (data->Flags & NIF_MESSAGE) kept.CallbackMessage = data->CallbackMessage;
      if (data->Flags & NIF_ICON) kept.IconHandle = data->IconHandle;
      if (data->Flags & NIF_TIP) {
        for (int i = 0; i < 64; ++i) kept.Tip[i] = data->Tip[i];
      }
      ++record->Modifies;
      return true;
    }
    case NIM_DELETE:
      if (record == nullptr || !record->Present) return false;
      record->Present = false;
      return true;
    default:
      return false;
  }
}

bool SHGetSpecialFolderPath(Window, char16_t* path, int folder, bool) {
  PlatformCall call("SHGetSpecialFolderPath");
  if (path == nullptr) return false;
  auto it = S().folders.find(folder);
  // A path that would not fit MAX_PATH is refused rather than cut short.
  if (it == S().folders.end() || it->second.size() >= static_cast<std::size_t>(MaxPathChars)) {
    path[0] = u'\0';
    return false;
  }
  sim::internal::CopyBounded(it->second, path, MaxPathChars);
  return true;
}

bool SHCreateShortcut(const char16_t* shortcut, const char16_t* target) {
  PlatformCall call("SHCreateShortcut");
  if (shortcut == nullptr || target == nullptr || S().shortcutCreationFails) return false;
  std::u16string path = sim::internal::FromZ(shortcut);
  if (path.empty() || sim::FileExists(path)) return false;
  sim::AddFile(path);
  S().shortcutTargets[sim::internal::Folded(path)] = sim::internal::FromZ(target);
  return true;
}

}  // namespace plat
