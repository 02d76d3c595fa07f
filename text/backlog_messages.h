// backlog_messages.h - the texts of the backlog commands' errors (CP932).
#pragma once

// "<command>" followed by this: the operand is not a string variable.
inline constexpr char SufOnlyStrVar[] = "\x82\xcc\x88\xf8\x90\x94\x82\xcd\x95\xb6\x8e\x9a\x95\xcf\x90\x94\x82\xc5\x82\xb7\x81" "B";  // の引数は文字変数です。
