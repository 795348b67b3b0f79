add_executable(bench_sheet ${CMAKE_CURRENT_LIST_DIR}/bench_sheet.cpp)
target_link_libraries(bench_sheet PRIVATE itinerary_options itinerary_sheet benchmark::benchmark)
