# Windows x86 cross build with the POSIX thread-model mingw-w64 compilers.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KELPO_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${KELPO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELPO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KELPO_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KELPO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# SSE2 arithmetic, so doubles round exactly as on the other builds (the x87
# unit would round some results twice).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
