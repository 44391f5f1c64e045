# Cross-build for 32-bit Windows with MinGW-w64 (see mingw-w64.cmake).
set(LUMAVEIL_MINGW_PROCESSOR i686)
set(LUMAVEIL_MINGW_WINE wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
