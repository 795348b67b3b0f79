itinerary_add_fuzzer(fuzz_settingstags
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_settingstags.cpp
  LIBS itinerary_settings)
