// expr.cpp - integer and string expressions, read in place at ReadPosition.
//
// An integer expression is tokenised up to the first character after a
// complete term that is no operator or parenthesis, then put in postfix order
// with one pending multiplicative and one pending additive operator per
// parenthesis level, and evaluated.  A '-' where a term is expected becomes
// the two tokens 0 and '-', so 2*-3 is 2*0-3.  Arithmetic wraps at 32 bits;
// division truncates toward zero, mod takes the dividend's sign.
#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/readers_internal.h"
#include "core/script.h"
#include "core/sjis.h"

namespace {

enum TokenKind : uint8_t { TokNumber, TokOperator, TokParen };

struct Token {
    int32_t value;
    char op;  // '+', '-', '*', '/', '%' (mod), '(' or ')'
    TokenKind kind;
};

// A short array on the stack that moves to the heap when it outgrows it.
template <typename T, int N>
struct SmallVec {
    T local[N];
    T* data = local;
    int n = 0;
    int cap = N;
    SmallVec() = default;
    SmallVec(const SmallVec&) = delete;
    SmallVec& operator=(const SmallVec&) = delete;
    ~SmallVec() {
        if (data != local) free(data);
    }
    void Push(const T& v) {
        if (n == cap) {
            T* d = (T*)malloc(sizeof(T) * (size_t)cap * 2);
            memcpy(d, data, sizeof(T) * (size_t)n);
            if (data != local) free(data);
            data = d;
            cap *= 2;
        }
        data[n++] = v;
    }
};

typedef SmallVec<Token, 32> TokenList;

void BadExpr() { ScriptError(CapError, MsgBadExpr); }

// "mod" and a blank or newline at s.
bool IsMod(const char* s) {
    return (s[0] | 0x20) == 'm' && (s[1] | 0x20) == 'o' && (s[2] | 0x20) == 'd' &&
           (s[3] == ' ' || s[3] == '\t' || s[3] == '\n');
}

// Whether c (at s) goes on with an expression whose first term was read.
bool ContinuesExpr(char c, const char* s) {
    switch (c) {
    case '(': case ')': case '*': case '+': case '/': case '-':
        return true;
    default:
        return (c | 0x20) == 'm' && IsMod(s);
    }
}

// Appends the tokens of the expression at ReadPosition; term: a first term
// was read already (the last token).
void TokenizeExpr(TokenList* tokens, bool term) {
    int depth = 0;
    for (;;) {
        char c = SkipBlanks();
        const char* s = ScriptBuffer + ReadPosition;
        switch (c) {
        case 0:
            return;  // the depth is not examined here
        case '(':
        case ')':
            depth += c == '(' ? 1 : -1;
            tokens->Push({0, c, TokParen});
            ReadPosition++;
            continue;
        case '*':
        case '+':
        case '/':
            if (!term) BadExpr();
            tokens->Push({0, c, TokOperator});
            ReadPosition++;
            term = false;
            continue;
        case '-':
            if (!term) tokens->Push({0, 0, TokNumber});  // a sign: 0 - x
            tokens->Push({0, '-', TokOperator});
            ReadPosition++;
            term = false;
            continue;
        default:
            break;
        }
        if (IsMod(s)) {
            if (!term) BadExpr();
            tokens->Push({0, '%', TokOperator});
            ReadPosition += 4;  // the blank or newline behind mod too
            term = false;
            continue;
        }
        if (term) {
            if (depth != 0) ScriptError(CapError, MsgBadParens);
            return;
        }
        tokens->Push({ReadNumTerm(), 0, TokNumber});
        term = true;
    }
}

int32_t Apply(char op, int32_t a, int32_t b) {
    switch (op) {
    case '+':
        return (int32_t)((uint32_t)a + (uint32_t)b);
    case '-':
        return (int32_t)((uint32_t)a - (uint32_t)b);
    case '*':
        return (int32_t)((uint32_t)a * (uint32_t)b);
    case '/':
        if (b == 0) ScriptError(CapDivZero, MsgDivZero);
        if (a == INT_MIN && b == -1) return INT_MIN;  // wraps
        return a / b;
    default:  // '%', mod
        if (b == 0) ScriptError(CapDivZero, MsgModZero);
        if (b == -1) return 0;
        return a % b;
    }
}

struct Evaluator {
    SmallVec<int32_t, 32> stack;
    void Operate(char op) {
        if (stack.n < 2) BadExpr();
        int32_t b = stack.data[--stack.n];
        int32_t a = stack.data[stack.n - 1];
        stack.data[stack.n - 1] = Apply(op, a, b);
    }
};

// The pending operators of one parenthesis level.
struct Level {
    char mul;  // '*', '/', '%' or 0
    char add;  // '+', '-' or 0
};

// Puts the tokens in postfix order and evaluates them as they come out.  The
// order of the operations, and so of every error, is that of evaluating the
// finished postfix list; a ')' without its '(' is found before any of them.
int32_t ConvertAndEvaluate(const TokenList& tokens) {
    int depth = 0;
    for (int i = 0; i < tokens.n; i++) {
        const Token& t = tokens.data[i];
        if (t.kind != TokParen) continue;
        if (t.op == '(') {
            depth++;
        } else if (depth-- == 0) {
            BadExpr();
        }
    }
    Evaluator ev;
    SmallVec<Level, 8> levels;
    levels.Push({0, 0});
    auto close_level = [&]() {
        Level inner = levels.data[--levels.n];
        if (inner.add) ev.Operate(inner.add);
        char outer_mul = levels.data[levels.n - 1].mul;
        if (outer_mul) ev.Operate(outer_mul);
    };
    for (int i = 0; i < tokens.n; i++) {
        const Token& t = tokens.data[i];
        if (t.kind == TokNumber) {
            ev.stack.Push(t.value);
            char mul = levels.data[levels.n - 1].mul;
            if (mul) ev.Operate(mul);  // the pending operator stays pending
        } else if (t.kind == TokParen) {
            if (t.op == '(')
                levels.Push({0, 0});
            else
                close_level();
        } else if (t.op == '+' || t.op == '-') {
            Level& l = levels.data[levels.n - 1];
            if (l.add) ev.Operate(l.add);
            levels.data[levels.n - 1].add = t.op;
            levels.data[levels.n - 1].mul = 0;
        } else {
            levels.data[levels.n - 1].mul = t.op;
        }
    }
    while (levels.n > 1) close_level();  // a group the text ended in
    if (levels.data[0].add) ev.Operate(levels.data[0].add);
    if (ev.stack.n != 1) BadExpr();
    return ev.stack.data[0];
}


// The expression at ReadPosition; first: its first term, already read, is v.
__attribute__((noinline)) int32_t ReadWholeExpr(bool first, int32_t v) {
    TokenList tokens;
    if (first) tokens.Push({v, 0, TokNumber});
    TokenizeExpr(&tokens, first);
    return ConvertAndEvaluate(tokens);
}

}  // namespace

