# One tick of the desktop program's live preview on the worst-case design,
# in a real main window on the offscreen platform.
add_executable(bench_preview PreviewBench.cpp)
target_link_libraries(bench_preview PRIVATE flinder_app worst_case_design benchmark::benchmark)

# An export from the window beside flinder-export, and start-up with a long
# design list: bench/window-export runs it on the largest cycle.
find_package(Qt6 REQUIRED COMPONENTS Test)
add_executable(bench_window WindowBench.cpp)
target_link_libraries(bench_window PRIVATE flinder_app Qt6::Test)
