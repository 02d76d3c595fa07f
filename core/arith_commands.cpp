// arith_commands.cpp - add, sub, inc, dec, mul, div, mod, rnd, rnd2, sin,
// cos, tan.  Integers wrap at 32 bits (computed unsigned); a zero divisor,
// also the span 0 of rnd and rnd2, is the division error before anything is
// stored.
#include "core/arith_commands.h"

#include <climits>
#include <cmath>
#include <cstring>

#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/random.h"
#include "core/script.h"
#include "core/readers.h"
#include "core/readers_internal.h"
#include "core/variables.h"
#include "save/journal.h"

// "%N," then the integer operand: *value.
static int ReadIntAndOperand(const char* name, int32_t* value) {
    int n = ReadIntTarget(name, SufFirstInt);
    ExpectComma();
    *value = ReadIntExpr();
    return n;
}

static int32_t Wrap(uint32_t v) { return (int32_t)v; }

void Cmd_add() {
    char c = SkipBlanks();
    if (c == '$') {
        ReadPosition++;
        int n = ReadStrVarNumber();
        ExpectComma();
        StrScratch text;
        ReadStrExpr(text.p, StrValueSize);
        // The sum is tested before it is made: no buffer holds more.
        size_t have = strlen(StringText(StrVariables[n]));
        if (have + strlen(text.p) >= StrValueMax) ScriptError(CapError, MsgAddTooLong);
        JournalStrVar(n);
        AppendString(text.p, &StrVariables[n]);
        return;
    }
    if (c != '%') OperandKindError(CapSyntax, "add", SufFirstIntOrStr);
    ReadPosition++;
    int n = ReadIntVarNumber();
    ExpectComma();
    int32_t v = ReadIntExpr();
    StoreIntVar(n, Wrap((uint32_t)IntVariables[n] + (uint32_t)v));
}

void Cmd_sub() {
    int32_t v;
    int n = ReadIntAndOperand("sub", &v);
    StoreIntVar(n, Wrap((uint32_t)IntVariables[n] - (uint32_t)v));
}

void Cmd_inc() {
    int n = ReadIntTarget("inc", SufOnlyInt);
    StoreIntVar(n, Wrap((uint32_t)IntVariables[n] + 1u));
}

void Cmd_dec() {
    int n = ReadIntTarget("dec", SufOnlyInt);
    StoreIntVar(n, Wrap((uint32_t)IntVariables[n] - 1u));
}

void Cmd_mul() {
    int32_t v;
    int n = ReadIntAndOperand("mul", &v);
    StoreIntVar(n, Wrap((uint32_t)IntVariables[n] * (uint32_t)v));
}

void Cmd_div() {
    int32_t v;
    int n = ReadIntAndOperand("div", &v);
    if (v == 0) ScriptError(CapDivZero, MsgDivZero);
    int32_t a = IntVariables[n];
    StoreIntVar(n, (a == INT_MIN && v == -1) ? INT_MIN : a / v);  // INT_MIN / -1 wraps
}

void Cmd_mod() {
    int32_t v;
    int n = ReadIntAndOperand("mod", &v);
    if (v == 0) ScriptError(CapDivZero, MsgModZero);
    int32_t a = IntVariables[n];
    StoreIntVar(n, v == -1 ? 0 : a % v);
}

void Cmd_rnd() {
    int32_t span;
    int n = ReadIntAndOperand("rnd", &span);
    if (span == 0) ScriptError(CapDivZero, MsgModZero);
    int32_t r = NextRandom();
    StoreIntVar(n, r % span);  // r >= 0, so span -1 and INT_MIN are safe
}

void Cmd_rnd2() {
    int32_t low;
    int n = ReadIntAndOperand("rnd2", &low);
    ExpectComma();
    int32_t high = ReadIntExpr();
    int32_t span = Wrap((uint32_t)high - (uint32_t)low + 1u);
    if (span == 0) ScriptError(CapDivZero, MsgModZero);
    int32_t r = NextRandom();
    StoreIntVar(n, Wrap((uint32_t)low + (uint32_t)(r % span)));
}

double ScriptRadians(int32_t degrees) { return (double)degrees * 2 * 3.1415927 / 360; }

int32_t ScaleTrigValue(double value) {
    double v = value * 1000;
    v = v >= 0 ? v + 0.5 : v - 0.5;
    // Near 90 and 270 degrees the tangent is far outside 32 bits.
    if (!(v < 2147483648.0)) return INT_MAX;
    if (!(v > -2147483649.0)) return INT_MIN;
    return (int32_t)v;  // truncates toward zero
}

static void TrigCommand(const char* name, double (*fn)(double)) {
    int32_t degrees;
    int n = ReadIntAndOperand(name, &degrees);
    StoreIntVar(n, ScaleTrigValue(fn(ScriptRadians(degrees))));
}

void Cmd_sin() { TrigCommand("sin", [](double x) { return std::sin(x); }); }
void Cmd_cos() { TrigCommand("cos", [](double x) { return std::cos(x); }); }
void Cmd_tan() { TrigCommand("tan", [](double x) { return std::tan(x); }); }
