/* press_plugin.c - a sound-press plug-in for the tests: "expands" a file by
   copying it (the test files are wave files under another extension) and
   counts its calls. */
#include <stdio.h>

static int calls;

int expand(const char* source, const char* target) {
    FILE* in = fopen(source, "rb");
    if (!in) return 0;
    FILE* out = fopen(target, "wb");
    if (!out) {
        fclose(in);
        return 0;
    }
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, in)) > 0) fwrite(buf, 1, n, out);
    fclose(in);
    fclose(out);
    calls++;
    return 1;
}

int expand_calls(void) { return calls; }
