# The Windows installer (scripts/windows lays out the program's folder, then
# runs cpack): NSIS from Debian, installing that folder whole under
# Program Files\RM Tool, with a Start-menu entry and an uninstaller.
set(RMTOOL_WINDOWS_FOLDER "" CACHE PATH "The laid-out folder of RMTool.exe that the installer installs")
if(RMTOOL_WINDOWS_FOLDER)
  install(DIRECTORY ${RMTOOL_WINDOWS_FOLDER}/ DESTINATION .)
endif()
set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME RMTool)
set(CPACK_PACKAGE_VENDOR "RM Tool")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Engineering tool for the Relaymo Ethernet gateway")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "RM Tool")
set(CPACK_PACKAGE_FILE_NAME RMTool-${PROJECT_VERSION}-win64-setup)
# The Start-menu entry: RMTool.exe as "RM Tool".
set(CPACK_PACKAGE_EXECUTABLES RMTool "RM Tool")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DISPLAY_NAME "RM Tool ${PROJECT_VERSION}")
set(CPACK_NSIS_PACKAGE_NAME "RM Tool ${PROJECT_VERSION}")
set(CPACK_NSIS_INSTALLED_ICON_NAME RMTool.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A 64-bit installer for a 64-bit program (NSIS makes 32-bit ones unless
# told; Debian's nsis has the amd64 stubs).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
include(CPack)
