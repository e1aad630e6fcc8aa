# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (posix threads),
# against the libraries that scripts/windows builds into its cache prefix.
#
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/windows/mingw-w64-x86_64.cmake \
#         -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake ...
#
# The prefix is VELNARA_WINDOWS_PREFIX, or $VELNARA_WINDOWS_CACHE/prefix, or
# /var/cache/velnara-windows/prefix.
#
# The C++ runtime (libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll)
# is linked as DLLs and shipped next to the executable, not linked statically:
# Qt, the libraries of the prefix and the program then share one copy of it,
# so exceptions, new/delete and thread-locals cross DLL boundaries safely.
# scripts/windows copies the three into PREFIX/bin; velnara_windows_deploy()
# (VelnaraWindows.cmake) copies them next to an executable.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(VELNARA_MINGW_TRIPLET x86_64-w64-mingw32)
# The posix flavour: std::thread, std::mutex and the like need it.
set(CMAKE_C_COMPILER ${VELNARA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELNARA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VELNARA_MINGW_TRIPLET}-windres)
set(CMAKE_AR /usr/bin/${VELNARA_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/${VELNARA_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP /usr/bin/${VELNARA_MINGW_TRIPLET}-objdump CACHE FILEPATH "")

if(NOT VELNARA_WINDOWS_PREFIX)
  if(DEFINED ENV{VELNARA_WINDOWS_PREFIX} AND NOT "$ENV{VELNARA_WINDOWS_PREFIX}" STREQUAL "")
    set(VELNARA_WINDOWS_PREFIX "$ENV{VELNARA_WINDOWS_PREFIX}")
  elseif(DEFINED ENV{VELNARA_WINDOWS_CACHE} AND NOT "$ENV{VELNARA_WINDOWS_CACHE}" STREQUAL "")
    set(VELNARA_WINDOWS_PREFIX "$ENV{VELNARA_WINDOWS_CACHE}/prefix")
  else()
    set(VELNARA_WINDOWS_PREFIX /var/cache/velnara-windows/prefix)
  endif()
endif()
# try_compile projects read this file again: hand them the prefix we chose.
set(ENV{VELNARA_WINDOWS_PREFIX} "${VELNARA_WINDOWS_PREFIX}")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELNARA_WINDOWS_PREFIX)

# Libraries, headers and packages come from the prefix and the MinGW
# runtime only, never from the Linux system; programs run on the host.
set(CMAKE_FIND_ROOT_PATH ${VELNARA_WINDOWS_PREFIX} /usr/${VELNARA_MINGW_TRIPLET})
list(APPEND CMAKE_PREFIX_PATH ${VELNARA_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees the cross prefix alone; the .pc files there carry the
# prefix's absolute path, so no sysroot is added in front of it.
set(ENV{PKG_CONFIG_LIBDIR} "${VELNARA_WINDOWS_PREFIX}/lib/pkgconfig:${VELNARA_WINDOWS_PREFIX}/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
set(PKG_CONFIG_EXECUTABLE /usr/bin/pkg-config CACHE FILEPATH "")

# Test programs (add_test, gtest_discover_tests) run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
