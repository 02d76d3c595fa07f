# The archive plug-in that the tests register with `arc`.
add_library(test_archive_plugin SHARED ${CMAKE_CURRENT_LIST_DIR}/plugin/testarc_plugin.cpp)
target_include_directories(test_archive_plugin PRIVATE ${CMAKE_SOURCE_DIR})
add_dependencies(test_archive test_archive_plugin)
target_compile_definitions(test_archive PRIVATE
  ARCHIVE_TEST_PLUGIN="$<TARGET_FILE:test_archive_plugin>")
