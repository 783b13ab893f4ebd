# What both MinGW-w64 toolchains share; MINGW_TRIPLE names the target (i686-w64-mingw32 or
# x86_64-w64-mingw32). MINGW_THREADS chooses the compilers' thread model, and with it what the
# build makes (see CMakeLists.txt):
#   win32  (the default) the product: it links no libwinpthread, whose imports (GetTickCount64
#          of Windows Vista) the oldest Windows that Brindle supports lacks
#   posix  the Windows tests: GoogleTest needs std::mutex, which the win32 model of GCC 12 lacks
# Test executables run under Wine.
if(NOT MINGW_THREADS)
  set(MINGW_THREADS win32)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MINGW_THREADS)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-${MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-${MINGW_THREADS})
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
