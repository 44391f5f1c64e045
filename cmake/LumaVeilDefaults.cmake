# Compile settings for every target of our own.
#
# Results must agree bit for bit on every compiler and target, so no
# contraction into fused multiply-adds and no fast-math; 32-bit x86 must not
# compute in the x87 unit's extended precision.
# Warnings are errors only where the presets ask for it
# (CMAKE_COMPILE_WARNING_AS_ERROR): a plain build by a user or packager must
# not fail on a new compiler's new warning.
if(MSVC)
    # Visual Studio and clang-cl. /fp:precise keeps every rounding as written
    # (Visual Studio 2022 contracts only under /fp:contract); clang-cl reads
    # /fp:precise as contraction on, so it is switched off after it. x86
    # computes in SSE2, Visual Studio's default, said out loud.
    set(LUMAVEIL_WARNING_FLAGS /W4 /permissive-)
    set(LUMAVEIL_FLOAT_FLAGS /fp:precise)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        list(APPEND LUMAVEIL_FLOAT_FLAGS /clang:-ffp-contract=off)
    endif()
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        list(APPEND LUMAVEIL_FLOAT_FLAGS /arch:SSE2)
    endif()
    set(LUMAVEIL_SOURCE_FLAGS /utf-8 /Zc:__cplusplus)
else()
    set(LUMAVEIL_WARNING_FLAGS -Wall -Wextra)
    set(LUMAVEIL_FLOAT_FLAGS -ffp-contract=off -fno-fast-math)
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
        list(APPEND LUMAVEIL_FLOAT_FLAGS -msse2 -mfpmath=sse)
    endif()
    set(LUMAVEIL_SOURCE_FLAGS)
endif()

# What we ship names its sources as the repository does (plugSource/...), not
# by where this machine keeps them: the source and build folders are mapped
# away in file names, __FILE__ and debug information. The build folder is
# given last so that it wins where it lies inside the source folder.
# MSVC-style linkers also name the .pdb in the library by its file name alone.
set(LUMAVEIL_PATH_LINK_FLAGS)
if(MSVC AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    set(LUMAVEIL_PATH_FLAGS /clang:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                            /clang:-ffile-prefix-map=${PROJECT_BINARY_DIR}=.)
    set(LUMAVEIL_PATH_LINK_FLAGS /pdbaltpath:%_PDB%)
elseif(MSVC)
    set(LUMAVEIL_PATH_FLAGS /d1trimfile:${PROJECT_SOURCE_DIR}/)
    set(LUMAVEIL_PATH_LINK_FLAGS /pdbaltpath:%_PDB%)
else()
    set(LUMAVEIL_PATH_FLAGS -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                            -ffile-prefix-map=${PROJECT_BINARY_DIR}=.)
endif()

# A shipped library's debug information, split off into <file>.debug after
# each link and tied to the library by a debug link, so that a debugger finds
# it beside a stripped copy. MSVC keeps it in a .pdb of its own.
if(CMAKE_OBJCOPY AND NOT MSVC)
    set(LUMAVEIL_SPLIT_DEBUG_INFORMATION ON)
else()
    set(LUMAVEIL_SPLIT_DEBUG_INFORMATION OFF)
endif()
function(lumaveil_split_debug_information target)
    if(LUMAVEIL_SPLIT_DEBUG_INFORMATION)
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}>
                    $<TARGET_FILE:${target}>.debug
            COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug
                    $<TARGET_FILE:${target}>
            VERBATIM)
    endif()
endfunction()

# The shipped libraries and the model they link (lumaveil_target_defaults
# with DELIVERABLE) are C++17 without extensions, as studios build them with
# GCC 9.3 (Maya 2022's devkit), Visual Studio 2017 15.7 and Clang 5; GCC and
# Clang also warn (and the presets fail) where a later standard's feature is
# taken as an extension. Everything else is C++20, and asks for it only for
# itself, so that nothing it links raises a deliverable's standard.
if(MSVC)
    set(LUMAVEIL_DELIVERABLE_FLAGS)
else()
    set(LUMAVEIL_DELIVERABLE_FLAGS -Wpedantic)
endif()

# On x86-64 glibc the deliverables bind the C library's functions to versions
# that glibc 2.28 has (cmake/glibcFloor.h says how), so that they load on the
# oldest Linux our hosts support whatever glibc built them. Other platforms
# and C libraries leave the binding to the linker.
set(LUMAVEIL_GLIBC_FLOOR_FLAGS)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64)$")
    include(CheckSymbolExists)
    check_symbol_exists(__GLIBC__ features.h LUMAVEIL_GLIBC)
    if(LUMAVEIL_GLIBC)
        set(LUMAVEIL_GLIBC_FLOOR_FLAGS -include ${CMAKE_CURRENT_LIST_DIR}/glibcFloor.h)
    endif()
endif()

function(lumaveil_target_defaults target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "DELIVERABLE" "" "")
    target_compile_options(${target} PRIVATE ${LUMAVEIL_WARNING_FLAGS} ${LUMAVEIL_FLOAT_FLAGS}
                                             ${LUMAVEIL_SOURCE_FLAGS} ${LUMAVEIL_PATH_FLAGS})
    target_link_options(${target} PRIVATE ${LUMAVEIL_PATH_LINK_FLAGS})
    if(arg_DELIVERABLE)
        set_target_properties(${target} PROPERTIES
            CXX_STANDARD 17
            CXX_STANDARD_REQUIRED ON
            CXX_EXTENSIONS OFF)
        target_compile_features(${target} PUBLIC cxx_std_17)
        target_compile_options(${target} PRIVATE ${LUMAVEIL_DELIVERABLE_FLAGS}
                                                 ${LUMAVEIL_GLIBC_FLOOR_FLAGS})
    else()
        target_compile_features(${target} PRIVATE cxx_std_20)
    endif()
endfunction()

# Gives target an include folder of its own in the build tree that holds only
# its source folder, under the folder's name: its headers are included as
# "<folder>/<header>.h" (the model's as "model/shading.h"), and nothing else of
# the source tree can be, so that product code cannot reach hosts/ or tests/
# by accident. The folder is a link to the sources; where no link can be made
# (Windows without the right to), it holds copies of the headers, which
# configure_file refreshes whenever one changes.
function(lumaveil_include_folder target scope)
    get_filename_component(name ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    set(root ${PROJECT_BINARY_DIR}/include/${target})
    file(MAKE_DIRECTORY ${root})
    if(NOT IS_SYMLINK ${root}/${name})
        set(linked 1)
        if(NOT EXISTS ${root}/${name})
            file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${name} SYMBOLIC RESULT linked)
        endif()
        if(NOT linked EQUAL 0)
            file(GLOB headers RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
            foreach(header ${headers})
                configure_file(${header} ${root}/${name}/${header} COPYONLY)
            endforeach()
        endif()
    endif()
    target_include_directories(${target} ${scope} ${root})
    set_property(TARGET ${target} PROPERTY LUMAVEIL_INCLUDE_FOLDER ${root})
endfunction()
