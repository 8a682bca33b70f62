# One tick of the desktop program's live preview on the worst-case design,
# in a real main window on the offscreen platform.
add_executable(bench_preview PreviewBench.cpp)
target_link_libraries(bench_preview PRIVATE flinder_app worst_case_design benchmark::benchmark)
