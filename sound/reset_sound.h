// reset_sound.h - the sound state of a new game, restored by every reset to
// *start (core/reset.cpp), and the sound stopped before a saved game loads.
#pragma once

// In this order: music lowered for a voice through the Ogg library
// (BgmDuckedForVoice) back to BgmVolumeBeforeDuck, the flag cleared;
// OggBgmChannel 199, BgmLoopPointSet 0, BgmSaved 0; the CD and
// music fade-out times kept and set to 0 while StopAllSound(true) stops
// everything, then put back; the sound thread started the first time only;
// the CD audio device closed; the Application record's CD track -1 and its
// three music file names ""; the skip-mode sound file of dwave_dd "".
void ResetSoundState();

// Before a saved game loads, with the CD and music fade-out times at 0 (put
// back after): StopAllSound without stopping everything, the CD audio device
// closed, the MCI wave and every looping channel stopped, the Ogg plug-in's
// 200 channels closed and its music channel 199 again.
void StopSoundForLoad();
