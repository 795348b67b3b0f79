# render_load: a real itinerary-render process under load and malformed requests. The test
# command runs it briefly against the packaged program; the bench command for a minute.
add_executable(render_load
  ${CMAKE_CURRENT_LIST_DIR}/load/render_load.cpp
  ${CMAKE_CURRENT_LIST_DIR}/load/LoadClient.cpp ${CMAKE_CURRENT_LIST_DIR}/load/LoadClient.h
  ${CMAKE_CURRENT_LIST_DIR}/load/MalformedRequests.cpp
  ${CMAKE_CURRENT_LIST_DIR}/load/MalformedRequests.h
  ${CMAKE_CURRENT_LIST_DIR}/load/ReceiptRequests.cpp ${CMAKE_CURRENT_LIST_DIR}/load/ReceiptRequests.h
  ${CMAKE_CURRENT_LIST_DIR}/load/ServiceProcess.cpp ${CMAKE_CURRENT_LIST_DIR}/load/ServiceProcess.h
  # The blocking wire client of the service tests sends malformed bytes exactly as given.
  ${PROJECT_SOURCE_DIR}/tests/render/WireClient.cpp ${PROJECT_SOURCE_DIR}/tests/render/WireClient.h)
target_include_directories(render_load PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(render_load PRIVATE itinerary_options itinerary_sheet Qt6::Network)
