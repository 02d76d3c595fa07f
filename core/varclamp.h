// varclamp.h - ClampIntVars: the intlimit bounds applied to every numeric
// variable, after the numeric stores of the commands that clamp.  It lives
// with the tables in core/variables.h.
#pragma once

#include "core/variables.h"
