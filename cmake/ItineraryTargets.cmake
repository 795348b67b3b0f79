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

# itinerary_set_tier(TARGET core|services|ui)
# Puts a library or a program in a tier, whose links itinerary_check_tiers() checks once
# every target exists: a core target links QtCore and core libraries of the project only; a
# services target no widgets, print support or browser engine and no ui library; no target a
# library of a tier above its own.
function(itinerary_set_tier target tier)
  if(NOT tier MATCHES "^(core|services|ui)$")
    message(FATAL_ERROR "${target}: TIER must be core, services or ui")
  endif()
  set_target_properties(${target} PROPERTIES ITINERARY_TIER ${tier})
  set_property(GLOBAL APPEND PROPERTY ITINERARY_TIERED_TARGETS ${target})
endfunction()

function(itinerary_tier_rank tier out)
  set(tiers core services ui)
  list(FIND tiers "${tier}" rank)
  set(${out} ${rank} PARENT_SCOPE)
endfunction()

function(itinerary_check_tiers)
  get_property(targets GLOBAL PROPERTY ITINERARY_TIERED_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(tier ${target} ITINERARY_TIER)
    itinerary_tier_rank(${tier} rank)
    get_target_property(libs ${target} LINK_LIBRARIES)
    foreach(lib IN LISTS libs)
      if(lib STREQUAL "itinerary_options")
        continue()
      endif()
      if(tier STREQUAL "core" AND NOT lib MATCHES "^(itinerary_|Qt6::Core$)")
        message(FATAL_ERROR "${target} is in the core tier and may not link ${lib}")
      endif()
      if(tier STREQUAL "services" AND lib MATCHES "^Qt6::(Widgets|PrintSupport|WebEngine|Quick)")
        message(FATAL_ERROR "${target} is in the services tier and may not link ${lib}")
      endif()
      if(TARGET ${lib})
        get_target_property(libTier ${lib} ITINERARY_TIER)
        if(libTier)
          itinerary_tier_rank(${libTier} libRank)
          if(libRank GREATER rank)
            message(FATAL_ERROR
                    "${target} (${tier} tier) may not link ${lib} of the ${libTier} tier")
          endif()
        endif()
      endif()
    endforeach()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL itinerary_check_tiers)

# itinerary_add_library(NAME TIER core|services|ui SOURCES ... LIBS ...)
# One static library per source folder. The tier decides which Qt modules and which of the
# project's libraries it may use (see itinerary_set_tier).
function(itinerary_add_library name)
  cmake_parse_arguments(ARG "" "TIER" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC itinerary_options Qt6::Core ${ARG_LIBS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  itinerary_set_tier(${name} ${ARG_TIER})
endfunction()

# itinerary_place_module_beside(PROGRAM MODULE)
# Builds MODULE before PROGRAM and copies it beside the program in the build tree, where the
# program looks first (installed, both go to their own folders).
# Call it in the program's own folder.
function(itinerary_place_module_beside program module)
  # Modules are named without a prefix (see their targets).
  set(copy ${CMAKE_CURRENT_BINARY_DIR}/${module}${CMAKE_SHARED_MODULE_SUFFIX})
  add_custom_command(OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${module}> ${copy}
    DEPENDS ${module}
    VERBATIM)
  add_custom_target(${program}-${module} DEPENDS ${copy})
  add_dependencies(${program} ${program}-${module})
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
