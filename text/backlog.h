// backlog.h - the backlog's page store as far as the text display writes
// it: the page being written (bounded), its tag, the committed pages.  The
// lookback viewer reads the same store.
#pragma once

enum { BacklogPageSize = 5000, BacklogTagSize = 256 };

extern int LookbackOn;        // text is logged only while 1
extern int BacklogPageLimit;  // committed pages kept (maxkaisoupage)

// Appends n bytes to the page being written, while LookbackOn; bytes that
// would overrun the page are dropped whole (a two-byte character is never
// split).
void BacklogAppend(const char* bytes, int n);
// The page being written, NUL-terminated.
const char* BacklogPageText();
// Committed pages: 1 the newest; "" past the oldest.
const char* BacklogCommittedPage(int n);
int BacklogCommittedCount();
// Empties the store (lookbackflush, a reset).
void ClearBacklog();
