// command_table.cpp - every built-in command in the order the dispatcher
// tests them, in its mode group: every mode (tests 1-125), the *define block
// only (126-217), the story only (218-477).  A name that appears twice keeps
// its first entry (time, drawclear).
#include "archive/archive_commands.h"
#include "core/arith_commands.h"
#include "core/array_commands.h"
#include "core/condition_commands.h"
#include "core/csv.h"
#include "core/debug.h"
#include "core/dispatch.h"
#include "core/file_commands.h"
#include "core/flow_commands.h"
#include "core/frame_commands.h"
#include "core/loop_commands.h"
#include "core/param_commands.h"
#include "core/string_commands.h"
#include "core/system_commands.h"
#include "core/var_commands.h"
#include "ext/layer_commands.h"
#include "ext/lua_commands.h"
#include "graphics/anim.h"
#include "graphics/background_commands.h"
#include "graphics/effect_commands.h"
#include "graphics/filter_commands.h"
#include "graphics/imagetag.h"
#include "graphics/offscreen_commands.h"
#include "graphics/picture_tools.h"
#include "graphics/quake_commands.h"
#include "graphics/sprite_commands.h"
#include "save/persist_commands.h"
#include "save/slot_commands.h"
#include "save/slotmenu_commands.h"
#include "sound/aviwrite_commands.h"
#include "sound/cd_commands.h"
#include "sound/loopbgm_commands.h"
#include "sound/movie_commands.h"
#include "sound/music_commands.h"
#include "sound/voice_commands.h"
#include "text/backlog_commands.h"
#include "text/click_commands.h"
#include "text/cursor_commands.h"
#include "text/display_commands.h"
#include "text/font_commands.h"
#include "text/lookback_commands.h"
#include "text/strsp_commands.h"
#include "text/textbtn_commands.h"
#include "text/textwindow_commands.h"
#include "ui/bsp_commands.h"
#include "ui/button_commands.h"
#include "ui/dialog_commands.h"
#include "ui/exbtn_commands.h"
#include "ui/input_commands.h"
#include "ui/menu_commands.h"
#include "ui/rmenu_commands.h"
#include "ui/select_commands.h"
#include "ui/trap_commands.h"
#include "ui/wait_commands.h"

#define E(name, handler) {#name, GroupEvery, handler}
#define D(name, handler) {#name, GroupDefine, handler}
#define S(name, handler) {#name, GroupStory, handler}

