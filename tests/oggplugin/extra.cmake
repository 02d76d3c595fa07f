# Ogg Vorbis test sounds are encoded in the tests.
pkg_check_modules(OGGPLUGIN_VORBISENC REQUIRED IMPORTED_TARGET vorbisenc vorbis ogg)
target_link_libraries(test_oggplugin PRIVATE PkgConfig::OGGPLUGIN_VORBISENC)
