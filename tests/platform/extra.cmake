# A tiny library that the library-loading tests copy and load by name.
add_library(platplug MODULE ${CMAKE_CURRENT_LIST_DIR}/plug/platplug.c)
set_target_properties(platplug PROPERTIES PREFIX "" OUTPUT_NAME "platplug")
add_dependencies(test_platform platplug)
target_compile_definitions(test_platform PRIVATE PLATPLUG_PATH="$<TARGET_FILE:platplug>")
