// The rows of the process list and the look-ups behind them.
#include "procview/process_list.h"

#include "base/state.h"
#include "base/text.h"
#include "platform/dialogs.h"
#include "platform/graphics.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/toolhelp.h"
#include "platform/windowing.h"

namespace {

constexpr int ExtensionChars = 4;  // ".exe"
constexpr int MaxIconSide = 32;

// A fully transparent icon for a row whose file gives none, so that image indexes stay equal to
// row indexes. Made on first need within one fill; 0 until then.
struct NeutralIcon {
  plat::Icon Handle;
  int Side;
};

plat::Icon GetNeutralIcon(NeutralIcon& neutral) {
  if (neutral.Handle != plat::Icon{}) return neutral.Handle;
  // Rows of 4-bit pixels and 1-bit mask pixels (1 = transparent), padded to 16 bits.
  static constexpr std::uint8_t Color[MaxIconSide * MaxIconSide / 2] = {};
  static constexpr auto Mask = [] {
    struct {
      std::uint8_t Bits[MaxIconSide * MaxIconSide / 8];
    } m{};
    for (auto& b : m.Bits) b = 0xFF;
    return m;
  }();
  const plat::Bitmap color = plat::CreateBitmap(neutral.Side, neutral.Side, 1, 4, Color);
  const plat::Bitmap mask = plat::CreateBitmap(neutral.Side, neutral.Side, 1, 1, Mask.Bits);
  if (color != plat::Bitmap{} && mask != plat::Bitmap{}) {
    neutral.Handle = plat::CreateIconIndirect(plat::IconInfo{true, 0, 0, mask, color});
  }
  if (color != plat::Bitmap{}) plat::DeleteObject(color);
  if (mask != plat::Bitmap{}) plat::DeleteObject(mask);
  return neutral.Handle;
}

// The executable's name without its extension, into TextBuffer; a name too short to have one is
// kept whole.
void FormatProcessName(const char16_t* exeFile) {
  int length = TextLength(exeFile);
  if (length > ExtensionChars) length -= ExtensionChars;
  if (length > TextBufferChars - 1) length = TextBufferChars - 1;
  for (int i = 0; i < length; ++i) AppState.TextBuffer[i] = exeFile[i];
  AppState.TextBuffer[length] = u'\0';
}

// Column 3 from the path in TextBuffer, then the file's icon and size (empty when unreadable).
void AddFileColumns(plat::Window list, int row, plat::ImageList images, NeutralIcon& neutral) {
  plat::FileAttributeData attributes{};
  const bool haveSize =
      AppState.TextBuffer[0] != u'\0' &&
      plat::GetFileAttributesExW(AppState.TextBuffer, plat::GetFileExInfoStandard, &attributes);
  plat::ShellFileInfo info{};
  const bool haveIcon = AppState.TextBuffer[0] != u'\0' &&
                        plat::SHGetFileInfo(AppState.TextBuffer, 0, &info,
                                            plat::SHGFI_ICON | plat::SHGFI_SMALLICON) != 0 &&
                        info.IconHandle != plat::Icon{};
  int added = -1;
  if (haveIcon) {
    added = plat::ImageList_ReplaceIcon(images, -1, info.IconHandle);
    plat::DestroyIcon(info.IconHandle);
  }
  if (added < 0) plat::ImageList_ReplaceIcon(images, -1, GetNeutralIcon(neutral));
  if (haveSize) {
    const auto low = static_cast<std::uint32_t>(attributes.Size & 0xFFFFFFFFu);
    FormatText(AppState.TextBuffer, TextBufferChars, u"%d Кб", static_cast<int>(low >> 10));
    plat::ListViewSetItemText(list, row, 4, AppState.TextBuffer);
  }
}

}  // namespace

void FillProcessList(plat::Window list) {
  const int side = 16 * AppState.IconScale;
  const plat::ImageList images = plat::ImageList_Create(side, side, plat::ILC_COLORDDB, 1, 1);
  NeutralIcon neutral{plat::Icon{}, side > MaxIconSide ? MaxIconSide : side};
  const std::uint32_t ownId = plat::GetCurrentProcessId();
  const plat::Handle snapshot = plat::CreateToolhelp32Snapshot(plat::TH32CS_SNAPPROCESS, 0);
  if (snapshot != plat::InvalidHandle) {
    plat::ProcessEntry process{};
    int row = 0;
    for (bool more = plat::Process32First(snapshot, &process); more;
         more = plat::Process32Next(snapshot, &process)) {
      if (process.ProcessId == ownId) continue;
      FormatProcessName(process.ExeFile);
      plat::ListViewInsertItem(list, row, AppState.TextBuffer, row,
                               static_cast<plat::LParam>(process.ProcessId));
      AppState.TextBuffer[0] = u'\0';
      plat::EnumWindows(FindProcessWindowTitle, static_cast<plat::LParam>(process.ProcessId));
      plat::ListViewSetItemText(list, row, 1, AppState.TextBuffer);
      FormatText(AppState.TextBuffer, TextBufferChars, u"%d", static_cast<int>(process.Threads));
      plat::ListViewSetItemText(list, row, 2, AppState.TextBuffer);
      // A process that has ended since the snapshot has no path: its cells stay empty.
      if (plat::GetModuleFileNameW(process.ProcessId, AppState.TextBuffer, TextBufferChars) == 0) {
        AppState.TextBuffer[0] = u'\0';
      }
      plat::ListViewSetItemText(list, row, 3, AppState.TextBuffer);
      AddFileColumns(list, row, images, neutral);
      ++row;
    }
    plat::CloseToolhelp32Snapshot(snapshot);
  }
  const plat::ImageList replaced = plat::ListViewSetImageList(list, images, plat::LVSIL_SMALL);
  if (replaced != plat::ImageList{}) plat::ImageList_Destroy(replaced);
  if (neutral.Handle != plat::Icon{}) plat::DestroyIcon(neutral.Handle);
}

int FindProcessWindowTitle(plat::Window window, plat::LParam processId) {
  AppState.TextBuffer[0] = u'\0';
  if (!plat::IsWindowVisible(window)) return 1;
  if (plat::GetWindowTextW(window, AppState.TextBuffer, TextBufferChars) <= 0) {
    AppState.TextBuffer[0] = u'\0';
    return 1;
  }
  std::uint32_t windowProcess = 0;
  plat::GetWindowThreadProcessId(window, &windowProcess);
  // The shell's own windows (desktop, taskbar) name no program: never a title.
  std::uint32_t shellProcess = 0;
  plat::GetWindowThreadProcessId(plat::GetShellWindow(), &shellProcess);
  if (windowProcess != shellProcess && windowProcess == static_cast<std::uint32_t>(processId)) {
    return 0;
  }
  AppState.TextBuffer[0] = u'\0';
  return 1;
}

std::uint32_t GetSelectedProcessId(plat::Window list) {
  for (int i = plat::ListViewGetNextItem(list, -1, plat::LVNI_ALL); i != -1;
       i = plat::ListViewGetNextItem(list, i, plat::LVNI_ALL)) {
    if ((plat::ListViewGetItemState(list, i, plat::LVIS_SELECTED) & plat::LVIS_SELECTED) == 0) {
      continue;
    }
    plat::LParam parameter = 0;
    if (!plat::ListViewGetItemParam(list, i, &parameter)) return 0;
    return static_cast<std::uint32_t>(parameter);
  }
  return 0;
}
