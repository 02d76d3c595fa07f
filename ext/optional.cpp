// optional.cpp - the start-up binding of the optional libraries.  Their code
// is built into the program; a game enables each by shipping the library file
// the engine would load on Windows.
#include "ext/optional.h"

#include <string>

#include "ext/luabridge.h"
#include "platform/platform.h"
#include "sound/ogg_plugin.h"

bool LuaBridgeLoaded;
bool OggPlugin2Active;
bool OggPluginActive;
bool OggDecoderLoaded;
bool PngLibraryLoaded;

bool OptionalLibraryPresent(const char* name) {
    if (PlatExists(name)) return true;
    std::string so = name;
    if (so.size() > 4 && so.compare(so.size() - 4, 4, ".dll") == 0) {
        so.replace(so.size() - 4, 4, ".so");
        return PlatExists(so.c_str());
    }
    return false;
}

void BindOptionalLibraries() {
    if (OptionalLibraryPresent("ovlua.dll") || OptionalLibraryPresent("dll\\ovlua.dll")) {
        LuaBridgeLoaded = true;
        LuaBridgeInitialize();
        RegisterLuaFunctions();
    }
    if (OptionalLibraryPresent("dll\\ovogg2.dll") || OptionalLibraryPresent("ovogg2.dll")) {
        OggPlugin2Active = true;
        BindOggPlugin();
    } else if (OptionalLibraryPresent("ovogg.dll")) {
        OggPluginActive = true;
        BindOggPlugin();
    } else if (OptionalLibraryPresent("oggdec.dll"))
        OggDecoderLoaded = true;
    PngLibraryLoaded =
        OptionalLibraryPresent("dll\\ovpng.dll") || OptionalLibraryPresent("ovpng.dll");
}
