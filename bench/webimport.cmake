add_executable(bench_webimport ${CMAKE_CURRENT_LIST_DIR}/bench_webimport.cpp)
target_link_libraries(bench_webimport PRIVATE itinerary_options itinerary_webimport
  benchmark::benchmark)
target_compile_definitions(bench_webimport PRIVATE
  ITINERARY_RESULT_PAGE="${PROJECT_SOURCE_DIR}/tests/data/pages/result-serialised.html")
