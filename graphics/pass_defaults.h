// pass_defaults.h - the graphics settings set at every pass of the start-up
// loop, in the order the loop sets them.
#pragma once

void SetGraphicsPassDefaults();    // BlankIfMissing 0
void SetStandingPictureDefaults(); // standing-picture centres and baseline
void SetGraphicsLoadDefaults();    // DefaultTransMode 0
void ClearImagePlugins();          // the 50 image-plug-in entries ""
void ResetEffectTable();           // effects 0 and 1 only
