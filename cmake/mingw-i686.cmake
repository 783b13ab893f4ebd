# Cross-compiles for 32-bit Windows with Debian's MinGW-w64: the product (MINGW_THREADS=win32),
# and the Windows tests that run it under a 32-bit Wine (MINGW_THREADS=posix).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
