# Ogg Vorbis test sounds are encoded in the tests.
pkg_check_modules(VORBISENC REQUIRED IMPORTED_TARGET vorbisenc vorbis ogg)
target_link_libraries(test_sound PRIVATE PkgConfig::VORBISENC)

# A sound-press plug-in the voice tests register for their own extension.
add_library(orva_test_press SHARED ${CMAKE_CURRENT_SOURCE_DIR}/sound/plugin/press_plugin.c)
set_target_properties(orva_test_press PROPERTIES PREFIX "" OUTPUT_NAME "test_press")
add_dependencies(test_sound orva_test_press)
target_compile_definitions(test_sound PRIVATE
  TEST_PRESS_PATH="$<TARGET_FILE:orva_test_press>")
