# "全部打印…" in the window for a booking of 30 passengers, through the embedded rendering
# service to the default printer (a CUPS-PDF queue: start it with scripts/common.sh).
add_executable(bench_groupprint ${CMAKE_CURRENT_LIST_DIR}/bench_groupprint.cpp)
target_link_libraries(bench_groupprint PRIVATE itinerary_options itinerary_app
  benchmark::benchmark)
