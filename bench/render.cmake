add_executable(bench_rings RingSetBench.cpp)
target_link_libraries(bench_rings PRIVATE render benchmark::benchmark_main)
