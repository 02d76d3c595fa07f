# pixman is the reference the drawing benchmarks are measured against.
pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
target_link_libraries(bench_draw PRIVATE PkgConfig::PIXMAN)
