// backlog.cpp - the page store.  The committed pages and their tags are two
// parallel string lists; each commit copies the page and its tag and drops
// the oldest of both beyond the limit, so neither ever holds more than
// BacklogPageLimit texts.
#include "text/backlog.h"

#include <cstring>
#include <string>

#include "core/heapstring.h"
#include "core/sjis.h"
#include "platform/platform.h"
#include "text/textline.h"

int LookbackOn = 1;
int BacklogPageLimit = 16;
int32_t BacklogTagSet = 0, BacklogCommitted = 0;

static char PageText[BacklogPageSize + 1];  // one more for the terminator
static int PageLength = 0;
static char PageTag[BacklogTagSize];
static StringList Pages, Tags;

static void EnsureLists() {
    if (!Pages.head) InitStringList(&Pages);
    if (!Tags.head) InitStringList(&Tags);
}

// Frees the first node when the list holds more than its empty tail node.
static void DropOldestString(StringList* l) {
    if (!l->head || l->count <= 0 || l->head == l->tail) return;
    StringNode* n = l->head;
    l->head = n->next;
    l->head->prev = nullptr;
    FreeString(&n->value);
    delete n;
    l->count--;
}

static void DropBeyondLimit() {
    int limit = BacklogPageLimit > 0 ? BacklogPageLimit : 0;
    while (Pages.count > limit) {
        DropOldestString(&Pages);
        DropOldestString(&Tags);
    }
}

void BacklogAppend(const char* bytes, int n) {
    if (!LookbackOn || n <= 0) return;
    if (PageLength + n > BacklogPageSize) return;
    memcpy(PageText + PageLength, bytes, (size_t)n);
    PageLength += n;
    PageText[PageLength] = 0;
    BacklogCommitted = 0;
}

const char* BacklogPageText() {
    PageText[PageLength] = 0;
    return PageText;
}

const char* BacklogPageTag() { return PageTag; }

void CopyBacklogPage() { PlatSetClipboardText((std::string(BacklogPageText()) + "\n").c_str()); }

// The text n steps from the oldest filled node, or the tail's "".
static const char* Nth(const StringList& l, int fromOldest) {
    const StringNode* p = l.head;
    for (int i = 0; p && i < fromOldest && p != l.tail; i++) p = p->next;
    return p ? StringText(p->value) : "";
}

const char* BacklogCommittedPage(int n) {
    EnsureLists();
    if (n < 1 || n > Pages.count) return "";
    return Nth(Pages, Pages.count - n);
}

const char* BacklogCommittedTag(int n) {
    EnsureLists();
    if (n < 1 || n > Tags.count) return "";
    return Nth(Tags, Tags.count - n);
}

int BacklogCommittedCount() { return Pages.count; }

static bool GetFrom(const StringList& l, int n, const char* current, const char** out) {
    if (n < 0) return false;
    if (n == 0) {
        *out = current;
        return true;
    }
    int steps = l.count - n;
    *out = Nth(l, steps > 0 ? steps : 0);
    return true;
}

bool GetBacklogPage(int n, const char** out) {
    EnsureLists();
    return GetFrom(Pages, n, BacklogPageText(), out);
}

bool GetBacklogTag(int n, const char** out) {
    EnsureLists();
    return GetFrom(Tags, n, PageTag, out);
}

int IsBacklogShorterThan(int n) { return Pages.count < n ? -1 : 0; }

void CommitBacklogPage() {
    if (!LookbackOn || PageLength == 0 || BacklogCommitted) return;
    EnsureLists();
    BacklogCommitted = 1;
    PageText[PageLength] = 0;
    AppendStringList(&Pages, PageText);
    AppendStringList(&Tags, PageTag);
    PageTag[0] = 0;
    PageLength = 0;
    PageText[0] = 0;
    BacklogTagSet = 0;
    DropBeyondLimit();
}

void SetBacklogPageTag(const char* tag) {
    CopySjisBounded(PageTag, sizeof PageTag, tag);
    BacklogTagSet = 1;
    BacklogCommitted = 0;
}

void RestoreBacklogPage(const char* page, const char* tag) {
    EnsureLists();
    AppendStringList(&Pages, page);
    AppendStringList(&Tags, tag);
    DropBeyondLimit();
}

void ClearBacklog() {
    EnsureLists();
    BacklogTagSet = 0;
    ClearStringList(&Pages);
    ClearStringList(&Tags);
    PageText[0] = 0;
    PageLength = 0;
    BacklogCommitted = 0;
    PageTag[0] = 0;
}
