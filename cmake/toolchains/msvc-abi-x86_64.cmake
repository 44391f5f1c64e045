# Cross-build for 64-bit Windows in the MSVC ABI: clang-cl and lld-link over
# MinGW-w64's headers and libraries (see msvc-abi.cmake).
set(LUMAVEIL_MSVC_ABI_PROCESSOR AMD64)
set(LUMAVEIL_MSVC_ABI_TARGET x86_64-pc-windows-msvc)
set(LUMAVEIL_MSVC_ABI_MINGW x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/msvc-abi.cmake)
