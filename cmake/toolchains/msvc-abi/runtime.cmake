# Included right after project() by the MSVC-ABI toolchain (msvc-abi.cmake):
# the stand-in for Visual Studio's runtime (runtime.cpp), linked into every
# target, and an import library for the msvcrt.dll entries that MinGW-w64's
# leaves out (msvcrtCxx.def).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(machine i386:x86-64)
else()
    set(machine i386)
endif()
set(runtime_dir ${CMAKE_BINARY_DIR}/msvc-abi)
file(MAKE_DIRECTORY ${runtime_dir})
execute_process(
    COMMAND llvm-dlltool-14 -m ${machine} -d ${CMAKE_CURRENT_LIST_DIR}/msvcrtCxx.def
            -l ${runtime_dir}/msvcrtCxx.lib
    COMMAND_ERROR_IS_FATAL ANY)

add_library(lumaveil_msvc_runtime STATIC ${CMAKE_CURRENT_LIST_DIR}/runtime.cpp)
target_compile_features(lumaveil_msvc_runtime PRIVATE cxx_std_20)
target_compile_options(lumaveil_msvc_runtime PRIVATE /W4)
target_link_libraries(lumaveil_msvc_runtime INTERFACE ${runtime_dir}/msvcrtCxx.lib)
link_libraries(lumaveil_msvc_runtime)
