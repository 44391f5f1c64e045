# The hosts' SDKs. By default the deliverables build against the stand-in
# hosts' headers (hosts/maya/include, hosts/mentalray/include); these switches
# build them against Maya's devkit and the renderer's own shader.h instead:
#
#   -DMAYA_LOCATION=<Maya's devkit or Maya's own install, holding include/maya
#                    and lib> (or -DDEVKIT_LOCATION=, Autodesk's name for it)
#   -DMENTALRAY_INCLUDE_DIR=<folder holding shader.h> (it comes with a mental
#                    ray installation, not with Maya's devkit)
#
# A library built against a real SDK cannot run in a stand-in host, so the
# suites, benchmarks, fuzzers and preview that would load it there are left
# out. An SDK folder made from a stand-in (its headers carry the stand-in's
# mark) still runs there; the stand-in renderer then reads the same header as
# the shader, so that both agree on its layouts.
set(MAYA_LOCATION "" CACHE PATH "Maya's devkit or install (include/maya, lib) to build the plug-in against")
set(DEVKIT_LOCATION "" CACHE PATH "Autodesk's name for MAYA_LOCATION: the Maya devkit's folder")
set(MENTALRAY_INCLUDE_DIR "" CACHE PATH "Folder of a mental ray installation holding shader.h to build the shader against")

# Stops configure with one line unless folder holds every file given (paths
# relative to it; "a|b" is either file). The line names the variable, the
# folder, the files missing and what the variable must hold:
#   lumaveil_require_sdk_files(<variable> <folder> <what it must hold> <file>...)
function(lumaveil_require_sdk_files variable folder must_hold)
    set(missing "")
    foreach(wanted IN LISTS ARGN)
        string(REPLACE "|" ";" alternatives "${wanted}")
        set(found OFF)
        foreach(file IN LISTS alternatives)
            if(EXISTS "${folder}/${file}")
                set(found ON)
            endif()
        endforeach()
        if(NOT found)
            string(REPLACE ";" " or " alternatives "${alternatives}")
            list(APPEND missing "${alternatives}")
        endif()
    endforeach()
    if(NOT IS_DIRECTORY "${folder}")
        set(lacks "there is no such folder")
    elseif(missing)
        list(JOIN missing ", " lacks)
        set(lacks "it holds no ${lacks}")
    else()
        return()
    endif()
    # The leading space keeps CMake from wrapping the line.
    message(FATAL_ERROR " ${variable}=${folder}: ${lacks}; ${variable} must be ${must_hold}")
endfunction()

# Whether header, which must exist, carries the stand-in's mark.
function(lumaveil_is_stand_in_header header mark result)
    if(NOT EXISTS "${header}")
        message(FATAL_ERROR "${header} does not exist")
    endif()
    file(STRINGS "${header}" marked REGEX "#define ${mark} ")
    if(marked)
        set(${result} ON PARENT_SCOPE)
    else()
        set(${result} OFF PARENT_SCOPE)
    endif()
endfunction()

# ---------------------------------------------------------------- Maya
# The stand-in Maya takes the shape of one devkit, named by its API version:
# below 20190000 the classic devkit (classes at global scope, setMPSafe, the
# entry points left to the plug-in to declare), from 20190000 on the devkit of
# Maya 2019 and later (classes in the namespace of the major version,
# setMPSafe deprecated for schedulingType(), the entry points declared in
# MFnPlugin.h). Built against a stand-in devkit, it takes that devkit's.
set(LUMAVEIL_STAND_IN_MAYA_API_VERSION 800 CACHE STRING
    "API version of the stand-in Maya devkit: 800 (classic) or a 2019-or-later one such as 20220300")
