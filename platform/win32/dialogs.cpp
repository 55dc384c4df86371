// Dialog boxes, their list-view and tree-view controls, image lists, message boxes and beeps
// over the Windows API and the common controls.
// Windows API only; no program logic.
#include "platform/win32/windows_api.h"

using win32::ToPlatform;
using win32::ToWindows;
using win32::Wide;

namespace {

HWND Hwnd(plat::Window window) { return ToWindows<HWND>(window); }

// The controls take their texts as writable pointers but only read them.
LPWSTR Text(const char16_t* text) {
  return const_cast<LPWSTR>(reinterpret_cast<LPCWSTR>(text != nullptr ? text : u""));
}

// One running dialog box: it lives on the frame of the call that runs its loop. The running
// dialogs form a stack, since a dialog opened from inside another's loop runs its own loop above
// it, and only the innermost loop can return.
struct DialogRun {
  plat::DialogProc Procedure;
  LPARAM InitParam;
  HWND Window;  // set by the dialog's own first WM_INITDIALOG
  bool Ended;
  plat::LResult Result;
  DialogRun* Outer;
};

DialogRun* Innermost = nullptr;  // the user-interface thread's running dialogs

DialogRun* RunOf(HWND window) {
  for (DialogRun* run = Innermost; run != nullptr; run = run->Outer) {
    if (run->Window == window && window != nullptr) return run;
  }
  return nullptr;
}

// Another process can send any dialog any message, WM_INITDIALOG included, with any lParam. So
// no lParam is ever followed as a pointer: a dialog is bound to its run once, by its first
// WM_INITDIALOG while that run is being created (the creation parameter names the run, and is
// only compared). Messages before the binding, and every later WM_INITDIALOG, get the default
// handling.
INT_PTR CALLBACK DialogTrampoline(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogRun* run = RunOf(dialog);
  if (run == nullptr) {
    DialogRun* creating = Innermost;
    if (message != WM_INITDIALOG || creating == nullptr || creating->Window != nullptr ||
        lParam != reinterpret_cast<LPARAM>(creating)) {
      return FALSE;
    }
    creating->Window = dialog;
    return creating->Procedure(ToPlatform<plat::Window>(dialog), message, wParam,
                               creating->InitParam);
  }
  if (message == WM_INITDIALOG) return FALSE;
  return run->Procedure(ToPlatform<plat::Window>(dialog), message, wParam, lParam);
}

// The keyboard of every running dialog, not only the innermost: Escape, Enter and Tab work in a
// dialog while another one opened from it runs its loop.
bool IsRunningDialogMessage(MSG* message) {
  const HWND top = ::GetAncestor(message->hwnd, GA_ROOT);
  const DialogRun* run = RunOf(top);
  return run != nullptr && !run->Ended && ::IsDialogMessageW(top, message) != FALSE;
}

}  // namespace

