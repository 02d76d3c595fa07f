// command_targets.h - the variable operands commands store into: '%N' and
// '$N' with their range tests, and the wrong-kind error that names the
// command ("<name>" followed by one of the Suf* texts of command_messages.h).
#pragma once

// Flags of ReadIntTarget / ReadStrTarget.
enum {
    TargetAtPosition = 1,  // the sigil must stand right at ReadPosition (no blanks skipped)
    TargetNumberExpr = 2,  // the variable number is an integer expression, not a term
};

// "<name><suffix>" as a fatal error with `caption`.
[[noreturn]] void OperandKindError(const char* caption, const char* name, const char* suffix);

// After the sigil: the variable number (a numeric term, or an integer
// expression with TargetNumberExpr), tested against 0..VariableCount-1 with
// the numeric or string range error.
int ReadIntVarNumber(int flags = 0);
int ReadStrVarNumber(int flags = 0);

// The whole target: blanks (unless TargetAtPosition), '%' or '$' (else the
// kind error "<name><suffix>" with `caption`), the checked number.
int ReadIntTarget(const char* name, const char* suffix, int flags = 0,
                  const char* caption = nullptr);
int ReadStrTarget(const char* name, const char* suffix, int flags = 0,
                  const char* caption = nullptr);