set(LUMAVEIL_PLUGIN_IN_STAND_IN ${LUMAVEIL_BUILD_MAYA})
set(LUMAVEIL_STAND_IN_MAYA_SHAPE ${LUMAVEIL_STAND_IN_MAYA_API_VERSION})
set(LUMAVEIL_MAYA_DEVKIT_API_VERSION ${LUMAVEIL_STAND_IN_MAYA_SHAPE})
# DEVKIT_LOCATION stands for MAYA_LOCATION; given both, they must agree.
set(maya_variable MAYA_LOCATION)
if(DEVKIT_LOCATION)
    if(MAYA_LOCATION AND NOT MAYA_LOCATION STREQUAL DEVKIT_LOCATION)
        message(FATAL_ERROR " MAYA_LOCATION=${MAYA_LOCATION} and DEVKIT_LOCATION=${DEVKIT_LOCATION} name two folders; give one")
    endif()
    set(MAYA_LOCATION ${DEVKIT_LOCATION})
    set(maya_variable DEVKIT_LOCATION)
endif()
# The libraries of a devkit as Maya names them, without the lib prefix on
# Windows (where MinGW's import libraries end in .dll.a).
function(lumaveil_maya_library_files result)
    set(files "")
    foreach(name IN LISTS ARGN)
        if(MSVC)
            list(APPEND files lib/${name}.lib)
        elseif(WIN32)
            list(APPEND files "lib/${name}.lib|lib/${name}.dll.a")
        else()
            list(APPEND files lib/${CMAKE_SHARED_LIBRARY_PREFIX}${name}${CMAKE_SHARED_LIBRARY_SUFFIX})
        endif()
    endforeach()
    set(${result} ${files} PARENT_SCOPE)
endfunction()
if(LUMAVEIL_BUILD_MAYA AND MAYA_LOCATION)
    set(devkit_header ${MAYA_LOCATION}/include/maya/MTypes.h)
    set(devkit_version "")
    if(EXISTS ${devkit_header})
        file(STRINGS ${devkit_header} devkit_version
             REGEX "^[ \t]*#[ \t]*define[ \t]+MAYA_API_VERSION[ \t]+[0-9]+")
        string(REGEX REPLACE "^[^;]*MAYA_API_VERSION[ \t]+([0-9]+).*$" "\\1"
               devkit_version "${devkit_version}")
    endif()
    # OpenMayaRender too where the devkit has Viewport 2.0 (see below), and
    # wherever its version is unknown yet.
    set(devkit_libraries OpenMaya Foundation)
    if(NOT devkit_version OR devkit_version GREATER_EQUAL 201600)
        list(APPEND devkit_libraries OpenMayaRender)
    endif()
    lumaveil_maya_library_files(devkit_library_files ${devkit_libraries})
    lumaveil_require_sdk_files(${maya_variable} "${MAYA_LOCATION}"
        "Maya's devkit or Maya's own install folder, holding include/maya and lib"
        include/maya/MTypes.h ${devkit_library_files})
    if(NOT devkit_version)
        message(FATAL_ERROR " ${maya_variable}=${MAYA_LOCATION}: include/maya/MTypes.h defines no MAYA_API_VERSION")
    endif()
    set(LUMAVEIL_MAYA_DEVKIT_API_VERSION ${devkit_version})
    lumaveil_is_stand_in_header(${devkit_header} LUMAVEIL_STAND_IN_OPENMAYA
                                LUMAVEIL_PLUGIN_IN_STAND_IN)
    if(LUMAVEIL_PLUGIN_IN_STAND_IN)
        set(LUMAVEIL_STAND_IN_MAYA_SHAPE ${LUMAVEIL_MAYA_DEVKIT_API_VERSION})
    else()
        message(STATUS "lumaVeil: the plug-in builds against Maya's devkit in ${MAYA_LOCATION}; the Maya suites, benchmarks, fuzzer and the preview, which would load it into the stand-in Maya, are left out")
    endif()
endif()
if(NOT LUMAVEIL_STAND_IN_MAYA_SHAPE MATCHES "^[1-9][0-9]*$")
    message(FATAL_ERROR "LUMAVEIL_STAND_IN_MAYA_API_VERSION must be an API version such as 800 or 20220300, not '${LUMAVEIL_STAND_IN_MAYA_SHAPE}'")
