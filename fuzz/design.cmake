# The design file's reader: the profile document, the list scan and loading
# a design, from any bytes.
flinder_add_fuzzer(fuzz_design_file ${CMAKE_CURRENT_LIST_DIR}/DesignFileFuzzer.cpp design)
