# Cross-build for 64-bit Windows with MinGW-w64 (see mingw-w64.cmake).
set(LUMAVEIL_MINGW_PROCESSOR x86_64)
set(LUMAVEIL_MINGW_WINE wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
