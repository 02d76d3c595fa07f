// optional.h - the optional libraries bound once at start-up.  Each is a
// built-in implementation that counts as present only when the game folder
// (or its "dll" folder) ships a library of that name, as ".dll" or ".so".
#pragma once

extern bool LuaBridgeLoaded;    // "ovlua.dll" or "dll\ovlua.dll"
extern bool OggPlugin2Active;   // "dll\ovogg2.dll" or "ovogg2.dll"
extern bool OggPluginActive;    // "ovogg.dll"
extern bool OggDecoderLoaded;   // "oggdec.dll"
extern bool PngLibraryLoaded;   // "dll\ovpng.dll" or "ovpng.dll"

// True when the game folder holds `name` ("x.dll"), or the same with ".so".
bool OptionalLibraryPresent(const char* name);
// The start-up binding, in order: Lua bridge, Ogg, PNG.
void BindOptionalLibraries();
