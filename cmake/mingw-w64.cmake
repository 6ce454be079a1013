# Cross-compiling for 64-bit Windows with Debian's mingw-w64, POSIX thread model (std::thread
# and std::mutex need it). Used for the project and for the dependencies that scripts/build-windows
# builds from Debian's source packages.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SSDTOOL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SSDTOOL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SSDTOOL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SSDTOOL_MINGW_PREFIX}-windres)
# Libraries and headers come from the mingw sysroot and from the built dependencies
# (scripts/build-windows adds their folder to CMAKE_FIND_ROOT_PATH), never from the Linux system.
if(NOT CMAKE_FIND_ROOT_PATH)
  set(CMAKE_FIND_ROOT_PATH /usr/${SSDTOOL_MINGW_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
