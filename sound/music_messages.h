// music_messages.h - the message texts (CP932) of the music, volume, voice
// and sound-effect commands, each with its UTF-8 reading.
#pragma once

inline constexpr char CapSoundError[] = "\x83G\x83\x89\x81[";  // エラー
inline constexpr char CapSoundLoad[] = "\x83\x8d\x81[\x83h\x83G\x83\x89\x81[";  // ロードエラー
inline constexpr char FmtSoundCannotOpen[] = "\x83t\x83@\x83" "C\x83\x8b%s\x82\xf0\x8aJ\x82\xaf\x82\xdc\x82\xb9\x82\xf1\x81" "B";  // ファイル%sを開けません。
inline constexpr char MsgVolumeRange[] = "\x83{\x83\x8a\x83\x85\x81[\x83\x80\x82\xcd\x82O\x81`\x82P\x82O\x82O\x82\xc5\x82\xb7\x81" "B";  // ボリュームは０～１００です。
inline constexpr char MsgSoundPressFull[] = "Sound press plug-in\x90\xdd\x92\xe8\x82\xaa\x91\xbd\x82\xb7\x82\xac\x82\xdc\x82\xb7\x81" "B";  // Sound press plug-in設定が多すぎます。
// An Ogg sound loaded into a channel of a game that ships no Ogg library.
inline constexpr char MsgOggDecoderMissing[] = "oggdec.dll\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81" "B";  // oggdec.dllがありません。
