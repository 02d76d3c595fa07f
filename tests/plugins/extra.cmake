# The example plug-ins of ext/examples, built as the game's "x.so" files
# that the script-level tests copy into their folders.
foreach(example exec_example layer_example effect_example)
  add_library(orva_${example} SHARED ${CMAKE_SOURCE_DIR}/ext/examples/${example}.c)
  target_include_directories(orva_${example} PRIVATE ${CMAKE_SOURCE_DIR}/ext)
  set_target_properties(orva_${example} PROPERTIES PREFIX "" OUTPUT_NAME "${example}")
  add_dependencies(test_plugins orva_${example})
endforeach()
target_compile_definitions(test_plugins PRIVATE
  EXEC_EXAMPLE_PATH="$<TARGET_FILE:orva_exec_example>"
  LAYER_EXAMPLE_PATH="$<TARGET_FILE:orva_layer_example>"
  EFFECT_EXAMPLE_PATH="$<TARGET_FILE:orva_effect_example>")
