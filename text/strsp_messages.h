// strsp_messages.h - the texts (CP932) of the string-sprite commands'
// errors, each with its UTF-8 reading.  Their caption is CapError
// (core/core_messages.h); a sprite number outside the table is
// MsgSpriteRange (graphics/sprite_messages.h).
#pragma once

inline constexpr char MsgSpfontOperand[] = "spfont\x82\xcc\x88\xf8\x90\x94\x82\xcd\x81" "A\x95\xb6\x8e\x9a\x97\xf1\x82\xe0\x82\xb5\x82\xad\x82\xcd" "clear\x82\xc5\x82\xb7\x81" "B";  // spfontの引数は、文字列もしくはclearです。
