# Ogg Vorbis test sounds are encoded in the tests.
pkg_check_modules(VORBISENC REQUIRED IMPORTED_TARGET vorbisenc)
target_link_libraries(test_sound PRIVATE PkgConfig::VORBISENC)
