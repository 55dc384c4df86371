// The simulated handheld's own machinery: the device record and its reset, the script, the
// platform mark and call log, what other processes and the user do, and text helpers.
#include "platform/sim/device.h"

#include <algorithm>
#include <cstring>

#include "platform/notification.h"
#include "platform/registry.h"

namespace sim {

int PlatformDepth = 0;  // a plain int: read by allocation counters before any constructor runs
void (*PlatformBoundaryHook)() = nullptr;

void LogCall(std::string_view name) { Device().Log.Calls.push_back(name); }

Handheld& Device() {
  static Handheld device;
  return device;
}

void Reset() { Device() = Handheld{}; }

void At(std::uint32_t timeMs, std::function<void()> action) {
  Script& script = Device().Script;
  script.Actions.emplace(std::make_pair(timeMs, script.Scheduled++), std::move(action));
}

void After(std::uint32_t delayMs, std::function<void()> action) {
  At(Device().Script.Now + delayMs, std::move(action));
}

// ---- Lookups -------------------------------------------------------------------------------

namespace {
char16_t Fold(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
  if (c >= 0x0410 && c <= 0x042F) return static_cast<char16_t>(c + 32);    // А..Я
  if (c >= 0x0400 && c <= 0x040F) return static_cast<char16_t>(c + 0x50);  // Ѐ..Џ
  return c;
}
}  // namespace

bool NoCase::operator()(std::u16string_view a, std::u16string_view b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char16_t x, char16_t y) { return Fold(x) < Fold(y); });
}

bool EqualNoCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char16_t x, char16_t y) { return Fold(x) == Fold(y); });
}

RegistryValue DwordValue(std::uint32_t value) {
  RegistryValue dword{plat::REG_DWORD, std::vector<std::uint8_t>(4)};
  std::memcpy(dword.Data.data(), &value, 4);
  return dword;
}

const RegistryValue* Registry::Value(std::u16string_view key, std::u16string_view name) const {
  const auto found = Keys.find(key);
  if (found == Keys.end()) return nullptr;
  const auto value = found->second.find(name);
  return value == found->second.end() ? nullptr : &value->second;
}

std::optional<std::uint32_t> Registry::Dword(std::u16string_view key,
                                             std::u16string_view name) const {
  const RegistryValue* value = Value(key, name);
  if (value == nullptr || value->Type != plat::REG_DWORD || value->Data.size() != 4) return {};
  std::uint32_t out;
  std::memcpy(&out, value->Data.data(), 4);
  return out;
}

File* FindFile(std::u16string_view path) {
  for (File& file : Device().Files)
    if (EqualNoCase(file.Path, path)) return &file;
  return nullptr;
}

DialogRecord* OpenDialog(int templateId) {
  for (DialogRecord& dialog : Device().Dialogs)
    if (dialog.TemplateId == templateId && dialog.Open) return &dialog;
  return nullptr;
}

NotificationRecord WakeupRecord(const std::u16string& application) {
  return {{NotifyEventProperty, u"", plat::NOTIFICATION_EVENT_WAKEUP},
          {NotifyApplicationProperty, application, 0},
          {NotifyArgumentsProperty, u"AppRunAfterWakeup", 0}};
}

std::vector<std::u16string> Notifications::Wakeups() const {
  std::vector<std::u16string> names;
  for (const NotificationRecord& record : Records) {
    const NotificationProperty* event = nullptr;
    const NotificationProperty* application = nullptr;
    for (const NotificationProperty& property : record) {
      if (property.PropId == NotifyEventProperty) event = &property;
      if (property.PropId == NotifyApplicationProperty) application = &property;
    }
    if (event != nullptr && application != nullptr &&
        event->Number == plat::NOTIFICATION_EVENT_WAKEUP) {
      names.push_back(application->Text);
    }
  }
  return names;
}

LiveCounts Live() {
  const Handheld& device = Device();
  LiveCounts live{};
  for (const WindowRecord& window : device.Ui.Windows)
    live.Windows += window.ProcessId == ProgramProcessId && !window.Destroyed ? 1 : 0;
  live.Bitmaps = static_cast<int>(device.Graphics.Bitmaps.size());
  live.Icons = static_cast<int>(device.Graphics.Icons.size());
  live.Menus = static_cast<int>(device.Menus.Live.size());
  // An image list a list view owns goes with the list's window.
  for (const auto& [handle, images] : device.Controls.ImageLists) {
    bool gone = images.Destroyed;
    for (const auto& [list, record] : device.Controls.Lists) {
      const WindowRecord* window = FindWindow(list);
      gone = gone || (record.SmallImages == handle && (window == nullptr || window->Destroyed));
    }
    live.ImageLists += gone ? 0 : 1;
  }
  live.RegistryKeys = static_cast<int>(device.Registry.Open.size());
  live.Databases = static_cast<int>(device.Notifications.Open.size());
  live.RecordBuffers = static_cast<int>(device.Notifications.Buffers.size());
  live.MemoryRegions = static_cast<int>(device.Regions.size());
  live.Snapshots = static_cast<int>(device.Processes.Snapshots.size());
  live.ProcessHandles = static_cast<int>(device.Processes.Handles.size());
  for (const auto& [handle, object] : device.System.Handles)
    (object.Searching ? live.Searches : live.Mutexes) += 1;
  return live;
}

// ---- What another process, the shell or the user does ---------------------------------------

void TapTrayIcon(std::uint32_t mouseMessage) {
  for (const TrayIconRecord& icon : Device().Tray) {
    if (!icon.Present) continue;
    QueueMessage(icon.Data.Owner, icon.Data.CallbackMessage, icon.Data.Id,
                 static_cast<plat::LParam>(mouseMessage));
    return;
  }
}

plat::LResult SendDialogCommand(plat::Window dialog, int id) {
  for (const DialogRecord& record : Device().Dialogs) {
    if (record.Handle == dialog && record.Open) {
      return Send(dialog, plat::WM_COMMAND, static_cast<plat::WParam>(id), 0);
    }
  }
  return 0;
}

void SelectRow(plat::Window list, int index) {
  const WindowRecord* window = FindWindow(list);
  auto record = Device().Controls.Lists.find(list);
  if (window == nullptr || window->Destroyed || record == Device().Controls.Lists.end()) return;
  for (std::size_t i = 0; i < record->second.Rows.size(); ++i)
    record->second.Rows[i].Selected = static_cast<int>(i) == index;
}

// ---- Text ----------------------------------------------------------------------------------

std::u16string FromZ(const char16_t* text) { return text ? std::u16string(text) : u""; }

std::u16string FromUtf8(std::string_view text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i++]);
    const int extra = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
    std::uint32_t code = extra == 0 ? byte : byte & (0x3F >> extra);
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
    const int extra = code < 0x80 ? 0 : code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
    constexpr unsigned char lead[] = {0x00, 0xC0, 0xE0, 0xF0};
    out.push_back(static_cast<char>(lead[extra] | (code >> (6 * extra))));
    for (int k = extra - 1; k >= 0; --k) {
      out.push_back(static_cast<char>(0x80 | ((code >> (6 * k)) & 0x3F)));
    }
  }
  return out;
}

int CopyBounded(std::u16string_view text, char16_t* out, int capacity) {
  if (out == nullptr || capacity <= 0) return 0;
  const std::size_t count =
      std::min<std::size_t>(text.size(), static_cast<std::size_t>(capacity - 1));
  std::copy_n(text.begin(), count, out);
  out[count] = u'\0';
  return static_cast<int>(count);
}

}  // namespace sim
