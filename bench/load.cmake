# render_load: a real itinerary-render process under load and malformed requests. The test
# command runs it briefly against the packaged program; the bench command for a minute.
add_executable(render_load
  ${CMAKE_CURRENT_LIST_DIR}/load/render_load.cpp
  ${CMAKE_CURRENT_LIST_DIR}/load/LoadClient.cpp ${CMAKE_CURRENT_LIST_DIR}/load/LoadClient.h
  ${CMAKE_CURRENT_LIST_DIR}/load/LoadResult.cpp ${CMAKE_CURRENT_LIST_DIR}/load/LoadResult.h
  ${CMAKE_CURRENT_LIST_DIR}/load/MalformedRequests.cpp
  ${CMAKE_CURRENT_LIST_DIR}/load/MalformedRequests.h
  ${CMAKE_CURRENT_LIST_DIR}/load/ReceiptRequests.cpp ${CMAKE_CURRENT_LIST_DIR}/load/ReceiptRequests.h
  ${CMAKE_CURRENT_LIST_DIR}/load/ServiceProcess.cpp ${CMAKE_CURRENT_LIST_DIR}/load/ServiceProcess.h
  # The blocking wire client of the service tests sends malformed bytes exactly as given.
  ${PROJECT_SOURCE_DIR}/tests/render/WireClient.cpp ${PROJECT_SOURCE_DIR}/tests/render/WireClient.h)
target_include_directories(render_load PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(render_load PRIVATE itinerary_options itinerary_sheet Qt6::Network)

# web_load: a real itinerary-web process: the import and print round trips of one agent, then
# many agents importing and printing at once. The bench command runs it.
add_executable(web_load
  ${CMAKE_CURRENT_LIST_DIR}/load/web_load.cpp
  ${CMAKE_CURRENT_LIST_DIR}/load/LoadResult.cpp ${CMAKE_CURRENT_LIST_DIR}/load/LoadResult.h
  ${CMAKE_CURRENT_LIST_DIR}/load/ServiceProcess.cpp ${CMAKE_CURRENT_LIST_DIR}/load/ServiceProcess.h
  ${CMAKE_CURRENT_LIST_DIR}/load/WebSession.cpp ${CMAKE_CURRENT_LIST_DIR}/load/WebSession.h
  ${PROJECT_SOURCE_DIR}/tests/render/WireClient.cpp ${PROJECT_SOURCE_DIR}/tests/render/WireClient.h)
target_include_directories(web_load PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(web_load PRIVATE
  ITINERARY_BENCH_BOOKINGS="${PROJECT_SOURCE_DIR}/tests/data/bookings")
target_link_libraries(web_load PRIVATE itinerary_options Qt6::Network)
