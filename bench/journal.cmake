add_executable(bench_journal ${CMAKE_CURRENT_LIST_DIR}/bench_journal.cpp)
target_link_libraries(bench_journal PRIVATE itinerary_options itinerary_journal
  benchmark::benchmark)
