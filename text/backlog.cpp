// backlog.cpp - the page store.  Pages are kept as strings, the oldest
// dropped beyond BacklogPageLimit.
#include "text/backlog.h"

#include <cstring>
#include <deque>
#include <string>

#include "core/sjis.h"
#include "text/textline.h"

int LookbackOn = 1;
int BacklogPageLimit = 16;

static char PageText[BacklogPageSize + 1];
static int PageLength = 0;
static int PageCommitted = 0;
static char PageTag[BacklogTagSize];
static std::deque<std::string> Pages, Tags;

void BacklogAppend(const char* bytes, int n) {
    if (!LookbackOn || n <= 0) return;
    if (PageLength + n > BacklogPageSize) return;
    memcpy(PageText + PageLength, bytes, (size_t)n);
    PageLength += n;
    PageText[PageLength] = 0;
    PageCommitted = 0;
}

const char* BacklogPageText() {
    PageText[PageLength] = 0;
    return PageText;
}

const char* BacklogCommittedPage(int n) {
    if (n < 1 || n > (int)Pages.size()) return "";
    return Pages[Pages.size() - (size_t)n].c_str();
}

int BacklogCommittedCount() { return (int)Pages.size(); }

void CommitBacklogPage() {
    if (!LookbackOn || PageLength == 0 || PageCommitted) return;
    Pages.emplace_back(PageText, (size_t)PageLength);
    Tags.emplace_back(PageTag);
    int limit = BacklogPageLimit > 0 ? BacklogPageLimit : 1;
    while ((int)Pages.size() > limit) {
        Pages.pop_front();
        Tags.pop_front();
    }
    PageLength = 0;
    PageText[0] = 0;
    PageTag[0] = 0;
    PageCommitted = 1;
}

void SetBacklogPageTag(const char* tag) {
    CopySjisBounded(PageTag, sizeof PageTag, tag);
    PageCommitted = 0;
}

void ClearBacklog() {
    Pages.clear();
    Tags.clear();
    PageLength = 0;
    PageText[0] = 0;
    PageCommitted = 0;
    PageTag[0] = 0;
}
