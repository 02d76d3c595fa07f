# The idle-CPU benchmark plays games in a window: the test support's game
# folders and X server, and the program itself built first.
target_link_libraries(bench_wait_cpu PRIVATE orva_testsupport)
add_dependencies(bench_wait_cpu orva)
