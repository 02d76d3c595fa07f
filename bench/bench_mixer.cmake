# The decoding benchmark encodes its Ogg file with libvorbisenc.
if(NOT TARGET PkgConfig::VORBISENC)
  pkg_check_modules(VORBISENC REQUIRED IMPORTED_TARGET vorbisenc vorbis ogg)
endif()
target_link_libraries(bench_mixer PRIVATE PkgConfig::VORBISENC)
