# CMake toolchain for the Windows cross-build: MinGW-w64 for x86_64, posix
# thread model (std::thread and friends need it), as packaged by Debian 12.
#
# Libraries, headers and CMake packages come only from the SDK that
# scripts/windows-sdk builds (RMTOOL_WINSDK, default /opt/rmtool-winsdk) and
# from the MinGW runtime; programs (moc, rcc, perl, ...) come from the host.
#
# Alone:        cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake ...
# With Qt:      cmake -DCMAKE_TOOLCHAIN_FILE=$SDK/lib/cmake/Qt6/qt.toolchain.cmake
#                     -DQT_CHAINLOAD_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake ...
#
# When wine64 is installed it becomes CMAKE_CROSSCOMPILING_EMULATOR, so that
# ctest runs the .exe files; pass -DCMAKE_CROSSCOMPILING_EMULATOR= to build
# without it.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_rmtool_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_rmtool_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_rmtool_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_rmtool_mingw}-windres)

# The SDK's prefix: a CMake variable, else the environment, else the default.
if(NOT RMTOOL_WINSDK)
  if(NOT "$ENV{RMTOOL_WINSDK}" STREQUAL "")
    set(RMTOOL_WINSDK "$ENV{RMTOOL_WINSDK}")
  else()
    set(RMTOOL_WINSDK /opt/rmtool-winsdk)
  endif()
endif()
# try_compile projects read this file again: hand them the same prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES RMTOOL_WINSDK)

list(APPEND CMAKE_FIND_ROOT_PATH "${RMTOOL_WINSDK}" /usr/${_rmtool_mingw})
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees only the SDK's .pc files (they name their prefix relative
# to themselves, so no sysroot is needed).
set(ENV{PKG_CONFIG_LIBDIR} "${RMTOOL_WINSDK}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(RMTOOL_WINE64 wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
  if(RMTOOL_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${RMTOOL_WINE64}")
  endif()
endif()
