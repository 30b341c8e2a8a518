# libFuzzer targets over the bookmark readers (clang only), one per format:
#   ./build-fuzz/fuzz_bookmarks_netscape -rss_limit_mb=2560 -timeout=25 \
#       -max_total_time=120 fuzz/corpus-netscape tests/data/bookmarks-corpus/netscape
target_compile_options(lf_bookmarks PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
target_link_options(lf_bookmarks INTERFACE -fsanitize=address,undefined)
foreach(reader netscape xbel chromium firefox webloc)
  add_executable(fuzz_bookmarks_${reader} ${CMAKE_SOURCE_DIR}/fuzz/fuzz_bookmarks_${reader}.cpp)
  target_link_libraries(fuzz_bookmarks_${reader} PRIVATE lf_bookmarks)
  target_compile_options(fuzz_bookmarks_${reader} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(fuzz_bookmarks_${reader} PRIVATE -fsanitize=fuzzer,address,undefined)
  set_target_properties(fuzz_bookmarks_${reader} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endforeach()
