// The command table: one constant entry per identifier IDM_FIRST..IDM_LAST, naming the operation
// and its argument, and the dispatch over it. The operations decide and report everything else.
#include "app/commands.h"

#include <array>
#include <cstdint>

#include "app/service.h"
#include "app/settings.h"
#include "base/id_ranges.h"
#include "base/state.h"
#include "clock/apply.h"
#include "info/info_dialog.h"
#include "platform/dialogs.h"
#include "platform/resources.h"
#include "platform/windowing.h"
#include "procview/process_dialog.h"

namespace {

enum class Operation : std::uint8_t {
  DefaultProcessing,  // the menu template's anchors
  ShowToolDialog,
  ApplyPreset,
  SetRunMultiplier,
  SetTurboMultiplier,
  SetMemoryDivider,
  SetFastBus,
  SetTurboMode,
  ToggleWatchMode,
  ToggleAutoMode,
  SetRunRatio,
  StoreCurrentWord,  // argument: slot index 0..7
  ClearPreset,       // argument: slot index 0..7
  SetIconColor,
  SetUpdateTempo,
  OpenHelp,
  SwitchDisplayDensity,
  SetScreenOrientation,
  SetIconView,
  ToggleAutostart,
  SoftReset,
  HardReset,
  ExitProgram,
};

struct Command {
  Operation operation;
  std::int32_t argument;
};

using CommandTable = std::array<Command, CommandCount>;

// Fills identifiers first..last with `operation`, the argument counting up from `argument`.
constexpr void Fill(CommandTable& table, int first, int last, Operation operation,
                    int argument = 0) {
  for (int id = first; id <= last; ++id, ++argument) {
    table[static_cast<std::size_t>(id - IDM_FIRST)] = {operation, argument};
  }
}

constexpr CommandTable BuildCommandTable() {
  CommandTable t{};  // the anchors keep the default processing it starts with
  Fill(t, IDM_PROCESSES, IDM_PROCESSES, Operation::ShowToolDialog, ProcessListDialog);
  Fill(t, IDM_PRESET_FIRST, IDM_PRESET_LAST, Operation::ApplyPreset, 1);
  Fill(t, IDM_RUN_X1, IDM_RUN_X4, Operation::SetRunMultiplier, 1);
  Fill(t, IDM_TURBO_X10, IDM_TURBO_X40, Operation::SetTurboMultiplier, 2);
  Fill(t, IDM_MEMORY_HALF, IDM_MEMORY_FULL, Operation::SetMemoryDivider, 0);
  Fill(t, IDM_BUS_HALF, IDM_BUS_FULL, Operation::SetFastBus, 0);
  Fill(t, IDM_MODE_NORMAL, IDM_MODE_TURBO, Operation::SetTurboMode, 0);
  Fill(t, IDM_WATCH, IDM_WATCH, Operation::ToggleWatchMode);
  Fill(t, IDM_FREQUENCY_FIRST, IDM_FREQUENCY_LAST, Operation::SetRunRatio, 1);
  Fill(t, IDM_STORE_FIRST, IDM_STORE_LAST, Operation::StoreCurrentWord, 0);
  Fill(t, IDM_CLEAR_FIRST, IDM_CLEAR_LAST, Operation::ClearPreset, 0);
  Fill(t, IDM_COLOR_BLACK, IDM_BACK_WHITE, Operation::SetIconColor, 0);
  Fill(t, IDM_TEMPO_QUARTER, IDM_TEMPO_4S, Operation::SetUpdateTempo, 0);
  Fill(t, IDM_SERVICE_PROCESSES, IDM_SERVICE_PROCESSES, Operation::ShowToolDialog,
       ProcessListDialog);
  Fill(t, IDM_INFO, IDM_INFO, Operation::ShowToolDialog, InformationDialog);
  Fill(t, IDM_HELP, IDM_HELP, Operation::OpenHelp);
  Fill(t, IDM_VGA, IDM_REALVGA, Operation::SwitchDisplayDensity, DensityVga);
  Fill(t, IDM_ROTATE_0, IDM_ROTATE_180, Operation::SetScreenOrientation, 0);
  Fill(t, IDM_ROTATE_270, IDM_ROTATE_270, Operation::SetScreenOrientation, 4);  // DMDO_270
  Fill(t, IDM_VIEW_PLAIN, IDM_VIEW_CURRENT, Operation::SetIconView, ViewPlain);
  Fill(t, IDM_AUTOSTART, IDM_AUTOSTART, Operation::ToggleAutostart);
  Fill(t, IDM_SOFT_RESET, IDM_SOFT_RESET, Operation::SoftReset);
  Fill(t, IDM_HARD_RESET, IDM_HARD_RESET, Operation::HardReset);
  Fill(t, IDM_EXIT, IDM_EXIT, Operation::ExitProgram);
  Fill(t, IDM_AUTO, IDM_AUTO, Operation::ToggleAutoMode);
  return t;
}

constexpr CommandTable Commands = BuildCommandTable();
static_assert(DensityRealVga == DensityVga + 1, "the density commands count up from VGA");

// Only the anchors may be left to the default processing: an identifier the table forgot
// would otherwise look like one.
constexpr int CountDefaultProcessing() {
  int n = 0;
  for (const Command& c : Commands) n += c.operation == Operation::DefaultProcessing ? 1 : 0;
  return n;
}
static_assert(CountDefaultProcessing() == 3, "every identifier but the three anchors has work");

// Carries out a command; false for an anchor, which is left to the default processing.
bool Carry(Operation operation, int argument, plat::Window window) {
  switch (operation) {  // GCOVR_EXCL_BR_LINE: unreachable: every operation has a case
    case Operation::ShowToolDialog:
      ShowToolDialog(static_cast<ToolDialog>(argument));
      break;
    case Operation::ApplyPreset:
      ApplyPreset(argument);
      break;
    case Operation::SetRunMultiplier:
      SetRunMultiplier(argument);
      break;
    case Operation::SetTurboMultiplier:
      SetTurboMultiplier(argument);
      break;
    case Operation::SetMemoryDivider:
      SetMemoryDivider(argument);
      break;
    case Operation::SetFastBus:
      SetFastBus(argument);
      break;
    case Operation::SetTurboMode:  // a choice by hand ends the automatic one first
      if (AppState.AutoMode != 0) ToggleAutoMode();
      SetTurboMode(argument);
      break;
    case Operation::ToggleWatchMode:
      ToggleWatchMode();
      break;
    case Operation::ToggleAutoMode:
      ToggleAutoMode();
      break;
    case Operation::SetRunRatio:
      SetRunRatio(argument);
      break;
    case Operation::StoreCurrentWord:
      StorePreset(argument, AppState.CurrentClockWord);
      break;
    case Operation::ClearPreset:
      StorePreset(argument, 0);
      break;
    case Operation::SetIconColor:
      SetIconColor(argument);
      break;
    case Operation::SetUpdateTempo:
      SetUpdateTempo(static_cast<std::uint32_t>(argument));
      break;
    case Operation::OpenHelp:
      OpenHelp();
      break;
    case Operation::SwitchDisplayDensity:
      SwitchDisplayDensity(static_cast<DisplayDensity>(argument));
      break;
    case Operation::SetScreenOrientation:
      SetScreenOrientation(static_cast<std::uint32_t>(argument));
      break;
    case Operation::SetIconView:
      SetIconView(static_cast<std::uint32_t>(argument));
      break;
    case Operation::ToggleAutostart:
      ToggleAutostart();
      break;
    case Operation::SoftReset:
      SoftReset();
      break;
    case Operation::HardReset:
      HardReset();
      break;
    case Operation::ExitProgram:
      ExitProgram(window);
      break;
    case Operation::DefaultProcessing:
      return false;
  }
  return true;
}

}  // namespace

