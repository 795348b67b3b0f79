# Precompiled headers: most of a translation unit's compile time is spent parsing Qt Core's
# headers again. One target precompiles the Qt Core and standard headers the code uses most,
# with the project's own flags, and every target of the build reuses it (GCC refuses a header
# built with other options, and CMake's -Winvalid-pch with -Werror makes that an error, so a
# mismatch cannot pass unnoticed). The core preset builds without it, so that a file that
# forgets an include of its own still fails somewhere.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set(pchDefault ON)
else()
  set(pchDefault OFF)
endif()
option(ITINERARY_PCH "Precompile the Qt Core headers once for every target (GCC)" ${pchDefault})

function(itinerary_targets_below directory out)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    itinerary_targets_below(${subdirectory} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(itinerary_reuse_precompiled_headers)
  add_library(itinerary_pch OBJECT ${PROJECT_SOURCE_DIR}/cmake/pch/QtCoreHeaders.cpp)
  target_link_libraries(itinerary_pch PRIVATE itinerary_options Qt6::Core)
  set_target_properties(itinerary_pch PROPERTIES POSITION_INDEPENDENT_CODE ON AUTOMOC OFF)
  target_precompile_headers(itinerary_pch PRIVATE
    <QByteArray> <QCoreApplication> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash>
    <QJsonArray> <QJsonDocument> <QJsonObject> <QList> <QLoggingCategory> <QObject>
    <QPointer> <QString> <QStringList> <QStringView> <QTimer> <QUrl>
    <functional> <memory> <optional> <vector>)
  itinerary_targets_below(${PROJECT_SOURCE_DIR} targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(target STREQUAL "itinerary_pch"
       OR NOT type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
      continue()
    endif()
    target_precompile_headers(${target} REUSE_FROM itinerary_pch)
  endforeach()
endfunction()
if(ITINERARY_PCH)
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL itinerary_reuse_precompiled_headers)
endif()
