# The movie tests encode their movies with FFmpeg's libraries, linked here
# directly (the engine loads them only when it plays something).
pkg_check_modules(MEDIA_ENC REQUIRED IMPORTED_TARGET libavformat libavcodec libavutil)
target_link_libraries(test_media PRIVATE PkgConfig::MEDIA_ENC)
