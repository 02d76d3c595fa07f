// textwin_messages.h - the texts (CP932) of the text window's and the glyph
// renderer's errors, each with its UTF-8 reading.
#pragma once

inline constexpr char CapTextError[] = "\x83G\x83\x89\x81[";  // エラー
inline constexpr char MsgSetwindowGrid[] = "setwindow\x82\xcc\x8f" "c\x89\xa1\x95\xb6\x8e\x9a\x90\x94\x8ew\x92\xe8\x82\xaa\x8a\xd4\x88\xe1\x82\xc1\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81" "B";  // setwindowの縦横文字数指定が間違っています。
inline constexpr char MsgSetcolorNumber[] = "setcolor\x82\xcc\x94\xd4\x8d\x86\x82\xcd" "0-255\x82\xc5\x82\xb7";  // setcolorの番号は0-255です
inline constexpr char MsgFontSize[] = "\x95\xb6\x8e\x9a\x82\xcc\x91\xe5\x82\xab\x82\xb3\x82\xaa\x90\xb3\x82\xb5\x82\xad\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81" "B";  // 文字の大きさが正しくありません。

// Faces
inline constexpr char FaceGothic[] = "\x82l\x82r \x83S\x83V\x83" "b\x83N";  // ＭＳ ゴシック
inline constexpr char FaceMincho[] = "\x82l\x82r \x96\xbe\x92\xa9";  // ＭＳ 明朝
