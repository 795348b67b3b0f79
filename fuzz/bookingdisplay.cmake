itinerary_add_fuzzer(fuzz_bookingdisplay
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_bookingdisplay.cpp
  LIBS itinerary_textimport)
