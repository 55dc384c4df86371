// The menu command table and its dispatch: every command identifier IDM_FIRST..IDM_LAST turns into
// one operation of the clock, the settings, the service commands or the tool dialogs. It sits with
// the program's shell because its operations reach the settings store.
#pragma once

#include "base/ids.h"
#include "platform/types.h"

// The main window's WM_COMMAND handling. The identifier is the low word of wParam. Returns 0
// for a command that has an operation; anything else (the anchors, identifiers outside the
// range) gets the platform's default processing, whose result is returned.
plat::LResult HandleMenuCommand(plat::Window window, plat::WParam wParam, plat::LParam lParam);

// The two tool dialogs, by template identifier.
enum ToolDialog : int { ProcessListDialog = IDD_PROCESSES, InformationDialog = IDD_INFO };

// Runs the tool dialog modally until it ends, or brings it forward when it is open already
// (a request from inside another dialog's loop, or from inside its own).
void ShowToolDialog(ToolDialog dialog);
