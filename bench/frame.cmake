# The worst-case frame with DrawFrame, beside the same primitives drawn by
# QPainter; this is the only place below app/ that links Qt.
find_package(Qt6 COMPONENTS Gui)
if(Qt6Gui_FOUND)
  add_executable(bench_frame FrameBench.cpp)
  target_link_libraries(bench_frame PRIVATE render worst_case_design Qt6::Gui benchmark::benchmark)
endif()
