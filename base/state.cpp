// The one AppState record, constant-initialised so that nothing runs before the entry procedure.
#include "base/state.h"

constinit AppStateData AppState = InitialAppState();

void ResetAppState() { AppState = InitialAppState(); }
