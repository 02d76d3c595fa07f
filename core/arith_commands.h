// arith_commands.h - arithmetic on a numeric variable, random numbers and the
// scaled trigonometric values: add (also appending to a string variable),
// sub, inc, dec, mul, div, mod, rnd, rnd2, sin, cos, tan.  Every numeric
// store is followed by ClampIntVars.
#pragma once
#include <cstdint>

void Cmd_add();
void Cmd_sub();
void Cmd_inc();
void Cmd_dec();
void Cmd_mul();
void Cmd_div();
void Cmd_mod();
void Cmd_rnd();
void Cmd_rnd2();
void Cmd_sin();
void Cmd_cos();
void Cmd_tan();

// The value times 1000 rounded half away from zero, saturated to int32.
int32_t ScaleTrigValue(double value);
// Degrees to radians as the script's trigonometry computes it (pi taken as
// 3.1415927).
double ScriptRadians(int32_t degrees);
