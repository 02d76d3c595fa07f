# pixman is the reference the composition benchmark is measured against.
if(NOT TARGET PkgConfig::PIXMAN)
  pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
endif()
target_link_libraries(bench_compose PRIVATE PkgConfig::PIXMAN)
