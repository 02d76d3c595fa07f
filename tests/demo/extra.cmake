# The demo game is played from its source folder's files.
target_compile_definitions(test_demo PRIVATE DEMO_DIR="${CMAKE_SOURCE_DIR}/demo")
