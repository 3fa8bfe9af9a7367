# 32-bit Windows programs built by mingw-w64. Two thread models, one compiler each:
#   win32  the shipped program: its runtime needs nothing newer than Windows 2000
#   posix  the tests and tools: GoogleTest needs std::mutex, which only this one has
# Set BRINDLECAP_THREAD_MODEL (default posix) when configuring.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
if(NOT BRINDLECAP_THREAD_MODEL)
  set(BRINDLECAP_THREAD_MODEL posix)
endif()
# try_compile projects configure with this file too: hand them the choice.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BRINDLECAP_THREAD_MODEL)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${BRINDLECAP_THREAD_MODEL})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${BRINDLECAP_THREAD_MODEL})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