plat::LResult HandleMenuCommand(plat::Window window, plat::WParam wParam, plat::LParam lParam) {
  const unsigned index = static_cast<unsigned>(plat::LoWord(wParam)) - IDM_FIRST;
  if (index < static_cast<unsigned>(CommandCount) &&
      Carry(Commands[index].operation, Commands[index].argument, window)) {
    return 0;
  }
  return plat::DefWindowProcW(window, plat::WM_COMMAND, wParam, lParam);
}

void ShowToolDialog(ToolDialog dialog) {
  const bool information = dialog == InformationDialog;
  const plat::Window open = information ? AppState.InfoDialogWindow : AppState.ProcessDialogWindow;
  if (open != plat::Window{}) {
    plat::SetForegroundWindow(open);
    return;
  }
  // A closed copy whose loop still waits under another dialog's would be nested under again and
  // again by alternating requests: one copy at a time. The request is kept, and the dialog opens
  // as soon as that loop has returned (unless the program is closing by then).
  std::uint8_t& running = information ? AppState.InfoDialogRunning : AppState.ProcessDialogRunning;
  if (running != DialogLoopIdle) {
    running = DialogLoopAskedAgain;
    return;
  }
  const plat::ResourceInfo found =
      plat::FindResourceW(AppState.Instance, static_cast<std::uint16_t>(dialog), plat::RT_DIALOG);
  if (found == plat::ResourceInfo{}) return;
  const void* dialogTemplate = plat::LoadResource(AppState.Instance, found);
  // A found template that does not load is not tested: the simulated loader loads every one.
  if (dialogTemplate == nullptr) return;  // GCOVR_EXCL_BR_LINE: not tested, see above
  do {
    running = DialogLoopRunning;
    plat::DialogBoxIndirectParamW(AppState.Instance, dialogTemplate, plat::Window{},
                                  information ? InfoDialogProc : ProcessDialogProc, 0);
  } while (running == DialogLoopAskedAgain && AppState.CloseHandled == 0);
  running = DialogLoopIdle;
}
