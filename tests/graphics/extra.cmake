# The image plug-in that the loader tests register with `spi`.
add_library(test_image_plugin SHARED ${CMAKE_CURRENT_LIST_DIR}/plugin/test_image_plugin.c)
set_target_properties(test_image_plugin PROPERTIES PREFIX "")
add_dependencies(test_graphics test_image_plugin)
target_compile_definitions(test_graphics PRIVATE
  IMAGE_TEST_PLUGIN="$<TARGET_FILE:test_image_plugin>")
