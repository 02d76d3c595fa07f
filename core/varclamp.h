// varclamp.h - ClampIntVars: the intlimit bounds applied to every numeric
// variable, after the numeric stores of the commands that clamp.
#pragma once

// For every N whose IntLimitMax[N] is not -1: above the max becomes the max,
// then below the min becomes the min (so min wins over a smaller max).
void ClampIntVars();
