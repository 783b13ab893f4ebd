# Cross-compiles for 64-bit Windows with Debian's MinGW-w64. This build runs the tests, the demo
# and the benchmarks under a 64-bit Wine on machines whose kernel runs no 32-bit code; the same
# sources make the 32-bit product.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
