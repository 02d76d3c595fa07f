// effect_messages.h - the texts of the effect commands' fatal errors (CP932);
// the transitions' own texts are in sprite_messages.h.
#pragma once

inline constexpr char CapEffectParam[] = "\x83p\x83\x89\x83\x81\x81[\x83^\x83G\x83\x89\x81[";  // パラメータエラー
inline constexpr char MsgEffectNumber[] = "effect\x96\xbd\x97\xdf\x82\xcc\x91\xe6\x88\xea\x83p\x83\x89\x83\x81\x81[\x83^\x82\xcd" "2\x81`255\x82\xc5\x82\xb7\x81" "B";  // effect命令の第一パラメータは2～255です。
