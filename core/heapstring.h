// heapstring.h - HeapString, one owned NUL-terminated heap text, and
// StringList, the doubly linked list of them whose last node is always an
// empty node that the next append fills.
#pragma once
#include <cstddef>

struct HeapString {
    char* text = nullptr;  // null, or a heap text of its own
};

void InitEmptyString(HeapString* s);  // holds ""
void InitNullString(HeapString* s);   // holds nothing
void FreeString(HeapString* s);       // frees and leaves it null
void AssignString(HeapString* s, const char* text);  // null text stores ""
void AppendString(const char* text, HeapString* s);  // null holder: assigned
void ReserveString(HeapString* s, size_t size);      // fresh buffer holding ""
void LowerString(HeapString* s);  // ASCII letters, byte by byte
inline const char* StringText(const HeapString& s) { return s.text ? s.text : ""; }

struct StringNode {
    HeapString value;
    StringNode* prev = nullptr;
    StringNode* next = nullptr;
};
struct StringList {
    StringNode* head = nullptr;  // the first node; the tail node is always empty
    StringNode* tail = nullptr;
    int count = 0;               // filled nodes
};
void InitStringList(StringList* l);
void ClearStringList(StringList* l);  // back to one empty node
void FreeStringList(StringList* l);
void AppendStringList(StringList* l, const char* text);
