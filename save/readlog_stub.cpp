// readlog_stub.cpp - storage of the read-log until "kidoku.dat" is built
// (then this file goes).  Without flags nothing is marked.
#include "save/readlog.h"

uint8_t* ReadFlags = nullptr;
int ReadFlagsSize = 0;
int KidokuMode = 1;
