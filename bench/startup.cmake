# Start-up of the main window against a plain Qt window of the same controls, timed from
# process start (programs, not Google Benchmarks: each sample is a fresh process).
add_library(bench_startup_probe STATIC ${CMAKE_CURRENT_LIST_DIR}/startup/StartupProbe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/startup/StartupProbe.h)
target_link_libraries(bench_startup_probe PUBLIC itinerary_options Qt6::Widgets)
target_include_directories(bench_startup_probe PUBLIC ${CMAKE_CURRENT_LIST_DIR})

# The yardstick links Qt Widgets and the sheet's geometry only.
add_executable(startup_plain_window ${CMAKE_CURRENT_LIST_DIR}/startup/startup_plain_window.cpp)
target_link_libraries(startup_plain_window PRIVATE bench_startup_probe itinerary_sheet
  Qt6::Widgets)
# The main window links what the application links.
add_executable(startup_main_window ${CMAKE_CURRENT_LIST_DIR}/startup/startup_main_window.cpp)
target_link_libraries(startup_main_window PRIVATE bench_startup_probe itinerary_app)
target_compile_definitions(startup_main_window PRIVATE
  ITINERARY_BROWSER_ENGINE="$<TARGET_FILE:itinerary-browser-engine>")

add_executable(bench_startup ${CMAKE_CURRENT_LIST_DIR}/bench_startup.cpp)
target_link_libraries(bench_startup PRIVATE bench_startup_probe itinerary_verification_site)
add_dependencies(bench_startup startup_plain_window startup_main_window itinerary-browser-engine)
