# Each starts from a frame of the sample design Dot as the export writes it:
# the BMP of frame 1, and its one-frame GIF.
flinder_add_fuzzer(fuzz_bmp_reader BmpReaderFuzzer.cpp export
  SEEDS ${CMAKE_CURRENT_LIST_DIR}/seeds/bmp)
flinder_add_fuzzer(fuzz_gif_frame GifFrameFuzzer.cpp export
  SEEDS ${CMAKE_CURRENT_LIST_DIR}/seeds/gif)