endif()
# Viewport 2.0 draws a plug-in's shading node through an override that the
# plug-in registers; the devkits have its classes, and the library
# OpenMayaRender, from Maya 2016 (API 201600) on. The plug-in builds its
# override, and links OpenMayaRender, where its devkit has them (a devkit whose
# version cannot be read is taken for a recent one).
if(LUMAVEIL_MAYA_DEVKIT_API_VERSION MATCHES "^[0-9]+$" AND
   LUMAVEIL_MAYA_DEVKIT_API_VERSION LESS 201600)
    set(LUMAVEIL_MAYA_VIEWPORT_OVERRIDE OFF)
else()
    set(LUMAVEIL_MAYA_VIEWPORT_OVERRIDE ON)
endif()
# The Maya year of the devkit, from its MAYA_API_VERSION: six digits before
# 2018 (201600, 201780), eight from 2018 on (20180300, 20220300), the year
# being the first four either way. Empty for a version of neither length: the
# stand-in's classic headers (800) name no year.
set(LUMAVEIL_MAYA_YEAR "")
string(LENGTH "${LUMAVEIL_MAYA_DEVKIT_API_VERSION}" digits)
if(LUMAVEIL_MAYA_DEVKIT_API_VERSION MATCHES "^[0-9]+$" AND (digits EQUAL 6 OR digits EQUAL 8))
    string(SUBSTRING "${LUMAVEIL_MAYA_DEVKIT_API_VERSION}" 0 4 LUMAVEIL_MAYA_YEAR)
endif()
# A library linked with $<LINK_LIBRARY:KEEP_LOADED,...> is loaded with the
# program even where the linker drops the libraries it calls nothing of: the
# stand-in Maya's drivers keep the libraries Maya's process has loaded.
set(CMAKE_LINK_LIBRARY_USING_KEEP_LOADED
    "LINKER:--push-state,--no-as-needed" "<LINK_ITEM>" "LINKER:--pop-state")
set(CMAKE_LINK_LIBRARY_USING_KEEP_LOADED_SUPPORTED TRUE)
set(OPENMAYA_MAJOR_NAMESPACE "")
if(LUMAVEIL_STAND_IN_MAYA_SHAPE GREATER_EQUAL 20190000)
    math(EXPR major_version "${LUMAVEIL_STAND_IN_MAYA_SHAPE} / 10000")
    set(OPENMAYA_MAJOR_NAMESPACE OpenMaya${major_version}0000)
endif()

# ---------------------------------------------------------------- mental ray
set(LUMAVEIL_STAND_IN_RENDERER_INCLUDE ${PROJECT_SOURCE_DIR}/hosts/mentalray/include)
if(MENTALRAY_INCLUDE_DIR)
    lumaveil_require_sdk_files(MENTALRAY_INCLUDE_DIR "${MENTALRAY_INCLUDE_DIR}"
        "the include folder of a mental ray installation, holding shader.h (Maya's devkit has none)"
        shader.h)
    set(LUMAVEIL_RENDERER_SDK_INCLUDE ${MENTALRAY_INCLUDE_DIR})
    lumaveil_is_stand_in_header(${MENTALRAY_INCLUDE_DIR}/shader.h LUMAVEIL_STAND_IN_RENDERER
                                LUMAVEIL_SHADER_IN_STAND_IN)
    if(LUMAVEIL_SHADER_IN_STAND_IN)
        set(LUMAVEIL_STAND_IN_RENDERER_INCLUDE ${MENTALRAY_INCLUDE_DIR})
    else()
        message(STATUS "lumaVeil: the shader builds against the renderer's shader.h in ${MENTALRAY_INCLUDE_DIR}; the shader suites, benchmarks, fuzzer and the preview, which would load it into the stand-in renderer, are left out")
    endif()
else()
    set(LUMAVEIL_RENDERER_SDK_INCLUDE ${LUMAVEIL_STAND_IN_RENDERER_INCLUDE})
    set(LUMAVEIL_SHADER_IN_STAND_IN ON)
endif()

