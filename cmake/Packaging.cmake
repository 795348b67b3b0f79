# Installation and the Debian package. Included last, after every target exists.
include(GNUInstallDirs)

set(ITINERARY_PROGRAMS itinerary itinerary-render itinerary-cli verification-site)
foreach(program IN LISTS ITINERARY_PROGRAMS)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/packaging/itinerary.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/itinerary.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

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
itinerary_install_unit(${PROJECT_SOURCE_DIR}/packaging/itinerary-verification-site.service.in
                       user)

# True when `target` links `library`, directly or through the static libraries it links.
function(itinerary_links target library result)
  set(found FALSE)
  set(pending ${target})
  set(seen)
  while(pending AND NOT found)
    list(POP_FRONT pending current)
    if(current IN_LIST seen OR NOT TARGET ${current})
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(type ${current} TYPE)
    set(links)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct ${current} LINK_LIBRARIES)
      if(direct)
        list(APPEND links ${direct})
      endif()
    endif()
    get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
    if(interface)
      list(APPEND links ${interface})
    endif()
    if(library IN_LIST links)
      set(found TRUE)
    endif()
    list(APPEND pending ${links})
  endwhile()
  set(${result} ${found} PARENT_SCOPE)
endfunction()

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

# Library dependencies are computed from the binaries (dpkg-shlibdeps). What the binaries load
# at run time without linking it is named here: the CJK fonts the receipt and the sheet are
# drawn with, and the browser engine's helper process when the window embeds the browser.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(ITINERARY_RUNTIME_DEPENDS fonts-noto-cjk)
if(TARGET itinerary)
  itinerary_links(itinerary Qt6::WebEngineCore ITINERARY_USES_BROWSER)
  if(NOT ITINERARY_USES_BROWSER)
    itinerary_links(itinerary Qt6::WebEngineWidgets ITINERARY_USES_BROWSER)
  endif()
  if(ITINERARY_USES_BROWSER)
    list(APPEND ITINERARY_RUNTIME_DEPENDS libqt6webenginecore6-bin)
  endif()
endif()
list(JOIN ITINERARY_RUNTIME_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# Printing goes to the default printer of a CUPS server, local or on the network.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