const CommandEntry CommandTable[] = {
    // every mode
    E(getparam, Cmd_getparam),  // 1
    E(getparam2, Cmd_getparam2),  // 2
    E(automode_time, Cmd_automode_time),  // 3
    E(automode_time2, Cmd_automode_time2),  // 4
    E(gettag, Cmd_gettag),  // 5
    E(seteffectspeed, Cmd_seteffectspeed),  // 6
    E(geteffectspeed, Cmd_geteffectspeed),  // 7
    E(transbtn, Cmd_transbtn),  // 8
    E(mp3fadeout, Cmd_mp3fadeout),  // 9
    E(bgmfadeout, Cmd_bgmfadeout),  // 10
    E(mp3fadein, Cmd_mp3fadein),  // 11
    E(bgmfadein, Cmd_bgmfadein),  // 12
    E(cdfadeout, Cmd_cdfadeout),  // 13
    E(getversion, Cmd_getversion),  // 14
    E(grptest, Cmd_grptest),  // 15
    E(bw2a, Cmd_bw2a),  // 16
    E(bw2a2, Cmd_bw2a2),  // 17
    E(bw2a3, Cmd_bw2a3),  // 18
    E(aviwriteopen, Cmd_aviwriteopen),  // 19
    E(aviwrite, Cmd_aviwrite),  // 20
    E(aviwriteclose, Cmd_aviwriteclose),  // 21
    E(bmpcut, Cmd_bmpcut),  // 22
    E(definereset, Cmd_definereset),  // 23
    E(mousemode, Cmd_mousemode),  // 24
    E(mousecursor, Cmd_mousecursor),  // 25
    E(caption, Cmd_caption),  // 26
    E(end, Cmd_end),  // 27
    E(winexec, Cmd_winexec),  // 28
    E(filecreate, Cmd_filecreate),  // 29
    E(fileremove, Cmd_fileremove),  // 30
    E(date, Cmd_date),  // 31
    E(time, Cmd_time),  // 32
    E(getsavestr, Cmd_getsavestr),  // 33
    E(savetime, Cmd_savetime),  // 34
    E(savetime2, Cmd_savetime2),  // 35
    E(time, Cmd_time),  // 36
    E(rubyoff, Cmd_rubyoff),  // 37
    E(rubyon, Cmd_rubyon),  // 38
    E(rubyon2, Cmd_rubyon2),  // 39
    E(split, Cmd_split),  // 40
    E(splitnum, Cmd_splitnum),  // 41
    E(debuglog, Cmd_debuglog),  // 42
    E(linkcolor, Cmd_linkcolor),  // 43
    E(mojitype, Cmd_mojitype),  // 44
    E(effectskip, Cmd_effectskip),  // 45
    E(humanpos, Cmd_humanpos),  // 46
    E(underline, Cmd_underline),  // 47
    E(movl, Cmd_movl),  // 48
    E(kidokumode, Cmd_kidokumode),  // 49
    E(setcolor, Cmd_setcolor),  // 50
    E(bgmdownmode, Cmd_bgmdownmode),  // 51
    E(textbtnstart, Cmd_textbtnstart),  // 52
    E(textcolor, Cmd_textcolor),  // 53
    E(luastr, Cmd_luastr),  // 54
    E(labelexist, Cmd_labelexist),  // 55
    E(mov, Cmd_mov),  // 56
    E(mov5, Cmd_mov5),  // 57
    E(exec_dll, Cmd_exec_dll),  // 58
    E(mov6, Cmd_mov6),  // 59
    E(mov7, Cmd_mov7),  // 60
    E(mov8, Cmd_mov8),  // 61
    E(mov9, Cmd_mov9),  // 62
    E(mov10, Cmd_mov10),  // 63
    E(mov4, Cmd_mov4),  // 64
    E(mov3, Cmd_mov3),  // 65
    E(rnd, Cmd_rnd),  // 66
    E(sin, Cmd_sin),  // 67
    E(cos, Cmd_cos),  // 68
    E(tan, Cmd_tan),  // 69
    E(rnd2, Cmd_rnd2),  // 70
    E(addovadir, Cmd_addovadir),  // 71
    E(font2bmp, Cmd_font2bmp),  // 72
    E(getreg, Cmd_getreg),  // 73
    E(getini, Cmd_getini),  // 74
    E(itoa2, Cmd_itoa2),  // 75
    E(itoa, Cmd_itoa),  // 76
    E(atoi, Cmd_atoi),  // 77
    E(add, Cmd_add),  // 78
    E(sub, Cmd_sub),  // 79
    E(inc, Cmd_inc),  // 80
    E(dec, Cmd_dec),  // 81
    E(shell, Cmd_shell),  // 82
    E(spfont, Cmd_spfont),  // 83
    E(shadedistance, Cmd_shadedistance),  // 84
    E(mul, Cmd_mul),  // 85
    E(div, Cmd_div),  // 86
    E(mod, Cmd_mod),  // 87
    E(tablegoto, Cmd_tablegoto),  // 88
    E(jumpf, Cmd_jumpf),  // 89
    E(jumpb, Cmd_jumpb),  // 90
    E(goto, Cmd_goto),  // 91
    E(skip, Cmd_skip),  // 92
    E(gosub, Cmd_gosub),  // 93
    E(for, Cmd_for),  // 94
    E(next, Cmd_next),  // 95
    E(break, Cmd_break),  // 96
    E(texec, Cmd_texec),  // 97
    E(texec2, Cmd_texec2),  // 98
    E(noreturn, Cmd_noreturn),  // 99
    E(return, Cmd_return),  // 100
    E(len, Cmd_len),  // 101
    E(chainbmp, Cmd_chainbmp),  // 102
    E(mid, Cmd_mid),  // 103
    E(cmp, Cmd_cmp),  // 104
    E(notif, Cmd_notif),  // 105
    E(if, Cmd_if),  // 106
    E(testfunc, Cmd_testfunc),  // 107
    E(mesbox, Cmd_mesbox),  // 108
    E(yesnobox, Cmd_yesnobox),  // 109
    E(okcancelbox, Cmd_okcancelbox),  // 110
    E(windoweffect, Cmd_windoweffect),  // 111
    E(convgif, Cmd_convgif),  // 112
    E(csvopen, Cmd_csvopen),  // 113
    E(csvclose, Cmd_csvclose),  // 114
    E(csvread, Cmd_csvread),  // 115
    E(csveof, Cmd_csveof),  // 116
    E(csvwrite, Cmd_csvwrite),  // 117
    E(readfile, Cmd_readfile),  // 118
    E(getcdvol, Cmd_getcdvol),  // 119
    E(setcdvol, Cmd_setcdvol),  // 120
    E(getspmode, Cmd_getspmode),  // 121
    E(getsppos, Cmd_getsppos),  // 122
    E(setcdrestorevol, Cmd_setcdrestorevol),  // 123
    E(resetcdrestorevol, Cmd_resetcdrestorevol),  // 124
    E(restorecdvol, Cmd_restorecdvol),  // 125
    // define block only
    D(noloaderror, Cmd_noloaderror),  // 126
    D(rgosub, Cmd_rgosub),  // 127
    D(textgosub, Cmd_textgosub),  // 128
    D(autosaveoff, Cmd_autosaveoff),  // 129
    D(pretextgosub, Cmd_pretextgosub),  // 130
    D(loadgosub, Cmd_loadgosub),  // 131
    D(savenumber, Cmd_savenumber),  // 132
    D(resetmenu, Cmd_resetmenu),  // 133
    D(insertmenu, Cmd_insertmenu),  // 134
    D(mode_ext, Cmd_mode_ext),  // 135
    D(automode, Cmd_automode),  // 136
    D(mode_wave_demo, Cmd_mode_wave_demo),  // 137
    D(dim, Cmd_dim),  // 138
    D(usewheel, Cmd_usewheel),  // 139
    D(useescspc, Cmd_useescspc),  // 140
    D(jpegmode, Cmd_jpegmode),  // 141
    D(nodv, Cmd_nodv),  // 142
    D(ctrlalt, Cmd_ctrlalt),  // 143
    D(errorsave, Cmd_errorsave),  // 144
    D(delbgmvol, Cmd_delbgmvol),  // 145
    D(maxkaisoupage, Cmd_maxkaisoupage),  // 146
    D(deletemenu, Cmd_deletemenu),  // 147
    D(clickskippage, Cmd_clickskippage),  // 148
    D(ova, Cmd_ova),  // 149
    D(englishdialog, Cmd_englishdialog),  // 150
    D(english, Cmd_english),  // 151
    D(dllfont, Cmd_dllfont),  // 152
    D(zenkakko, Cmd_zenkakko),  // 153
    D(addkinsoku, Cmd_addkinsoku),  // 154
    D(setkinsoku, Cmd_setkinsoku),  // 155
    D(windowchip, Cmd_windowchip),  // 156
    D(createdebugwindow, Cmd_createdebugwindow),  // 157
    D(ov2, Cmd_ov2),  // 158
    D(ov3, Cmd_ov3),  // 159
    D(lookbacksp, Cmd_lookbacksp),  // 160
    D(chkdbg, Cmd_chkdbg),  // 161
    D(linepage, Cmd_linepage),  // 162
    D(linepage2, Cmd_linepage2),  // 163
    D(pagetag, Cmd_pagetag),  // 164
    D(setlayer, Cmd_setlayer),  // 165
    D(defsub, Cmd_defsub),  // 166
    D(luasub, Cmd_luasub),  // 167
    D(luacall, Cmd_luacall),  // 168
    D(defvoicevol, Cmd_defvoicevol),  // 169
    D(defsevol, Cmd_defsevol),  // 170
    D(defmp3vol, Cmd_defmp3vol),  // 171
    D(defbgmvol, Cmd_defbgmvol),  // 172
    D(savedir, Cmd_savedir),  // 173
    D(ovadir, Cmd_ovadir),  // 174
    D(windowback, Cmd_windowback),  // 175
    D(kidokuskip, Cmd_kidokuskip),  // 176
    D(dsound, Cmd_dsound),  // 177
    D(noteraseman, Cmd_noteraseman),  // 178
    D(mode_tavelo, Cmd_mode_tavelo),  // 179
    D(mode_brin, Cmd_mode_brin),  // 180
    D(btnnowindowerase, Cmd_btnnowindowerase),  // 181
    D(defaultspeed, Cmd_defaultspeed),  // 182
    D(settextspeed, Cmd_settextspeed),  // 183
    D(intlimit, Cmd_intlimit),  // 184
    D(lookbackbutton, Cmd_lookbackbutton),  // 185
    D(lookbackcolor, Cmd_lookbackcolor),  // 186
    D(savename, Cmd_savename),  // 187
    D(clickstr, Cmd_clickstr),  // 188
    D(filelog, Cmd_filelog),  // 189
    D(labellog, Cmd_labellog),  // 190
    D(soundpressplgin, Cmd_soundpressplgin),  // 191
    D(versionstr, Cmd_versionstr),  // 192
    D(effectblank, Cmd_effectblank),  // 193
    D(bgalia, Cmd_bgalia),  // 194
    D(spi, Cmd_spi),  // 195
    D(arc, Cmd_arc),  // 196
    D(effect, Cmd_effect),  // 197
    D(transmode, Cmd_transmode),  // 198
    D(stralias, Cmd_stralias),  // 199
    D(killmenu, Cmd_killmenu),  // 200
    D(numalias, Cmd_numalias),  // 201
    D(defaultfont, Cmd_defaultfont),  // 202
    D(createdummy, Cmd_createdummy),  // 203
    D(selectcolor, Cmd_selectcolor),  // 204
    D(menuselectcolor, Cmd_menuselectcolor),  // 205
    D(lookbackvoice, Cmd_lookbackvoice),  // 206
    D(clickvoice, Cmd_clickvoice),  // 207
    D(selectvoice, Cmd_selectvoice),  // 208
    D(menuselectvoice, Cmd_menuselectvoice),  // 209
    D(globalon, Cmd_globalon),  // 210
    D(effectcut, Cmd_effectcut),  // 211
    D(humanz, Cmd_humanz),  // 212
    D(game, Cmd_game),  // 213
    D(rlookback, Cmd_rlookback),  // 214
    D(roff, Cmd_roff),  // 215
    D(rmenu, Cmd_rmenu),  // 216
    D(menusetwindow, Cmd_menusetwindow),  // 217
    // story only
    S(getvoicevol, Cmd_getvoicevol),  // 218
    S(getsevol, Cmd_getsevol),  // 219
    S(getspsize, Cmd_getspsize),  // 220
    S(getwindowsize, Cmd_getwindowsize),  // 221
    S(chvol, Cmd_chvol),  // 222
    S(voicevol, Cmd_voicevol),  // 223
    S(sevol, Cmd_sevol),  // 224
    S(mp3vol, Cmd_mp3vol),  // 225
    S(bgmvol, Cmd_bgmvol),  // 226
    S(getmp3vol, Cmd_getmp3vol),  // 227
    S(getbgmvol, Cmd_getbgmvol),  // 228
    S(textfield, Cmd_textfield),  // 229
    S(inputstr, Cmd_inputstr),  // 230
    S(input, Cmd_input),  // 231
    S(inputnum, Cmd_inputnum),  // 232
    S(getbgname, Cmd_getbgname),  // 233
    S(locate, Cmd_locate),  // 234
    S(puttext, Cmd_puttext),  // 235
    S(autoclick, Cmd_autoclick),  // 236
    S(br, Cmd_br),  // 237
    S(lr_trap, Cmd_lr_trap),  // 238
    S(r_trap, Cmd_r_trap),  // 239
    S(lr_trap2, Cmd_lr_trap2),  // 240
    S(lookbackon, Cmd_lookbackon),  // 241
    S(lookbackoff, Cmd_lookbackoff),  // 242
    S(trap2, Cmd_trap2),  // 243
    S(timertrap, Cmd_timertrap),  // 244
    S(trap, Cmd_trap),  // 245
    S(setcursor, Cmd_setcursor),  // 246
    S(abssetcursor, Cmd_abssetcursor),  // 247
    S(quake, Cmd_quake),  // 248
    S(yugami, Cmd_yugami),  // 249
    S(flushout, Cmd_flushout),  // 250
    S(quakex, Cmd_quakex),  // 251
    S(quakey, Cmd_quakey),  // 252
    S(rmode, Cmd_rmode),  // 253
    S(savegame, Cmd_savegame),  // 254
    S(savegame2, Cmd_savegame2),  // 255
    S(getscreenshot, Cmd_getscreenshot),  // 256
    S(savescreenshot, Cmd_savescreenshot),  // 257
    S(savescreenshot2, Cmd_savescreenshot2),  // 258
    S(deletescreenshot, Cmd_deletescreenshot),  // 259
    S(loadgame, Cmd_loadgame),  // 260
    S(savefileexist, Cmd_savefileexist),  // 261
    S(fileexist, Cmd_fileexist),  // 262
    S(systemcall, Cmd_systemcall),  // 263
    S(tateyoko, Cmd_tateyoko),  // 264
    S(saveon, Cmd_saveon),  // 265
    S(saveoff, Cmd_saveoff),  // 266
    S(select, Cmd_select),  // 267
    S(cselgoto, Cmd_cselgoto),  // 268
    S(ispage, Cmd_ispage),  // 269
    S(isfull, Cmd_isfull),  // 270
    S(maskbtn, Cmd_maskbtn),  // 271
    S(btncancel, Cmd_btncancel),  // 272
    S(csel, Cmd_csel),  // 273
    S(getcselnum, Cmd_getcselnum),  // 274
    S(reset, Cmd_reset),  // 275
    S(selgosub, Cmd_selgosub),  // 276
    S(selnum, Cmd_selnum),  // 277
    S(textoff, Cmd_textoff),  // 278
    S(skipoff, Cmd_skipoff),  // 279
    S(isctrl, Cmd_isctrl),  // 280
    S(isskip, Cmd_isskip),  // 281
    S(texton, Cmd_texton),  // 282
    S(textcommit, Cmd_textcommit),  // 283
    S(textclear, Cmd_textclear),  // 284
    S(textmode, Cmd_textmode),  // 285
    S(menu_full, Cmd_menu_full),  // 286
    S(menu_click_page, Cmd_menu_click_page),  // 287
    S(menu_automode, Cmd_menu_automode),  // 288
    S(menu_dwavvol, Cmd_menu_dwavvol),  // 289
    S(menu_click_def, Cmd_menu_click_def),  // 290
    S(menu_cd_on, Cmd_menu_cd_on),  // 291
    S(menu_end, Cmd_menu_end),  // 292
    S(menu_cd_off, Cmd_menu_cd_off),  // 293
    S(menu_window, Cmd_menu_window),  // 294
    S(erasetextwindow, Cmd_erasetextwindow),  // 295
    S(monocro, Cmd_monocro),  // 296
    S(nega, Cmd_nega),  // 297
    S(panoramatest, Cmd_panoramatest),  // 298
    S(savepoint, Cmd_savepoint),  // 299
    S(bg, Cmd_bg),  // 300
    S(ld, Cmd_ld),  // 301
    S(checkkey, Cmd_checkkey),  // 302
    S(getmouseover, Cmd_getmouseover),  // 303
    S(getmclick, Cmd_getmclick),  // 304
    S(btndef, Cmd_btndef),  // 305
    S(ofscpy, Cmd_ofscpy),  // 306
    S(ofscopy, Cmd_ofscopy),  // 307
    S(drawclear, Cmd_drawclear),  // 308
    S(drawfill, Cmd_drawfill),  // 309
    S(drawbg, Cmd_drawbg),  // 310
    S(drawbg2, Cmd_drawbg2),  // 311
    S(bgcopy, Cmd_bgcopy),  // 312
    S(bgcpy, Cmd_bgcpy),  // 313
    S(drawsp, Cmd_drawsp),  // 314
    S(drawsp2, Cmd_drawsp2),  // 315
    S(drawsp3, Cmd_drawsp3),  // 316
    S(drawtext, Cmd_drawtext),  // 317
    S(draw, Cmd_draw),  // 318
    S(blt, Cmd_blt),  // 319
    S(btn, Cmd_btn),  // 320
    S(getcselstr, Cmd_getcselstr),  // 321
    S(cselbtn, Cmd_cselbtn),  // 322
    S(spbtn2, Cmd_spbtn2),  // 323
    S(spbtn, Cmd_spbtn),  // 324
    S(cellcheckspbtn, Cmd_cellcheckspbtn),  // 325
    S(existspbtn, Cmd_existspbtn),  // 326
    S(delbtn, Cmd_delbtn),  // 327
    S(exbtn_d, Cmd_exbtn_d),  // 328
    S(btnarea, Cmd_btnarea),  // 329
    S(btndown, Cmd_btndown),  // 330
    S(btn0down, Cmd_btn0down),  // 331
    S(spclclk, Cmd_spclclk),  // 332
    S(getpageup, Cmd_getpageup),  // 333
    S(getskipoff, Cmd_getskipoff),  // 334
    S(getinsert, Cmd_getinsert),  // 335
    S(getzxc, Cmd_getzxc),  // 336
    S(getpage, Cmd_getpage),  // 337
    S(getcursor, Cmd_getcursor),  // 338
    S(getfunction, Cmd_getfunction),  // 339
    S(gettab, Cmd_gettab),  // 340
    S(getenter, Cmd_getenter),  // 341
    S(escoutcursor, Cmd_escoutcursor),  // 342
    S(exbtn, Cmd_exbtn),  // 343
    S(textexbtn, Cmd_textexbtn),  // 344
    S(cellcheckexbtn, Cmd_cellcheckexbtn),  // 345
    S(isdown, Cmd_isdown),  // 346
    S(btnwait, Cmd_btnwait),  // 347
    S(btntime, Cmd_btntime),  // 348
    S(btntimer, Cmd_btntimer),  // 349
    S(btntime2, Cmd_btntime2),  // 350
    S(btnwait2, Cmd_btnwait2),  // 351
    S(getbtntimer, Cmd_getbtntimer),  // 352
    S(textbtnwait, Cmd_textbtnwait),  // 353
    S(selectbtnwait, Cmd_selectbtnwait),  // 354
    S(tbtnwait, Cmd_tbtnwait),  // 355
    S(bclear, Cmd_bclear),  // 356
    S(btrans, Cmd_btrans),  // 357
    S(bdown, Cmd_bdown),  // 358
    S(bcursor, Cmd_bcursor),  // 359
    S(bexec, Cmd_bexec),  // 360
    S(bsp, Cmd_bsp),  // 361
    S(bdef, Cmd_bdef),  // 362
    S(btime, Cmd_btime),  // 363
    S(tal, Cmd_tal),  // 364
    S(delay, Cmd_delay),  // 365
    S(spwait, Cmd_spwait),  // 366
    S(wait, Cmd_wait),  // 367
    S(textspeed, Cmd_textspeed),  // 368
    S(textspeeddefault, Cmd_textspeeddefault),  // 369
    S(resettimer, Cmd_resettimer),  // 370
    S(waittimer, Cmd_waittimer),  // 371
    S(textbtnoff, Cmd_textbtnoff),  // 372
    S(getjoypad, Cmd_getjoypad),  // 373
    S(gettextbtnstr, Cmd_gettextbtnstr),  // 374
    S(getcursorpos, Cmd_getcursorpos),  // 375
    S(getcursorpos2, Cmd_getcursorpos2),  // 376
    S(getnextline, Cmd_getnextline),  // 377
    S(gettimer, Cmd_gettimer),  // 378
    S(barclear, Cmd_barclear),  // 379
    S(prnumclear, Cmd_prnumclear),  // 380
    S(bar, Cmd_bar),  // 381
    S(prnum, Cmd_prnum),  // 382
    S(movemousecursor, Cmd_movemousecursor),  // 383
    S(minimizewindow, Cmd_minimizewindow),  // 384
    S(checkpage, Cmd_checkpage),  // 385
    S(toplain, Cmd_toplain),  // 386
    S(gettext, Cmd_gettext),  // 387
    S(getlog, Cmd_getlog),  // 388
    S(gettaglog, Cmd_gettaglog),  // 389
    S(getlogtext, Cmd_getlogtext),  // 390
    S(getret, Cmd_getret),  // 391
    S(sp_rgb_gradation, Cmd_sp_rgb_gradation),  // 392
    S(lsph, Cmd_lsph),  // 393
    S(lsph2, Cmd_lsph2),  // 394
    S(kinsoku, Cmd_kinsoku),  // 395
    S(layermessage, Cmd_layermessage),  // 396
    S(texthide, Cmd_texthide),  // 397
    S(textshow, Cmd_textshow),  // 398
    S(logsp, Cmd_logsp),  // 399
    S(logsp2, Cmd_logsp2),  // 400
    S(strsph, Cmd_strsph),  // 401
    S(strsp, Cmd_strsp),  // 402
    S(logsph, Cmd_logsph),  // 403
    S(logsph2, Cmd_logsph2),  // 404
    S(lsp, Cmd_lsp),  // 405
    S(lsp2add, Cmd_lsp2add),  // 406
    S(lsph2add, Cmd_lsph2add),  // 407
    S(lsp2sub, Cmd_lsp2sub),  // 408
    S(lsph2sub, Cmd_lsph2sub),  // 409
    S(lsp2, Cmd_lsp2),  // 410
    S(spstr, Cmd_spstr),  // 411
    S(csp, Cmd_csp),  // 412
    S(csp2, Cmd_csp2),  // 413
    S(allsphide, Cmd_allsphide),  // 414
    S(allspresume, Cmd_allspresume),  // 415
    S(allsp2hide, Cmd_allsp2hide),  // 416
    S(allsp2resume, Cmd_allsp2resume),  // 417
    S(sphide, Cmd_sphide),  // 418
    S(spresume, Cmd_spresume),  // 419
    S(vsp, Cmd_vsp),  // 420
    S(vsp2, Cmd_vsp2),  // 421
    S(nextcsel, Cmd_nextcsel),  // 422
    S(cell, Cmd_cell),  // 423
    S(msp, Cmd_msp),  // 424
    S(amsp, Cmd_amsp),  // 425
    S(msp2, Cmd_msp2),  // 426
    S(amsp2, Cmd_amsp2),  // 427
    S(cl, Cmd_cl),  // 428
    S(repaint, Cmd_repaint),  // 429
    S(erasetextbtn, Cmd_erasetextbtn),  // 430
    S(drawclear, Cmd_drawclear),  // 431
    S(setfont, Cmd_setfont),  // 432
    S(humanorder, Cmd_humanorder),  // 433
    S(font, Cmd_font),  // 434
    S(print, Cmd_print),  // 435
    S(mpegplay, Cmd_mpegplay),  // 436
    S(movie, Cmd_movie),  // 437
    S(mpegplay2, Cmd_mpegplay2),  // 438
    S(voltest, Cmd_voltest),  // 439
    S(mp3, Cmd_mp3),  // 440
    S(bgmonce, Cmd_bgmonce),  // 441
    S(mp3save, Cmd_mp3save),  // 442
    S(bgmsave, Cmd_bgmsave),  // 443
    S(mp3loop, Cmd_mp3loop),  // 444
    S(bgm, Cmd_bgm),  // 445
    S(loopbgm, Cmd_loopbgm),  // 446
    S(loopbgmstop, Cmd_loopbgmstop),  // 447
    S(swf, Cmd_swf),  // 448
    S(avi, Cmd_avi),  // 449
    S(play, Cmd_play),  // 450
    S(playonce, Cmd_playonce),  // 451
    S(stop, Cmd_stop),  // 452
    S(mp3stop, Cmd_mp3stop),  // 453
    S(bgmstop, Cmd_bgmstop),  // 454
    S(wave, Cmd_wave),  // 455
    S(dwave, Cmd_dwave),  // 456
    S(dwave_dd, Cmd_dwave_dd),  // 457
    S(dwaveload, Cmd_dwaveload),  // 458
    S(dwaveplay, Cmd_dwaveplay),  // 459
    S(dwaveplayloop, Cmd_dwaveplayloop),  // 460
    S(dwaveloop, Cmd_dwaveloop),  // 461
    S(dwavestop, Cmd_dwavestop),  // 462
    S(wavestop, Cmd_wavestop),  // 463
    S(playstop, Cmd_playstop),  // 464
    S(lookbackflush, Cmd_lookbackflush),  // 465
    S(click, Cmd_click),  // 466
    S(lrclick, Cmd_lrclick),  // 467
    S(clickclear, Cmd_clickclear),  // 468
    S(lr_trap_value, Cmd_lr_trap_value),  // 469
    S(clickpos, Cmd_clickpos),  // 470
    S(getmousepos, Cmd_getmousepos),  // 471
    S(waveloop, Cmd_waveloop),  // 472
    S(indent, Cmd_indent),  // 473
    S(setwindow, Cmd_setwindow),  // 474
    S(setwindow3, Cmd_setwindow3),  // 475
    S(spreload, Cmd_spreload),  // 476
    S(setwindow2, Cmd_setwindow2),  // 477
};

const int CommandTableSize = (int)(sizeof CommandTable / sizeof CommandTable[0]);
