add_executable(bench_codetables ${CMAKE_CURRENT_LIST_DIR}/bench_codetables.cpp)
target_link_libraries(bench_codetables PRIVATE itinerary_options itinerary_textimport
  benchmark::benchmark)
