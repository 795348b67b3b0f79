# The result page road: tag-name normaliser, third-table extraction, guard and parser.
itinerary_add_fuzzer(fuzz_resultpage
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_resultpage.cpp
  LIBS itinerary_webimport)
