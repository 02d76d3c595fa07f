// button_picture_stub.cpp - the button picture until the button wait that
// loads it (btndef) is built: never loaded, so blt draws nothing.
#include "graphics/offscreen_commands.h"

Surface ButtonPicture;
