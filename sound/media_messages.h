// media_messages.h - the message texts (CP932) of the CD, MIDI, movie and
// AVI capture commands, each with its UTF-8 reading.
#pragma once

inline constexpr char CapMediaError[] = "\x83G\x83\x89\x81[";  // エラー
inline constexpr char MsgAviOpenFailed[] = "\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x90\xe6" "AVI\x83t\x83@\x83" "C\x83\x8b\x82\xf0\x8aJ\x82\xaf\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81" "B";  // 書き込み先AVIファイルを開けませんでした。
inline constexpr char MsgAviWriteFailed[] = "AVI\x83t\x83@\x83" "C\x83\x8b\x82\xd6\x82\xcc\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x82\xc9\x8e\xb8\x94s\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81" "B";  // AVIファイルへの書き込みに失敗しました。
inline constexpr char CapCdPlayError[] = "CD-DA\x8d\xc4\x90\xb6\x83G\x83\x89\x81[";  // CD-DA再生エラー
// The text of a refused CD play: the track file that does not decode.
inline constexpr char FmtCdTrackUndecodable[] = "track file %s cannot be decoded";
inline constexpr char MsgMovieStopWord[] = "movie\x96\xbd\x97\xdf\x82\xd6\x82\xcc\x8ew\x92\xe8\x82\xaa\x8a\xd4\x88\xe1\x82\xc1\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81" "B";  // movie命令への指定が間違っています。
inline constexpr char MsgMovieBadOption[] = "movie\x96\xbd\x97\xdf\x82\xc9\x97^\x82\xa6\x82\xe9\x83p\x83\x89\x83\x81\x81[\x83^\x82\xaa\x8a\xd4\x88\xe1\x82\xc1\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81" "B";  // movie命令に与えるパラメータが間違っています。
// The AVI device's failures: captions "AVI Error 1" .. "AVI Error 4" with our own texts.
inline constexpr char CapAviError1[] = "AVI Error 1";
inline constexpr char MsgAviPlayOpen[] = "The movie file cannot be opened or decoded.";
