// HeapString and StringList operations.
#include <gtest/gtest.h>

#include <cstring>

#include "core/heapstring.h"

TEST(HeapString, AssignAppendLowerFree) {
    HeapString s;
    InitNullString(&s);
    AppendString("abc", &s);  // a null holder is assigned
    EXPECT_STREQ(s.text, "abc");
    AppendString(nullptr, &s);  // a null text does nothing
    AppendString("DeF", &s);
    EXPECT_STREQ(s.text, "abcDeF");
    LowerString(&s);
    EXPECT_STREQ(s.text, "abcdef");
    AssignString(&s, nullptr);  // a null source stores ""
    EXPECT_STREQ(s.text, "");
    AssignString(&s, "x");
    AssignString(&s, s.text);  // assigning its own text is safe
    EXPECT_STREQ(s.text, "x");
    ReserveString(&s, 64);
    EXPECT_STREQ(s.text, "");
    FreeString(&s);
    EXPECT_EQ(s.text, nullptr);
    EXPECT_STREQ(StringText(s), "");
}

TEST(HeapString, LowerKeepsShiftJisLeadBytesButLowersAsciiTrailBytes) {
    HeapString s;
    InitEmptyString(&s);
    AssignString(&s, "\x83" "A" "B");  // 'A' is the trail byte of a two-byte character
    LowerString(&s);
    EXPECT_STREQ(s.text, "\x83" "a" "b");
    FreeString(&s);
}

TEST(StringList, AppendClearAndTheEmptyTail) {
    StringList l;
    InitStringList(&l);
    AppendStringList(&l, "one");
    AppendStringList(&l, "two");
    EXPECT_EQ(l.count, 2);
    EXPECT_STREQ(l.head->value.text, "one");
    EXPECT_STREQ(l.head->next->value.text, "two");
    EXPECT_EQ(l.tail->value.text, nullptr);  // the empty node the next append fills
    EXPECT_EQ(l.tail->prev, l.head->next);
    ClearStringList(&l);
    EXPECT_EQ(l.count, 0);
    EXPECT_EQ(l.head, l.tail);
    FreeStringList(&l);
}
