# Cross build for 32-bit Windows with MinGW-w64.
#
# The shipped exe uses the win32 thread model: the posix one's static
# runtime imports kernel32 functions that Windows 98 lacks. GoogleTest needs
# std::mutex, which only the posix model has in GCC 12, so the Windows test
# programs are built with VANTREL_MINGW_THREADS=posix.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

if(NOT VANTREL_MINGW_THREADS)
    set(VANTREL_MINGW_THREADS win32)
endif()
set(VANTREL_MINGW_THREADS ${VANTREL_MINGW_THREADS} CACHE STRING "MinGW thread model: win32 (shipped exe) or posix (test programs)")

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${VANTREL_MINGW_THREADS})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${VANTREL_MINGW_THREADS})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained exe: no libgcc, libstdc++ or winpthread DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine, in a 32-bit prefix of their own.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
