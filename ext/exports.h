// exports.h - the drawing contexts the exports hand to plug-ins: contexts
// over the engine's screen pictures, and the window's picture that an
// effect plug-in draws into while it runs.
#pragma once

#include "ext/orva_plugin.h"
#include "graphics/surface.h"

// A context over the surface's current picture (refreshed at each call).
OrvaDC* DestSurfaceDC();
OrvaDC* SrcSurfaceDC();
// The window's picture as a context: opened with what the window shows,
// shown at each OrvaDoEvents until closed.
OrvaDC* OpenWindowDC();
void CloseWindowDC();
