// reset_ext.h - the extension interfaces' part of every reset to *start
// (core/reset.cpp), run last, when the story already stands at *start: once
// per process, with the Lua bridge loaded, "system.lua" runs (from the
// folder, else the ova, else the ov2 archives; a failure ends the process
// with -1); then the ":reset" hook, when bound, runs with DefineRunning
// cleared, its failure a fatal error.  (The texture interface leaves its
// off-screen mode at the start of the reset, not here.)
#pragma once

void ResetExtState();
