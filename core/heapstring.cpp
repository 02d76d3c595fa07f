// heapstring.cpp - HeapString and StringList.
#include "core/heapstring.h"

#include <cstdlib>
#include <cstring>

static char* CopyText(const char* text, size_t len, size_t room) {
    char* p = (char*)malloc(room);
    if (!p) abort();
    memcpy(p, text, len);
    p[len] = 0;
    return p;
}

void InitEmptyString(HeapString* s) { s->text = CopyText("", 0, 1); }

void InitNullString(HeapString* s) { s->text = nullptr; }

void FreeString(HeapString* s) {
    free(s->text);
    s->text = nullptr;
}

void AssignString(HeapString* s, const char* text) {
    if (!text) text = "";
    size_t len = strlen(text);
    // Copy first: the text may lie inside the old buffer.
    char* p = CopyText(text, len, len + 1);
    free(s->text);
    s->text = p;
}

void AppendString(const char* text, HeapString* s) {
    if (!text) return;
    if (!s->text) {
        AssignString(s, text);
        return;
    }
    size_t old_len = strlen(s->text), len = strlen(text);
    char* p = CopyText(s->text, old_len, old_len + len + 2);
    memcpy(p + old_len, text, len);
    p[old_len + len] = 0;
    free(s->text);
    s->text = p;
}

void ReserveString(HeapString* s, size_t size) {
    free(s->text);
    s->text = (char*)calloc(size ? size : 1, 1);
    if (!s->text) abort();
}

void LowerString(HeapString* s) {
    if (!s->text) return;
    for (char* p = s->text; *p; p++)
        if (*p >= 'A' && *p <= 'Z') *p = (char)(*p - 'A' + 'a');
}

static StringNode* NewNode() {
    StringNode* n = new StringNode;
    InitNullString(&n->value);
    return n;
}

void InitStringList(StringList* l) {
    l->head = l->tail = NewNode();
    l->count = 0;
}

void FreeStringList(StringList* l) {
    for (StringNode* n = l->head; n;) {
        StringNode* next = n->next;
        FreeString(&n->value);
        delete n;
        n = next;
    }
    l->head = l->tail = nullptr;
    l->count = 0;
}

void ClearStringList(StringList* l) {
    FreeStringList(l);
    InitStringList(l);
}

void AppendStringList(StringList* l, const char* text) {
    if (!l->tail) InitStringList(l);
    AssignString(&l->tail->value, text);
    StringNode* n = NewNode();
    n->prev = l->tail;
    l->tail->next = n;
    l->tail = n;
    l->count++;
}
