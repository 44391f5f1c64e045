# Cross-build for Windows with MinGW-w64, for the processor the including
# file names (i686 or x86_64). The posix thread model gives std::thread; the
# runtime libraries are linked statically so that the deliverables import
# nothing but Windows system DLLs. The programs run under the Wine of the
# same word size (LUMAVEIL_MINGW_WINE).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${LUMAVEIL_MINGW_PROCESSOR})
set(CMAKE_C_COMPILER ${LUMAVEIL_MINGW_PROCESSOR}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMAVEIL_MINGW_PROCESSOR}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${LUMAVEIL_MINGW_PROCESSOR}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LUMAVEIL_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
find_program(LUMAVEIL_WINE NAMES ${LUMAVEIL_MINGW_WINE} PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
