# One interface target carries the language standard, the warnings and the Qt strictness
# defines; every target of the project links it. Warnings are errors where the project's own
# checks build (the ci and core presets), not in a packager's build with another compiler.
option(ITINERARY_WERROR "Treat compiler warnings as errors" OFF)
add_library(itinerary_options INTERFACE)
target_compile_features(itinerary_options INTERFACE cxx_std_20)
target_compile_options(itinerary_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-qual
  -Wformat=2 -Wmissing-declarations)
if(ITINERARY_WERROR)
  target_compile_options(itinerary_options INTERFACE -Werror)
endif()
target_compile_definitions(itinerary_options INTERFACE
  QT_NO_CAST_TO_ASCII
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH
  QT_NO_KEYWORDS)
if(ITINERARY_SANITIZE)
  target_compile_options(itinerary_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(itinerary_options INTERFACE -fsanitize=address,undefined)
endif()

# Third-party leaks the sanitizer run must not fail on (inherited by the processes tests start).
set(ITINERARY_LSAN_OPTIONS
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan-suppressions.txt")

# itinerary_add_library(NAME TIER core|services|ui SOURCES ... LIBS ...)
# One static library per source folder. The tier decides which Qt modules it may use: a core
# library links QtCore and other libraries of the project only.
function(itinerary_add_library name)
  cmake_parse_arguments(ARG "" "TIER" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_TIER MATCHES "^(core|services|ui)$")
    message(FATAL_ERROR "${name}: TIER must be core, services or ui")
  endif()
  if(ARG_TIER STREQUAL "core")
    foreach(lib IN LISTS ARG_LIBS)
      if(NOT lib MATCHES "^itinerary_")
        message(FATAL_ERROR "${name} is in the core tier and may not link ${lib}")
      endif()
    endforeach()
  endif()
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC itinerary_options Qt6::Core ${ARG_LIBS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()

# itinerary_add_test(NAME SOURCES ... LIBS ... [LABELS ...] [RESOURCE_LOCK ...] [TIMEOUT s]
#                    [LAUNCHER script])
# A Qt Test executable run by CTest on the offscreen platform, or by a launcher script that
# gives it a platform of its own.
function(itinerary_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT;LAUNCHER" "SOURCES;LIBS;LABELS;RESOURCE_LOCK;ENVIRONMENT"
                        ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE itinerary_options Qt6::Test ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${ARG_LAUNCHER} $<TARGET_FILE:${name}>)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${ITINERARY_LSAN_OPTIONS};${ARG_ENVIRONMENT}")
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
  if(ARG_RESOURCE_LOCK)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${ARG_RESOURCE_LOCK}")
  endif()
endfunction()
