// Temporary weak stand-ins for modules being written in parallel.
#include "core/integration_stubs.h"
#include "core/labels.h"
#include "core/reset.h"
#include "platform/platform.h"
#define WEAK __attribute__((weak))
WEAK void RunInterpreter(int define) {
    if (define) return;
    while (PumpMessageOrSleep()) {}
    for (;;) PumpMessageOrSleep();
}
WEAK void ClearDebugLogFlag() {}
WEAK void ClearDefsubNames() {}
WEAK void ClearAliasTables() {}
WEAK void ResetToStart() {}
WEAK void AllocateLabelTable(int) {}
WEAK void FreeLabelTable() {}
WEAK void ScanLabels() {}
WEAK void ScriptError(const char*, const char* m) { PlatMessageBox(m, "", 0, false); PlatExit(0); }
