/* platplug.c - a tiny library for the library-loading tests. */
int PlugAdd(int a, int b) { return a + b; }
