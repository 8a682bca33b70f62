# Each starts from a frame of the sample design Dot as the export writes it:
# the BMP of frame 1 (and the same as an image editor saves it, 8-bit
# run-length encoded), and its one-frame GIF.
flinder_add_fuzzer(fuzz_bmp_reader BmpReaderFuzzer.cpp image
  SEEDS ${CMAKE_CURRENT_LIST_DIR}/seeds/bmp ${CMAKE_CURRENT_LIST_DIR}/regressions/bmp)
flinder_add_fuzzer(fuzz_gif_frame GifFrameFuzzer.cpp gif
  SEEDS ${CMAKE_CURRENT_LIST_DIR}/seeds/gif)

# The readers of the image module, each starting from frame 1 of Dot written
# by our own writer of that format.
foreach(reader "pcx;DecodePcx;PcxFile" "png;DecodePng;PngFile" "jpg;DecodeJpeg;JpegFile"
               "tif;DecodeTiff;TiffFile" "gif;DecodeGifImage;GifImageReader")
  list(GET reader 0 format)
  list(GET reader 1 decoder)
  list(GET reader 2 header)
  flinder_add_fuzzer(fuzz_${format}_reader ImageReaderFuzzer.cpp image
    SEEDS ${CMAKE_CURRENT_LIST_DIR}/seeds/${format} ${CMAKE_CURRENT_LIST_DIR}/regressions/${format})
  target_compile_definitions(fuzz_${format}_reader PRIVATE FLINDER_DECODER=${decoder}
    FLINDER_DECODER_HEADER="image/${header}.h")
endforeach()