int32_t ReadIntExpr() {
    NestingGuard nest;
    // The common single term ("5", "%3") goes without the operator stacks;
    // what follows it decides, as in TokenizeExpr.
    char c = SkipBlanks();
    int32_t v;
    if (ReadKeptTerm(ReadPosition, &v)) {
        c = ScriptBuffer[ReadPosition];  // the blanks behind it are passed
    } else if (c != 0 && !ContinuesExpr(c, ScriptBuffer + ReadPosition)) {
        v = ReadNumTerm();
        c = SkipBlanks();
    } else {
        return ReadWholeExpr(false, 0);
    }
    if (c == 0 || !ContinuesExpr(c, ScriptBuffer + ReadPosition)) return v;
    return ReadWholeExpr(true, v);
}

void ReadStrExprFull(char* buffer) {
    ReadStrTermFull(buffer);
    size_t len = strlen(buffer);
    while (ScriptBuffer[ReadPosition] == '+') {
        ReadPosition++;
        StrScratch term;
        ReadStrTermFull(term.p);
        size_t n = strlen(term.p);
        if (len + n > StrValueMax) ScriptError(CapError, MsgStringTooLong);
        memcpy(buffer + len, term.p, n + 1);
        len += n;
    }
}

void ReadStrExpr(char* buffer, int size) {
    if (size >= StrValueSize) {
        ReadStrExprFull(buffer);
        return;
    }
    StrScratch value;
    ReadStrExprFull(value.p);
    if (size > 0) CopySjisBounded(buffer, (size_t)size, value.p);
}
