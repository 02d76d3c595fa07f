/* A library with two entry points for the library-cache tests. */
int PlugValue(void) { return 42; }
int PlugOther(void) { return 7; }
