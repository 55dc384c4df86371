// The rows of the thread list: priority names and the duration and creation-time formats.
#include "procview/thread_list.h"

#include "base/state.h"
#include "base/text.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "platform/toolhelp.h"

namespace {

// A duration shown as a time of day: whole days are dropped, fractions of a second truncated.
void SetDurationCell(plat::Window list, int row, int column, const plat::FileTime& duration) {
  plat::SystemTime t{};
  if (!plat::FileTimeToSystemTime(&duration, &t)) return;
  FormatText(AppState.TextBuffer, TextBufferChars, u"%d:%02d:%02d", t.Hour, t.Minute, t.Second);
  plat::ListViewSetItemText(list, row, column, AppState.TextBuffer);
}

void SetCreationCell(plat::Window list, int row, const plat::FileTime& creation) {
  plat::FileTime local{};
  plat::SystemTime t{};
  if (!plat::FileTimeToLocalFileTime(&creation, &local) ||
      !plat::FileTimeToSystemTime(&local, &t)) {
    return;
  }
  FormatText(AppState.TextBuffer, TextBufferChars, u"%d:%02d:%02d %2d-%02d-%d", t.Hour, t.Minute,
             t.Second, t.Day, t.Month, t.Year);
  plat::ListViewSetItemText(list, row, 4, AppState.TextBuffer);
}

// One row per thread of AppState.ThreadListProcessId in the snapshot; closes the snapshot.
void AddThreadRows(plat::Window list, plat::Handle snapshot) {
  plat::ThreadEntry thread{};
  int row = 0;
  for (bool more = plat::Thread32First(snapshot, &thread); more;
       more = plat::Thread32Next(snapshot, &thread)) {
    if (thread.OwnerProcessId != AppState.ThreadListProcessId) continue;
    FormatText(AppState.TextBuffer, TextBufferChars, u"%d", row + 1);
    plat::ListViewInsertItem(list, row, AppState.TextBuffer, -1, 0);
    plat::ListViewSetItemText(list, row, 1, ThreadPriorityNames[thread.BasePriority & 7]);
    plat::FileTime creation{}, exit{}, kernel{}, user{};
    if (plat::GetThreadTimes(thread.ThreadId, &creation, &exit, &kernel, &user)) {
      SetDurationCell(list, row, 2, user);
      SetDurationCell(list, row, 3, kernel);
      SetCreationCell(list, row, creation);
    }
    ++row;
  }
  plat::CloseToolhelp32Snapshot(snapshot);
}

}  // namespace

void FillThreadList(plat::Window list) {
  // The times of other processes' threads are readable only with access to every process.
  plat::SetProcPermissions(0xFFFFFFFFu);
  plat::SetWindowRedraw(list, false);  // drawn once when every row is in
  plat::ListViewDeleteAllItems(list);
  const plat::Handle snapshot = plat::CreateToolhelp32Snapshot(plat::TH32CS_SNAPTHREAD, 0);
  if (snapshot != plat::InvalidHandle) AddThreadRows(list, snapshot);
  plat::SetWindowRedraw(list, true);
}
