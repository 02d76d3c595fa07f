// music_commands.cpp - not built yet: each command ends the game naming itself.
#include "sound/music_commands.h"

#include "core/dispatch.h"

void Cmd_bgm() { Cmd_Unbuilt(); }
void Cmd_bgmdownmode() { Cmd_Unbuilt(); }
void Cmd_bgmfadein() { Cmd_Unbuilt(); }
void Cmd_bgmfadeout() { Cmd_Unbuilt(); }
void Cmd_bgmonce() { Cmd_Unbuilt(); }
void Cmd_bgmsave() { Cmd_Unbuilt(); }
void Cmd_bgmstop() { Cmd_Unbuilt(); }
void Cmd_bgmvol() { Cmd_Unbuilt(); }
void Cmd_chvol() { Cmd_Unbuilt(); }
void Cmd_defbgmvol() { Cmd_Unbuilt(); }
void Cmd_defmp3vol() { Cmd_Unbuilt(); }
void Cmd_defsevol() { Cmd_Unbuilt(); }
void Cmd_defvoicevol() { Cmd_Unbuilt(); }
void Cmd_delbgmvol() { Cmd_Unbuilt(); }
void Cmd_getbgmvol() { Cmd_Unbuilt(); }
void Cmd_getmp3vol() { Cmd_Unbuilt(); }
void Cmd_getsevol() { Cmd_Unbuilt(); }
void Cmd_getvoicevol() { Cmd_Unbuilt(); }
void Cmd_mode_wave_demo() { Cmd_Unbuilt(); }
void Cmd_mp3() { Cmd_Unbuilt(); }
void Cmd_mp3fadein() { Cmd_Unbuilt(); }
void Cmd_mp3fadeout() { Cmd_Unbuilt(); }
void Cmd_mp3loop() { Cmd_Unbuilt(); }
void Cmd_mp3save() { Cmd_Unbuilt(); }
void Cmd_mp3stop() { Cmd_Unbuilt(); }
void Cmd_mp3vol() { Cmd_Unbuilt(); }
void Cmd_nodv() { Cmd_Unbuilt(); }
void Cmd_sevol() { Cmd_Unbuilt(); }
void Cmd_swf() { Cmd_Unbuilt(); }
void Cmd_voicevol() { Cmd_Unbuilt(); }
void Cmd_voltest() { Cmd_Unbuilt(); }
