# Cross-build for 32-bit Windows in the MSVC ABI: clang-cl and lld-link over
# MinGW-w64's headers and libraries (see msvc-abi.cmake).
set(LUMAVEIL_MSVC_ABI_PROCESSOR X86)
set(LUMAVEIL_MSVC_ABI_TARGET i686-pc-windows-msvc)
set(LUMAVEIL_MSVC_ABI_MINGW i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/msvc-abi.cmake)
