// reset.h - back to *start with a cleared game state.
#pragma once

void ResetToStart();

// Carries out a reset asked for from the window menu (ResetRequested), as
// the interpreter loop does before each statement.
void ServiceResetRequest();
