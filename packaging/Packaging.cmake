# Installation and the Debian package (scripts/package runs cpack).
# Everything here lands under /usr: the two programs, the desktop entry and
# its icon (the SVG and PNGs rendered from it), the AppStream metainfo and a
# manual page for each program.
set(RMTOOL_APP_ID org.rmtool.rmtool)
set(RMTOOL_RELEASE_DATE 2026-12-08)
set(pkg ${CMAKE_CURRENT_LIST_DIR})
set(pkg_out ${CMAKE_BINARY_DIR}/packaging)

install(TARGETS RMTool relaymo-sim RUNTIME DESTINATION bin)
install(FILES ${pkg}/${RMTOOL_APP_ID}.desktop DESTINATION share/applications)
configure_file(${pkg}/${RMTOOL_APP_ID}.metainfo.xml.in ${pkg_out}/${RMTOOL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${pkg_out}/${RMTOOL_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${pkg}/${RMTOOL_APP_ID}.svg DESTINATION share/icons/hicolor/scalable/apps)

# Manual pages, compressed as Debian keeps them (-n: no time stamp inside).
set(man_pages)
foreach(page RMTool relaymo-sim)
  configure_file(${pkg}/${page}.1.in ${pkg_out}/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${pkg_out}/${page}.1.gz
    COMMAND gzip -n -9 -c ${pkg_out}/${page}.1 > ${pkg_out}/${page}.1.gz
    DEPENDS ${pkg_out}/${page}.1 VERBATIM)
  list(APPEND man_pages ${pkg_out}/${page}.1.gz)
endforeach()
add_custom_target(manpages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION share/man/man1)

# PNG icons for the desktops that do not draw SVG, rendered from the one SVG.
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
  set(icons)
  foreach(size 16 22 24 32 48 64 128 256)
    set(png ${pkg_out}/icons/${size}/${RMTOOL_APP_ID}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${pkg_out}/icons/${size}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${pkg}/${RMTOOL_APP_ID}.svg
      DEPENDS ${pkg}/${RMTOOL_APP_ID}.svg VERBATIM)
    list(APPEND icons ${png})
    install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
  endforeach()
  add_custom_target(icons ALL DEPENDS ${icons})
else()
  message(STATUS "rsvg-convert not found (librsvg2-bin): the package gets the SVG icon only")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rmtool)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "RM Tool developers")
set(CPACK_PACKAGE_CONTACT "RM Tool developers <maintainers@rmtool.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "engineering tool for the Relaymo Ethernet gateway")
# The package's long description (CPack puts the summary line first and
# indents the rest as the control file wants it).
set(CPACK_PACKAGE_DESCRIPTION
  "RM Tool commissions and checks a Relaymo gateway (Nexilo field bus to
Modbus/TCP): it monitors and logs values, writes outputs and registers,
sets the gateway clock, presets counters, sets power and current
terminals, and edits the gateway's configuration files over FTP.

relaymo-sim, a gateway simulator on 127.0.0.1, is included.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The interface is Japanese: a font that has its characters.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
