// layers.h - the layer plug-in slots' start and end, as the frame commands
// and ScriptError call them.
#pragma once

// Calls the Initialize entry of every slot that has one, with its parameter.
void InitializeLayers();
// Calls the Finalize entry of every slot that has one.
void FinalizeLayers();
