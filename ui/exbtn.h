// exbtn.h - extended-button strings: the little scripts of sprite changes
// (C hide, M move, P show a cell, S sound) run when the mouse moves onto a
// button, ExbtnDefault that puts the screen back, and the strings of the
// page's text buttons (textexbtn).
#pragma once
#include <cstdint>

#include "core/heapstring.h"

extern HeapString ExbtnDefault;

// Runs a string: changes sprites and marks them in DirtyRect (the caller
// recomposes and shows).  Errors are fatal.  Sprite numbers outside the
// table change nothing.
void RunExbtnString(const char* text);

// The textexbtn string of text button `index` of the page ("" when none,
// also when the page's buttons changed since it was set).
const char* TextButtonExbtn(int index);
// Gives every text button of the page numbered `number` the string.
void SetTextButtonExbtn(int32_t number, const char* text);
