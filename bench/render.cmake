add_executable(bench_render ${CMAKE_CURRENT_LIST_DIR}/bench_render.cpp)
target_link_libraries(bench_render PRIVATE itinerary_options itinerary_render Qt6::Network
  benchmark::benchmark)
# The sample receipt of the renderer tests.
target_include_directories(bench_render PRIVATE ${PROJECT_SOURCE_DIR}/tests)