# ---------------------------------------------------------------- Arnold
# The Arnold shader builds against the stand-in's ai.h (hosts/arnold/include)
# unless ARNOLD_ROOT names an Arnold SDK: the folder holding include/ai.h and
# the library the shader links (bin/libai.so on Linux, lib/ai.lib on Windows,
# bin/libai.dylib on macOS). Arnold is 64-bit only, and on Windows it loads
# libraries of Visual Studio's ABI, so a MinGW-w64 build makes no Arnold shader.
set(ARNOLD_ROOT "" CACHE PATH "Arnold SDK root (include/ai.h and the ai library) to build the Arnold shader against")
set(LUMAVEIL_ARNOLD_DEFAULT ON)
if(CMAKE_SIZEOF_VOID_P EQUAL 4 OR MINGW)
    set(LUMAVEIL_ARNOLD_DEFAULT OFF)
endif()
option(LUMAVEIL_BUILD_ARNOLD "Build the Arnold shader" ${LUMAVEIL_ARNOLD_DEFAULT})
set(LUMAVEIL_STAND_IN_ARNOLD_INCLUDE ${PROJECT_SOURCE_DIR}/hosts/arnold/include)
set(LUMAVEIL_ARNOLD_IN_STAND_IN ON)
set(LUMAVEIL_ARNOLD_SDK_INCLUDE ${LUMAVEIL_STAND_IN_ARNOLD_INCLUDE})
set(LUMAVEIL_ARNOLD_LIBRARY "")
if(LUMAVEIL_BUILD_ARNOLD AND ARNOLD_ROOT)
    if(WIN32)
        set(arnold_library lib/ai.lib)
    elseif(APPLE)
        set(arnold_library bin/libai.dylib)
    else()
        set(arnold_library bin/libai.so)
    endif()
    lumaveil_require_sdk_files(ARNOLD_ROOT "${ARNOLD_ROOT}"
        "the Arnold SDK's folder, holding include/ai.h and ${arnold_library}"
        include/ai.h include/ai_version.h ${arnold_library})
    set(LUMAVEIL_ARNOLD_SDK_INCLUDE ${ARNOLD_ROOT}/include)
    lumaveil_is_stand_in_header(${ARNOLD_ROOT}/include/ai_version.h LUMAVEIL_STAND_IN_ARNOLD
                                LUMAVEIL_ARNOLD_IN_STAND_IN)
    if(LUMAVEIL_ARNOLD_IN_STAND_IN)
        set(LUMAVEIL_STAND_IN_ARNOLD_INCLUDE ${ARNOLD_ROOT}/include)
    else()
        set(LUMAVEIL_ARNOLD_LIBRARY ${ARNOLD_ROOT}/${arnold_library})
        message(STATUS "lumaVeil: the Arnold shader builds against the Arnold SDK in ${ARNOLD_ROOT}; the Arnold suites, benchmark, fuzzer and the preview, which would load it into the stand-in Arnold, are left out")
    endif()
endif()
# The Arnold version of the headers, A.B, which names the archives.
set(LUMAVEIL_ARNOLD_VERSION "")
if(LUMAVEIL_BUILD_ARNOLD)
    file(STRINGS ${LUMAVEIL_ARNOLD_SDK_INCLUDE}/ai_version.h arnold_version_lines
         REGEX "^[ \t]*#[ \t]*define[ \t]+AI_VERSION_(ARCH|MAJOR)_NUM[ \t]+[0-9]+")
    set(arnold_arch "")
    set(arnold_major "")
    foreach(line ${arnold_version_lines})
        if(line MATCHES "AI_VERSION_ARCH_NUM[ \t]+([0-9]+)")
            set(arnold_arch ${CMAKE_MATCH_1})
        elseif(line MATCHES "AI_VERSION_MAJOR_NUM[ \t]+([0-9]+)")
            set(arnold_major ${CMAKE_MATCH_1})
        endif()
    endforeach()
    if(arnold_arch STREQUAL "" OR arnold_major STREQUAL "")
        message(FATAL_ERROR "${LUMAVEIL_ARNOLD_SDK_INCLUDE}/ai_version.h defines no AI_VERSION_ARCH_NUM and AI_VERSION_MAJOR_NUM: is it Arnold's?")
    endif()
    set(LUMAVEIL_ARNOLD_VERSION ${arnold_arch}.${arnold_major})
endif()
