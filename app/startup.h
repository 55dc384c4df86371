// The entry procedure: launch words, the single-instance hand-off, start-up and the message loop.
#pragma once

#include "platform/entry.h"

// What the command line asks of the resident copy: -1 nothing, 0 re-apply the clock (wake-up),
// 1..8 apply that preset slot.
int ParseLaunchRequest(const char16_t* commandLine);
