# The movie benchmark encodes its movie with FFmpeg's libraries, linked here
# directly (the engine loads them only when it plays something).
if(NOT TARGET PkgConfig::MOVIE_ENC)
  pkg_check_modules(MOVIE_ENC REQUIRED IMPORTED_TARGET libavformat libavcodec libavutil)
endif()
target_link_libraries(bench_movie PRIVATE PkgConfig::MOVIE_ENC)
