# The rendering service's reading of a raw request target (QtCore only, so it also runs in the
# core preset).
itinerary_add_fuzzer(fuzz_renderrequest
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_renderrequest.cpp
  LIBS itinerary_render_request)
