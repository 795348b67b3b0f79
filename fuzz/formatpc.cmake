itinerary_add_fuzzer(fuzz_formatpc
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_formatpc.cpp
  LIBS itinerary_textimport)
