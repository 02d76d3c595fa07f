// screenfx_messages.h - the texts of the screen filters and the picture tools
// (CP932), each with its UTF-8 reading beside it.
#pragma once

inline constexpr char MsgMonocroOperand[] = "monocro\x96\xbd\x97\xdf\x82\xcc\x8e\x9f\x82\xcd#rrggbb\x82\xc5\x90" "F\x8ew\x92\xe8\x81" "A\x82\xe0\x82\xb5\x82\xad\x82\xcd\x81" "Aoff\x82\xc5\x83\x82\x83m\x83N\x83\x8d\x8ew\x92\xe8\x82\xf0\x89\xf0\x8f\x9c\x81" "A\x82\xc5\x82\xb7\x81" "B";  // monocro命令の次は#rrggbbで色指定、もしくは、offでモノクロ指定を解除、です。
inline constexpr char FontMsGothic[] = "\x82l\x82r \x83S\x83V\x83" "b\x83N";  // ＭＳ ゴシック
inline constexpr char FmtGrpTestTitle[] = "\"%s\" \x89\xf0\x90\xcd\x8c\x8b\x89\xca\n";  // "%s" 解析結果
