// backlog.h - the backlog: the page being written (bounded) with its tag,
// and the committed pages with their tags, oldest first, the oldest dropped
// beyond BacklogPageLimit.  The text display writes it, the lookback viewer
// and the getlog family read it, the saves keep it.  CommitBacklogPage and
// SetBacklogPageTag are declared in text/textline.h.
#pragma once
#include <cstdint>

enum { BacklogPageSize = 5000, BacklogTagSize = 256 };

extern int LookbackOn;        // text is logged and committed only while 1
extern int BacklogPageLimit;  // committed pages kept (maxkaisoupage); 16
// The current page's flags as the saves keep them: a tag was given, and
// the page has been committed with nothing written since.
extern int32_t BacklogTagSet, BacklogCommitted;

// Appends n bytes to the page being written, while LookbackOn; bytes that
// would overrun the page are dropped whole (a two-byte character is never
// split).
void BacklogAppend(const char* bytes, int n);
// The page being written, NUL-terminated.
const char* BacklogPageText();
// The current page's tag.
const char* BacklogPageTag();
// Committed pages and tags: 1 the newest; "" past the oldest.
const char* BacklogCommittedPage(int n);
const char* BacklogCommittedTag(int n);
int BacklogCommittedCount();
// GetBacklogPage / GetBacklogTag: n 0 the current page (tag); n > 0 the
// n-th newest, the oldest when n passes it ("" with no page); false for a
// negative n (nothing copied).
bool GetBacklogPage(int n, const char** out);
bool GetBacklogTag(int n, const char** out);
// -1 when fewer than n pages are committed, else 0.
int IsBacklogShorterThan(int n);
// Adds a committed page and its tag as a loaded slot holds them (not
// subject to LookbackOn; the oldest beyond the limit are dropped).
void RestoreBacklogPage(const char* page, const char* tag);
// Empties the store (lookbackflush, setwindow, a reset, a load).
void ClearBacklog();
// The page being written, and a newline, to the clipboard (Shift+C in a
// button wait).
void CopyBacklogPage();
