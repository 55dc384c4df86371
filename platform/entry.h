// The program's entry as a backend's process entry point calls it: the one platform header whose
// function the program defines (app/startup.cpp), so that no file under platform/ includes
// anything above it.
#pragma once

#include "platform/types.h"

// Runs the program; returns the process exit code (1 when not installed, else 0).
int ZorvikMain(plat::Instance instance, const char16_t* commandLine);
