// Start-up notices. The text is loaded into the shared TextBuffer just before it is shown.
#include "app/notice.h"

#include "base/state.h"
#include "platform/resources.h"

void ShowNotice(std::uint32_t stringId) {
  AppState.TextBuffer[0] = 0;
  plat::LoadStringW(AppState.Instance, stringId, AppState.TextBuffer, TextBufferChars);
  plat::MessageBoxW(plat::Window{}, AppState.TextBuffer, NoticeCaption, NoticeStyle);
}
