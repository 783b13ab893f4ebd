# Cross-compiles for 64-bit Windows with Debian's MinGW-w64: the stand-in that the tests, the
# demo and the benchmarks run under a 64-bit Wine where the machine runs no 32-bit code. The
# same sources, the same two thread models as the 32-bit build (cmake/mingw-common.cmake).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
