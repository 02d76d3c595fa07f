// loopbgm_messages.h - the message texts of intro-and-loop music (CP932).
#pragma once

inline constexpr char CapLoopBgmLoad[] = "\x83\x8d\x81[\x83h\x83G\x83\x89\x81[";  // ロードエラー
inline constexpr char FmtLoopBgmCannotOpen[] = "\x83t\x83@\x83" "C\x83\x8b%s\x82\xf0\x8aJ\x82\xaf\x82\xdc\x82\xb9\x82\xf1\x81" "B";  // ファイル%sを開けません。
