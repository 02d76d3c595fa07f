# pixman is the reference the texture blits are measured against.
if(NOT TARGET PkgConfig::PIXMAN)
  pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
endif()
target_link_libraries(bench_textures PRIVATE PkgConfig::PIXMAN)
