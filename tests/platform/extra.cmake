# A tiny library that the library-loading tests copy and load by name.
add_library(platplug MODULE ${CMAKE_CURRENT_LIST_DIR}/plug/platplug.c)
set_target_properties(platplug PROPERTIES PREFIX "" OUTPUT_NAME "platplug")
add_dependencies(test_platform platplug)
target_compile_definitions(test_platform PRIVATE PLATPLUG_PATH="$<TARGET_FILE:platplug>")
# The real-window test talks to its own X server: Xlib, XTest (input),
# XFixes (the pointer's picture) and XRandR (the screen's size).
find_package(X11 REQUIRED)
if(NOT X11_XTest_FOUND OR NOT X11_Xfixes_FOUND OR NOT X11_Xrandr_FOUND)
  message(FATAL_ERROR "the real-window test needs libxtst-dev, libxfixes-dev and libxrandr-dev (scripts/install-deps)")
endif()
target_link_libraries(test_platform PRIVATE X11::X11 X11::Xtst X11::Xfixes X11::Xrandr)
