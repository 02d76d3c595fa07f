# A small library the cache tests load by name.
add_library(orva_test_plugin SHARED ${CMAKE_CURRENT_SOURCE_DIR}/ext/plugin/test_plugin.c)
set_target_properties(orva_test_plugin PROPERTIES PREFIX "" OUTPUT_NAME "test_plugin")
add_dependencies(test_ext orva_test_plugin)
target_compile_definitions(test_ext PRIVATE
  TEST_PLUGIN_PATH="$<TARGET_FILE:orva_test_plugin>")

# A library with functions for Lua, bound by OL_bind, and an effect entry
# that calls Lua back.
add_library(orva_test_lua_plugin SHARED ${CMAKE_CURRENT_SOURCE_DIR}/ext/plugin/lua_plugin.c)
set_target_properties(orva_test_lua_plugin PROPERTIES PREFIX "" OUTPUT_NAME "lua_plugin")
target_include_directories(orva_test_lua_plugin PRIVATE ${CMAKE_SOURCE_DIR}/ext)
add_dependencies(test_ext orva_test_lua_plugin)
target_compile_definitions(test_ext PRIVATE
  TEST_LUA_PLUGIN_PATH="$<TARGET_FILE:orva_test_lua_plugin>")
