# Installation and the Debian package. Included last, after every target exists.
include(GNUInstallDirs)

set(ITINERARY_PROGRAMS itinerary itinerary-render itinerary-cli itinerary-web verification-site)
foreach(program IN LISTS ITINERARY_PROGRAMS)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

foreach(module IN ITEMS itinerary-browser-engine itinerary-printer)
  if(TARGET ${module})
    install(TARGETS ${module} LIBRARY DESTINATION ${ITINERARY_MODULE_INSTALL_DIR})
  endif()
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/packaging/itinerary.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/itinerary.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The nginx sites of a rendering pool and of the web counter, for the agency to enable.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/nginx/itinerary-web.conf
        DESTINATION ${CMAKE_INSTALL_DATADIR}/itinerary/nginx)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/nginx/itinerary-render.conf
        DESTINATION ${CMAKE_INSTALL_DATADIR}/itinerary/nginx)

# The service units name the programs by their full path, which depends on the prefix the
# files are installed under: /usr/local for `cmake --install`, /usr in the package (CPack
# installs with its own prefix). So the units are written at install time, not configure time.
function(itinerary_install_unit source kind)
  get_filename_component(name ${source} NAME_WLE)
  install(CODE "
    set(ITINERARY_INSTALL_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    configure_file(\"${source}\" \"${PROJECT_BINARY_DIR}/packaging/${kind}/${name}\" @ONLY)
    file(INSTALL \"${PROJECT_BINARY_DIR}/packaging/${kind}/${name}\"
         DESTINATION \"\${CMAKE_INSTALL_PREFIX}/lib/systemd/${kind}\")")
endfunction()
itinerary_install_unit(${PROJECT_SOURCE_DIR}/packaging/itinerary-render.service.in system)
itinerary_install_unit(${PROJECT_SOURCE_DIR}/packaging/itinerary-render@.service.in system)
itinerary_install_unit(${PROJECT_SOURCE_DIR}/packaging/itinerary-web@.service.in system)
itinerary_install_unit(${PROJECT_SOURCE_DIR}/packaging/itinerary-verification-site.service.in
                       user)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME itinerary)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Itinerary maintainers <maintainers@invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Fill in and print air e-ticket itinerary receipts on pre-printed forms")
# CPack puts the summary above this and indents each line; a blank line separates paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"A desktop tool for air-ticket sales agents: paste the booking display or query
the e-ticket verification site, correct the sheet and print the receipt at
calibrated offsets. Includes itinerary-render, a rendering service an agency
can run for all its counters, and itinerary-cli for batch import and printing.

verification-site is only a local demonstration of the verification site, for
trying the web query and for tests; it is not the real site. Agencies build
the application against the real site's address.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

# Library dependencies are computed from the binaries, the browser engine module included
# (dpkg-shlibdeps; the engine's shlibs bring its helper process along). The CJK fonts the
# receipt and the sheet are drawn with, Qt's translations, and the print journal's database
# drivers (plugins that Qt loads at run time) are what no binary links, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-noto-cjk, qt6-translations-l10n, libqt6sql6-sqlite, libqt6sql6-psql")
# Printing goes to the default printer of a CUPS server, local or on the network; a rendering
# pool puts nginx in front of several services.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups, nginx")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
