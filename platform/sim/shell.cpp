// The simulated shell: the notification-area icons, keyed by (owner, id) as the real shell keys
// them, the special folders, shortcuts and the files' icons. A tap reaches the owner only as the
// icon's callback message.
#include "platform/shell.h"

#include "platform/sim/device.h"
#include "platform/windowing.h"

namespace plat {

using sim::Device;

bool Shell_NotifyIcon(std::uint32_t message, NotifyIconData* data) {
  SIM_CALL();
  if (data == nullptr) return false;
  sim::TrayIconRecord* record = nullptr;
  for (sim::TrayIconRecord& icon : Device().Tray) {
    if (icon.Data.Owner == data->Owner && icon.Data.Id == data->Id) record = &icon;
  }
  switch (message) {
    case NIM_ADD:
      if (record != nullptr && record->Present) return false;  // the shell refuses a duplicate
      if (record == nullptr) record = &Device().Tray.emplace_back();
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
      if (data->Flags & NIF_TIP) std::copy(data->Tip, data->Tip + 64, kept.Tip);
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
  SIM_CALL();
  if (path == nullptr) return false;
  const auto& folders = Device().System.Folders;
  const auto found = folders.find(folder);
  // A path that would not fit MAX_PATH is refused rather than cut short. As under Wine, a
  // refused query may leave the start of a path in the buffer.
  if (found == folders.end() || found->second.size() >= static_cast<std::size_t>(MaxPathChars)) {
    sim::CopyBounded(u"\\Windows", path, MaxPathChars);
    return false;
  }
  sim::CopyBounded(found->second, path, MaxPathChars);
  return true;
}

bool SHCreateShortcut(const char16_t* shortcut, const char16_t* target) {
  SIM_CALL();
  if (shortcut == nullptr || target == nullptr || Device().Faults.ShortcutCreationFails) {
    return false;
  }
  const std::u16string path = sim::FromZ(shortcut);
  if (path.empty() || sim::FindFile(path) != nullptr) return false;
  Device().Files.push_back({path, 0, sim::FromZ(target)});
  return true;
}

std::uintptr_t SHGetFileInfo(const char16_t* path, std::uint32_t, ShellFileInfo* info,
                             std::uint32_t flags) {
  SIM_CALL();
  if (path == nullptr || info == nullptr || (flags & SHGFI_ICON) == 0) return 0;
  const sim::File* file = sim::FindFile(sim::FromZ(path));
  if (file == nullptr) return 0;
  const int metric = (flags & SHGFI_SMALLICON) ? SM_CXSMICON : SM_CXICON;
  const int side = Device().System.Metrics[metric];
  info->IconHandle = sim::NewIcon(0, side, side);
  info->IconIndex = 0;
  Device().Graphics.Icons[info->IconHandle].ShellFile = sim::FromZ(path);
  return 1;
}

}  // namespace plat
