// anim_messages.h - the message texts (CP932) of the animation tick's Lua
// hook, each with its UTF-8 reading.  Caption: CapError (core_messages.h).
#pragma once

inline constexpr char MsgLuaAnimationFailed[] = "Lua\x83" "A\x83j\x83\x81\x81[\x83V\x83\x87\x83\x93\x8a\x84\x82\xe8\x8d\x9e\x82\xdd\x82\xc5\x83G\x83\x89\x81[\x82\xaa\x94\xad\x90\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81" "B";  // Luaアニメーション割り込みでエラーが発生しました。
inline constexpr char MsgLuaAnimationMissing[] = "luacall animation\x82\xf0\x8e\xc0\x8ds\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1\x81" "B";  // luacall animationを実行していません。
