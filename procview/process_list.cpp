// The rows of the process list and the look-ups behind them.
#include "procview/process_list.h"

#include <algorithm>

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

// The executable's name without its extension into `buffer`; a name too short to have one is
// kept whole.
void FormatProcessName(char16_t* buffer, int capacity, const char16_t* exeFile) {
  int length = TextLength(exeFile);
  if (length > ExtensionChars) length -= ExtensionChars;
  if (length > capacity - 1) length = capacity - 1;
  for (int i = 0; i < length; ++i) buffer[i] = exeFile[i];
  buffer[length] = u'\0';
}

// The file's icon and size columns for the executable at `path` (empty when unreadable).
void AddFileColumns(plat::Window list, int row, const char16_t* path, plat::ImageList images,
                    NeutralIcon& neutral) {
  plat::FileAttributeData attributes{};
  const bool haveSize = path[0] != u'\0' &&
                        plat::GetFileAttributesExW(path, plat::GetFileExInfoStandard, &attributes);
  plat::ShellFileInfo info{};
  const bool haveIcon =
      path[0] != u'\0' &&
      plat::SHGetFileInfo(path, 0, &info, plat::SHGFI_ICON | plat::SHGFI_SMALLICON) != 0 &&
      info.IconHandle != plat::Icon{};
  bool added = false;
  if (haveIcon) {
    added = plat::ImageList_ReplaceIcon(images, -1, info.IconHandle) >= 0;
    plat::DestroyIcon(info.IconHandle);
  }
  if (!added) plat::ImageList_ReplaceIcon(images, -1, GetNeutralIcon(neutral));
  if (haveSize) {
    const auto low = static_cast<std::uint32_t>(attributes.Size);  // the low 32 bits
    FormatText(AppState.TextBuffer, TextBufferChars, u"%d Кб", static_cast<int>(low >> 10));
    plat::ListViewSetItemText(list, row, 4, AppState.TextBuffer);
  }
}

// ---- Window titles: one pass over the top-level windows for many rows ------------------------

// The rows one pass serves: far more processes than a handheld runs. A fill with more rows makes
// one pass for each table of them, so every row still gets the same title.
constexpr int TitleTableRows = 256;

struct TitleRow {
  std::uint32_t ProcessId;
  int Row;
  bool Titled;
};

// The rows waiting for a window title, sorted by process id while the windows are enumerated.
struct TitleTable {
  plat::Window List;
  std::uint32_t ShellProcess;
  int Count;
  int Untitled;
  TitleRow Rows[TitleTableRows];
};

// What the enumeration's callback returns.
constexpr int NextWindow = 1;
constexpr int StopEnumeration = 0;

// Callback of the top-level window enumeration, called in the platform's order: the first
// visible, titled window of a row's process gives that row its title, cut to the text buffer's
// length. The shell's own windows (desktop, taskbar) name no program: never a title. Stops once
// every row has its title.
int FindProcessWindowTitle(plat::Window window, plat::LParam context) {
  TitleTable& table = *reinterpret_cast<TitleTable*>(context);
  std::uint32_t windowProcess = 0;
  plat::GetWindowThreadProcessId(window, &windowProcess);
  if (windowProcess == table.ShellProcess) return NextWindow;
  TitleRow* const end = table.Rows + table.Count;
  TitleRow* row = std::lower_bound(
      table.Rows, end, windowProcess,
      [](const TitleRow& entry, std::uint32_t id) { return entry.ProcessId < id; });
  if (row == end || row->ProcessId != windowProcess || row->Titled) return NextWindow;
  if (!plat::IsWindowVisible(window)) return NextWindow;
  char16_t title[TextBufferChars];
  if (plat::GetWindowTextW(window, title, TextBufferChars) <= 0) return NextWindow;
  // Every row of the process takes it: a snapshot may list a process id twice.
  for (; row != end && row->ProcessId == windowProcess; ++row) {
    row->Titled = true;
    --table.Untitled;
    plat::ListViewSetItemText(table.List, row->Row, 1, title);
  }
  return table.Untitled > 0 ? NextWindow : StopEnumeration;
}

