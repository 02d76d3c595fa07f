# The glyph plug-in that the dllfont test binds.
add_library(test_font_plugin SHARED ${CMAKE_CURRENT_LIST_DIR}/plugin/test_font_plugin.c)
set_target_properties(test_font_plugin PROPERTIES PREFIX "")
add_dependencies(test_text test_font_plugin)
target_compile_definitions(test_text PRIVATE FONT_TEST_PLUGIN="$<TARGET_FILE:test_font_plugin>")
