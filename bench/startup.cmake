# Start-up of the main window and its browser control, timed from process start (a program,
# not a Google Benchmark: each sample is a fresh process).
add_executable(bench_startup ${CMAKE_CURRENT_LIST_DIR}/bench_startup.cpp)
target_link_libraries(bench_startup PRIVATE itinerary_options itinerary_app
  itinerary_verification_site)