// Sets the title cell of every row in the table (a row whose process has no such window keeps
// its empty cell), then empties the table.
void SetWindowTitles(TitleTable& table) {
  if (table.Count == 0) return;
  std::sort(table.Rows, table.Rows + table.Count,
            [](const TitleRow& a, const TitleRow& b) { return a.ProcessId < b.ProcessId; });
  table.ShellProcess = 0;
  plat::GetWindowThreadProcessId(plat::GetShellWindow(), &table.ShellProcess);
  table.Untitled = table.Count;
  plat::EnumWindows(FindProcessWindowTitle, reinterpret_cast<plat::LParam>(&table));
  table.Count = 0;
}

void AddTitleRow(TitleTable& table, std::uint32_t processId, int row) {
  if (table.Count == TitleTableRows) SetWindowTitles(table);
  table.Rows[table.Count++] = TitleRow{processId, row, false};
}

}  // namespace

void FillProcessList(plat::Window list) {
  // Drawn once when every row is in: row by row, hundreds of rows take seconds.
  plat::SetWindowRedraw(list, false);
  plat::ListViewDeleteAllItems(list);
  const int side = 16 * AppState.IconScale;
  const plat::ImageList images = plat::ImageList_Create(side, side, plat::ILC_COLORDDB, 1, 1);
  NeutralIcon neutral{plat::Icon{}, side > MaxIconSide ? MaxIconSide : side};
  const std::uint32_t ownId = plat::GetCurrentProcessId();
  TitleTable titles;
  titles.List = list;
  titles.Count = 0;
  const plat::Handle snapshot = plat::CreateToolhelp32Snapshot(plat::TH32CS_SNAPPROCESS, 0);
  if (snapshot != plat::InvalidHandle) {
    plat::ProcessEntry process{};
    int row = 0;
    for (bool more = plat::Process32First(snapshot, &process); more;
         more = plat::Process32Next(snapshot, &process)) {
      if (process.ProcessId == ownId) continue;
      FormatProcessName(AppState.TextBuffer, TextBufferChars, process.ExeFile);
      plat::ListViewInsertItem(list, row, AppState.TextBuffer, row,
                               static_cast<plat::LParam>(process.ProcessId));
      // Column 1, the window title, is set once every row is in: see SetWindowTitles.
      AddTitleRow(titles, process.ProcessId, row);
      FormatText(AppState.TextBuffer, TextBufferChars, u"%d", static_cast<int>(process.Threads));
      plat::ListViewSetItemText(list, row, 2, AppState.TextBuffer);
      // A process that has ended since the snapshot has no path: its cells stay empty.
      char16_t path[TextBufferChars];
      if (plat::GetModuleFileNameW(process.ProcessId, path, TextBufferChars) == 0) path[0] = u'\0';
      plat::ListViewSetItemText(list, row, 3, path);
      AddFileColumns(list, row, path, images, neutral);
      ++row;
    }
    plat::CloseToolhelp32Snapshot(snapshot);
    SetWindowTitles(titles);
  }
  const plat::ImageList replaced = plat::ListViewSetImageList(list, images, plat::LVSIL_SMALL);
  if (replaced != plat::ImageList{}) plat::ImageList_Destroy(replaced);
  if (neutral.Handle != plat::Icon{}) plat::DestroyIcon(neutral.Handle);
  plat::SetWindowRedraw(list, true);
}

std::uint32_t GetSelectedProcessId(plat::Window list) {
  for (int i = plat::ListViewGetNextItem(list, -1, plat::LVNI_ALL); i != -1;
       i = plat::ListViewGetNextItem(list, i, plat::LVNI_ALL)) {
    if ((plat::ListViewGetItemState(list, i, plat::LVIS_SELECTED) & plat::LVIS_SELECTED) == 0) {
      continue;
    }
    // A row whose parameter cannot be read counts as no selection.
    plat::LParam parameter = 0;
    plat::ListViewGetItemParam(list, i, &parameter);
    return static_cast<std::uint32_t>(parameter);
  }
  return 0;
}
