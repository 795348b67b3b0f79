# Installation and the Debian package. Included last, after every target exists.
include(GNUInstallDirs)

foreach(program IN ITEMS itinerary itinerary-render itinerary-cli verification-site)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/packaging/itinerary.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/itinerary.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/itinerary-render.service
        DESTINATION lib/systemd/system)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/itinerary-verification-site.service
        DESTINATION lib/systemd/user)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME itinerary)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Itinerary maintainers <maintainers@invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Fill in and print air e-ticket itinerary receipts on pre-printed forms")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Fill in and print air e-ticket itinerary receipts on pre-printed forms
 A desktop tool for air-ticket sales agents: paste the booking display or query
 the e-ticket verification site, correct the sheet and print the receipt at
 calibrated offsets. Includes itinerary-render, a rendering service an agency
 can run for all its counters, and itinerary-cli for batch import and printing.
 .
 verification-site is a local demonstration of the verification site for
 trying the web query and for tests; it is not the real site.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Library dependencies are computed from the binaries; the CJK fonts are data.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
