# The MSVC ABI without Visual Studio: Debian's clang-cl (CMake's MSVC-like
# frontend, so every per-compiler setting takes its MSVC branch) and lld-link,
# compiling over MinGW-w64's C headers and libstdc++'s headers and linking
# against msvcrt.dll through MinGW-w64's import libraries.
#
# What this toolchain lacks is most of a C++ runtime library for the MSVC
# ABI: libstdc++ is built for GCC's ABI only, and neither Visual Studio's
# library nor libc++ for Windows is packaged. The header-only parts of
# libstdc++ work, and msvc-abi/runtime.cpp stands in for the few out-of-line
# parts that the deliverables and the stand-in Maya use; C++ streams do not
# exist. So these builds (LUMAVEIL_MSVC_ABI_OVER_MINGW) make the deliverables,
# the stand-in Maya and the worked-examples program; the stand-in renderer and
# the GoogleTest suites, which need streams, come from the MinGW-w64 builds.
#
# Set by the architecture's file that includes this one:
#   LUMAVEIL_MSVC_ABI_PROCESSOR  AMD64 or X86
#   LUMAVEIL_MSVC_ABI_TARGET     clang's target triple
#   LUMAVEIL_MSVC_ABI_MINGW      MinGW-w64's triple, naming its folders
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${LUMAVEIL_MSVC_ABI_PROCESSOR})

set(CMAKE_C_COMPILER clang-cl-14)
set(CMAKE_CXX_COMPILER clang-cl-14)
set(CMAKE_C_COMPILER_TARGET ${LUMAVEIL_MSVC_ABI_TARGET})
set(CMAKE_CXX_COMPILER_TARGET ${LUMAVEIL_MSVC_ABI_TARGET})
set(CMAKE_LINKER lld-link-14)
set(CMAKE_AR llvm-lib-14)
set(CMAKE_RC_COMPILER llvm-rc-14)
set(CMAKE_MT llvm-mt-14)
# Checks compile without linking: a program needs a start-up we do not have.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

set(mingw_root /usr/${LUMAVEIL_MSVC_ABI_MINGW})
file(GLOB gcc_dirs LIST_DIRECTORIES true /usr/lib/gcc/${LUMAVEIL_MSVC_ABI_MINGW}/*-posix)
if(NOT gcc_dirs OR NOT EXISTS ${mingw_root}/lib/dllcrt2.o)
    message(FATAL_ERROR "MinGW-w64 for ${LUMAVEIL_MSVC_ABI_MINGW} (posix threads) is not installed: "
                        "bash scripts/install-deps.sh msvc")
endif()
list(SORT gcc_dirs COMPARE NATURAL ORDER DESCENDING)
list(GET gcc_dirs 0 gcc_dir)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} /clang:-print-resource-dir
                OUTPUT_VARIABLE clang_resource_dir OUTPUT_STRIP_TRAILING_WHITESPACE)

# None of the host's headers: clang's own, then libstdc++'s, then MinGW-w64's.
# -fgnuc-version lets MinGW-w64's headers use the GCC attributes they are
# written with; __STRICT_ANSI__ keeps libstdc++ from GCC-only extensions;
# mingwHeaders.h bridges the one spelling they do not expect in MSVC mode.
set(system_includes
    "-imsvc ${gcc_dir}/include/c++"
    "-imsvc ${gcc_dir}/include/c++/${LUMAVEIL_MSVC_ABI_MINGW}"
    "-imsvc ${clang_resource_dir}/include"
    "-imsvc /usr/share/mingw-w64/include")
list(JOIN system_includes " " system_includes)
set(common_flags
    "/X ${system_includes} /clang:-fgnuc-version=12 -D__STRICT_ANSI__ /FI${CMAKE_CURRENT_LIST_DIR}/msvc-abi/mingwHeaders.h")
# libstdc++'s threads call winpthreads by strong references: a weak one
# would not pull the function out of the static library.
string(APPEND common_flags " -D_GLIBCXX_GTHREAD_USE_WEAK=0")
# MinGW-w64's headers know 32-bit x86 by the macro its GCC predefines.
if(LUMAVEIL_MSVC_ABI_PROCESSOR STREQUAL "X86")
    string(APPEND common_flags " -D_X86_=1")
endif()
set(CMAKE_C_FLAGS_INIT "${common_flags}")
set(CMAKE_CXX_FLAGS_INIT "${common_flags}")

# Libraries are linked with MinGW-w64's C start-up of a DLL, which runs the
# MSVC-style initialisers of .CRT$XC* and the atexit list, as Visual Studio's
# does; libgcc gives the stack probe that MinGW-w64's C code calls.
# Programs likewise start through MinGW-w64's console start-up. MinGW-w64's
# start-up names the image base as GNU ld does; its objects carry no tables
# of safe exception handlers.
set(link_flags "/nodefaultlib /manifest:no")
if(LUMAVEIL_MSVC_ABI_PROCESSOR STREQUAL "X86")
    string(APPEND link_flags " /alternatename:__image_base__=___ImageBase /safeseh:no")
else()
    string(APPEND link_flags " /alternatename:__image_base__=__ImageBase")
endif()
set(library_flags "${link_flags} /entry:DllMainCRTStartup ${mingw_root}/lib/dllcrt2.o")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${library_flags}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${library_flags}")
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "${link_flags} /subsystem:console /entry:mainCRTStartup ${mingw_root}/lib/crt2.o")
# libstdc++'s mutex is winpthreads', linked statically.
set(system_libraries
    "${mingw_root}/lib/libwinpthread.a ${mingw_root}/lib/libmingw32.a ${mingw_root}/lib/libmingwex.a ${mingw_root}/lib/libmsvcrt.a ${mingw_root}/lib/libkernel32.a ${gcc_dir}/libgcc.a")
set(CMAKE_C_STANDARD_LIBRARIES "${system_libraries}")
set(CMAKE_CXX_STANDARD_LIBRARIES "${system_libraries}")

# What Visual Studio's runtime would give: see msvc-abi/runtime.cmake.
set(CMAKE_PROJECT_lumaVeil_INCLUDE ${CMAKE_CURRENT_LIST_DIR}/msvc-abi/runtime.cmake)
set(LUMAVEIL_MSVC_ABI_OVER_MINGW ON)

# Tests run the MinGW-w64 build's programs under Wine.
if(LUMAVEIL_MSVC_ABI_PROCESSOR STREQUAL "X86")
    find_program(LUMAVEIL_WINE NAMES wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
else()
    find_program(LUMAVEIL_WINE NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
endif()