namespace plat {

LResult DialogBoxIndirectParamW(Instance module, const void* dialogTemplate, Window owner,
                                DialogProc procedure, LParam initParam) {
  if (dialogTemplate == nullptr || procedure == nullptr) return -1;
  DialogRun run{procedure, initParam, nullptr, false, 0, Innermost};
  Innermost = &run;
  const HWND ownerWindow = ToWindows<HWND>(owner);
  const HWND dialog = ::CreateDialogIndirectParamW(
      ToWindows<HINSTANCE>(module), static_cast<LPCDLGTEMPLATEW>(dialogTemplate), ownerWindow,
      &DialogTrampoline, reinterpret_cast<LPARAM>(&run));
  if (dialog == nullptr) {
    Innermost = run.Outer;
    return -1;
  }
  // A modal dialog's owner takes no input while it runs.
  const bool ownerWasEnabled = ownerWindow != nullptr && ::EnableWindow(ownerWindow, FALSE) == 0;
  if (!run.Ended) ::ShowWindow(dialog, SW_SHOW);
  MSG message;
  while (!run.Ended) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {  // the quit message ends the dialog and is left for the caller's loop
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    // Posted, a message of a pointer-carrying kind came from another process: no window of the
    // program is given it.
    if (plat::UnsafeFromOutside(message.message, plat::Delivery::Posted)) continue;
    if (!IsRunningDialogMessage(&message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  if (ownerWasEnabled) ::EnableWindow(ownerWindow, TRUE);
  ::DestroyWindow(dialog);
  Innermost = run.Outer;
  return run.Result;
}

// The dialog hides at once; its loop returns when it is the innermost one again.
bool EndDialog(Window dialog, LResult result) {
  DialogRun* run = RunOf(ToWindows<HWND>(dialog));
  if (run == nullptr || run->Ended) return false;
  run->Ended = true;
  run->Result = result;
  ::ShowWindow(run->Window, SW_HIDE);
  return true;
}

Window GetDlgItem(Window dialog, int id) {
  return ToPlatform<Window>(::GetDlgItem(ToWindows<HWND>(dialog), id));
}

bool SetForegroundWindow(Window window) {
  return ::SetForegroundWindow(ToWindows<HWND>(window)) != FALSE;
}

int MessageBoxW(Window owner, const char16_t* text, const char16_t* caption, std::uint32_t style) {
  const win32::PostedPointerFilter filter;
  return ::MessageBoxW(ToWindows<HWND>(owner), Wide(text), Wide(caption), style);
}

bool MessageBeep(std::uint32_t type) { return ::MessageBeep(type) != FALSE; }

// ---- Controls of the dialogs: list view, tree view, image lists ---------------------------

int ListViewInsertColumn(Window list, int column, int format, const char16_t* header) {
  LVCOLUMNW desktop{};
  desktop.mask = LVCF_FMT | LVCF_TEXT;
  desktop.fmt = format;
  desktop.pszText = Text(header);
  return ListView_InsertColumn(Hwnd(list), column, &desktop);
}

bool ListViewSetColumnWidth(Window list, int column, int width) {
  return ListView_SetColumnWidth(Hwnd(list), column, width) != FALSE;
}

void ListViewSetExtendedStyle(Window list, std::uint32_t style) {
  ListView_SetExtendedListViewStyle(Hwnd(list), style);
}

int ListViewInsertItem(Window list, int index, const char16_t* text, int image, LParam parameter) {
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
  item.iItem = index;
  item.pszText = Text(text);
  item.iImage = image;
  item.lParam = parameter;
  return ListView_InsertItem(Hwnd(list), &item);
}

bool ListViewSetItemText(Window list, int index, int column, const char16_t* text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = Text(text);
  return ::SendMessageW(Hwnd(list), LVM_SETITEMTEXTW, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&item)) != FALSE;
}

bool ListViewDeleteAllItems(Window list) { return ListView_DeleteAllItems(Hwnd(list)) != FALSE; }

int ListViewGetNextItem(Window list, int start, int flags) {
  return ListView_GetNextItem(Hwnd(list), start, flags);
}

std::uint32_t ListViewGetItemState(Window list, int index, std::uint32_t mask) {
  return ListView_GetItemState(Hwnd(list), index, mask);
}

bool ListViewGetItemParam(Window list, int index, LParam* parameter) {
  if (parameter == nullptr) return false;
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  if (!ListView_GetItem(Hwnd(list), &item)) return false;
  *parameter = item.lParam;
  return true;
}

ImageList ListViewSetImageList(Window list, ImageList images, int kind) {
  return ToPlatform<ImageList>(
      ListView_SetImageList(Hwnd(list), ToWindows<HIMAGELIST>(images), kind));
}

// A control whose drawing comes back on is not drawn of itself: its whole area is invalidated.
void SetWindowRedraw(Window control, bool redraw) {
  ::SendMessageW(Hwnd(control), WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
  if (redraw) ::InvalidateRect(Hwnd(control), nullptr, TRUE);
}

TreeItem TreeViewInsertItem(Window tree, TreeItem parent, const char16_t* text) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent == TreeItem{} ? TVI_ROOT : ToWindows<HTREEITEM>(parent);
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = Text(text);
  return ToPlatform<TreeItem>(TreeView_InsertItem(Hwnd(tree), &insert));
}

ImageList ImageList_Create(int width, int height, std::uint32_t flags, int initial, int grow) {
  // The desktop draws an icon's transparent parts only from a masked list.
  return ToPlatform<ImageList>(::ImageList_Create(width, height, flags | ILC_MASK, initial, grow));
}

int ImageList_ReplaceIcon(ImageList images, int index, Icon icon) {
  return ::ImageList_ReplaceIcon(ToWindows<HIMAGELIST>(images), index, ToWindows<HICON>(icon));
}

bool ImageList_Destroy(ImageList images) {
  return ::ImageList_Destroy(ToWindows<HIMAGELIST>(images)) != FALSE;
}

}  // namespace plat
