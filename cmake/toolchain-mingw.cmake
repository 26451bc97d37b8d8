# Cross-compiles for Windows with MinGW-w64. MINGW_TRIPLE picks the architecture:
# i686-w64-mingw32 for the shipped 32-bit program, x86_64-w64-mingw32 for the 64-bit build of
# the same code and tests.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT MINGW_TRIPLE)
  set(MINGW_TRIPLE i686-w64-mingw32)
endif()
if(MINGW_TRIPLE MATCHES "^x86_64")
  set(CMAKE_SYSTEM_PROCESSOR AMD64)
else()
  set(CMAKE_SYSTEM_PROCESSOR x86)
endif()
set(MINGW_TRIPLE "${MINGW_TRIPLE}" CACHE STRING "MinGW-w64 target triple")

# The -posix compilers: the default win32 thread model lacks std::mutex.
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
# Packages built for the target, such as installed layers named in CMAKE_PREFIX_PATH, count as
# part of it.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The build machine's own packages (its GoogleTest among them) are not the target's.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
