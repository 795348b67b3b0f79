itinerary_add_fuzzer(fuzz_gettagvalue
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/GetTagValueFuzz.cpp
  LIBS itinerary_print)
