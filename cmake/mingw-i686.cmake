# Windows, i686, with Debian's mingw-w64 toolchain.
set(SC_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
