add_executable(bench_textimport ${CMAKE_CURRENT_LIST_DIR}/bench_textimport.cpp)
target_link_libraries(bench_textimport PRIVATE itinerary_options itinerary_textimport
  benchmark::benchmark)
