# The measuring tool of compare-peers: not a benchmark itself.
find_path(GIF_INCLUDE_DIR gif_lib.h REQUIRED)
find_library(GIF_LIBRARY gif REQUIRED)
add_executable(gif-quality GifQuality.cpp)
target_include_directories(gif-quality PRIVATE ${GIF_INCLUDE_DIR})
target_link_libraries(gif-quality PRIVATE image ${GIF_LIBRARY})

add_executable(merge-frames MergeFrames.cpp)
target_link_libraries(merge-frames PRIVATE image)

# The reading side of bench/format-check.
add_executable(image-pixels ImagePixels.cpp)
target_link_libraries(image-pixels PRIVATE image)

# The frames a WebP or APNG export drew, for the scripts that check decoders.
add_executable(drawn-frames DrawnFrames.cpp)
target_link_libraries(drawn-frames PRIVATE export)

# The floor under an export's time: drawing and LZW-coding alone.
add_executable(export-floor ExportFloor.cpp)
target_link_libraries(export-floor PRIVATE export)

# How soon an export stops once it is asked to.
add_executable(cancel-latency CancelLatency.cpp)
target_link_libraries(cancel-latency PRIVATE export)
