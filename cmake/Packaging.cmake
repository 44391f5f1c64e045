# One archive per build holding what `cmake --install` lays out for its users
# (see Install.cmake: the Maya module, the mental ray layout and the documents),
# in one top folder named as the archive, with a README of its own on top:
#   cpack --config <build>/CPackConfig.cmake [-B <folder>]
# into <build>/packages, or <folder>.
# The preview tool is not part of it.
#
# The name says what the libraries were built against and for which platform:
#   lumaVeil-<version>-<kind>-<platform>    (<platform>: linux-x86_64, win64, win32)
# where <kind> is
#   standin[-maya<year>]  both against lumaVeil's stand-in headers, which load only
#                         into its stand-in hosts (-maya<year>: those modelled on
#                         that Maya's devkit)
#   maya<year>            the plug-in alone, against the devkit of Maya <year>
#   maya<year>-arnold<A.B>  with the Arnold shader, against Arnold A.B's SDK
#   arnold<A.B>           the Arnold shader alone
#   ...-mentalray         appended where the build also has the mental ray shader,
#                         against the renderer's own shader.h; mentalray alone:
#                         that shader alone
# (A deliverable built against a stand-in header is left out beside one built
# against a real SDK, see Install.cmake.)
set(CPACK_PACKAGE_NAME lumaVeil)
set(CPACK_PACKAGE_VENDOR Quorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "lumaVeil: Maya plug-in, Arnold and mental ray shaders for translucent materials")

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(archive_extension zip)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(lumaveil_package_platform win64)
    else()
        set(lumaveil_package_platform win32)
    endif()
else()
    set(CPACK_GENERATOR TGZ)
    set(archive_extension tar.gz)
    string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" lumaveil_package_platform)
endif()

set(stand_in OFF)
if((LUMAVEIL_INSTALL_MAYA AND LUMAVEIL_PLUGIN_IN_STAND_IN)
   OR (LUMAVEIL_INSTALL_SHADER AND LUMAVEIL_SHADER_IN_STAND_IN)
   OR (LUMAVEIL_INSTALL_ARNOLD AND LUMAVEIL_ARNOLD_IN_STAND_IN))
    set(stand_in ON)
endif()
set(kind "")
if(stand_in)
    list(APPEND kind standin)
endif()
if(LUMAVEIL_INSTALL_MAYA AND LUMAVEIL_MAYA_YEAR)
    list(APPEND kind maya${LUMAVEIL_MAYA_YEAR})
endif()
if(LUMAVEIL_INSTALL_ARNOLD AND NOT LUMAVEIL_ARNOLD_IN_STAND_IN)
    list(APPEND kind arnold${LUMAVEIL_ARNOLD_VERSION})
endif()
if(LUMAVEIL_INSTALL_SHADER AND NOT LUMAVEIL_SHADER_IN_STAND_IN)
    list(APPEND kind mentalray)
endif()
list(JOIN kind "-" kind)
set(CPACK_PACKAGE_FILE_NAME "lumaVeil-${PROJECT_VERSION}-${kind}-${lumaveil_package_platform}")

# ---------------------------------------------------------------- its README
# What the archive holds and how to install it; for a stand-in build, first of
# all, that it serves no Maya and no mental ray.
set(LUMAVEIL_ARCHIVE_NAME ${CPACK_PACKAGE_FILE_NAME})
set(LUMAVEIL_ARCHIVE_DEBUG "")
if(LUMAVEIL_SPLIT_DEBUG_INFORMATION)
    string(CONCAT LUMAVEIL_ARCHIVE_DEBUG
        "The libraries' debug information is in "
        "`${CPACK_PACKAGE_FILE_NAME}-debug.${archive_extension}`, which unpacks over this "
        "folder.\n\n")
endif()
if(WIN32)
    set(plugin_file lumaVeil.mll)
    set(shader_file qv7k_lumaVeil.dll)
else()
    set(plugin_file lumaVeil.so)
    set(shader_file qv7k_lumaVeil.so)
endif()
set(for "")
if(stand_in)
    list(APPEND for "lumaVeil's stand-in hosts")
elseif(LUMAVEIL_INSTALL_MAYA)
    list(APPEND for "Maya ${LUMAVEIL_MAYA_YEAR}")
endif()
if(LUMAVEIL_INSTALL_ARNOLD AND NOT stand_in)
    list(APPEND for "Arnold ${LUMAVEIL_ARNOLD_VERSION}")
endif()
if(LUMAVEIL_INSTALL_SHADER AND NOT stand_in)
    list(APPEND for "mental ray")
endif()
list(JOIN for " and " LUMAVEIL_ARCHIVE_FOR)
set(LUMAVEIL_ARCHIVE_WARNING "")
if(stand_in)
    string(CONCAT LUMAVEIL_ARCHIVE_WARNING
        "**Not for Maya, Arnold or mental ray.** The libraries in this archive were built "
        "against lumaVeil's own stand-in headers of Maya's, Arnold's and mental ray's APIs, "
        "without Autodesk's devkit or SDKs. They load only into lumaVeil's stand-in hosts, "
        "for evaluation and for the preview tool: no Maya loads this plug-in, and "
        "the shaders would misread their renderers' records. For your Maya, build "
        "lumaVeil against its devkit (`share/doc/lumaVeil/docs/building.md`).\n\n")
endif()
set(LUMAVEIL_ARCHIVE_CONTENTS "")
set(maya_install "")
set(arnold_install "")
set(shader_install "")
if(LUMAVEIL_INSTALL_ARNOLD)
    set(maya_renderers "Arnold (with MtoA, loaded after `lumaVeil`) or Maya Software: "
        "lumaVeil renders in both")
else()
    set(maya_renderers "Maya Software: lumaVeil renders there; this archive has no Arnold "
        "shader, so Arnold does not render it")
endif()
string(CONCAT maya_renderers ${maya_renderers})
if(LUMAVEIL_INSTALL_MAYA)
    string(CONCAT LUMAVEIL_ARCHIVE_CONTENTS
        "- `maya/`: the Maya module: its description `lumaVeil.mod` and the module folder "
        "`lumaVeil/` with the plug-in (`${LUMAVEIL_MODULE_PLUGIN_FOLDER}/${plugin_file}`), "
        "the Attribute Editor template (`scripts/`) and the attribute presets of twelve "
        "measured materials (`presets/`).\n")
    string(CONCAT maya_install
        "Maya: put the folder `maya/` on `MAYA_MODULE_PATH` (in `Maya.env`: "
        "`MAYA_MODULE_PATH=<this folder>/maya`), or copy `maya/lumaVeil.mod` and "
        "`maya/lumaVeil/` side by side into a modules folder Maya already reads. Start "
        "Maya and load `lumaVeil` in the Plug-in Manager. To render, pick in Render Settings "
        "(\"Render Using\") ${maya_renderers}. `lumaVeil.mod` has one section "
        "(`${LUMAVEIL_MODULE_CONDITIONS}`); unpacking an archive for another Maya "
        "version or platform over this one would replace it: copy that archive's section "
        "into this file instead, or install the builds into one folder with "
        "`cmake --install`, which keeps every section "
        "(`share/doc/lumaVeil/docs/maya.md`).\n\n")
endif()
if(LUMAVEIL_INSTALL_ARNOLD)
    if(WIN32)
        set(arnold_file lumaVeilArnold.dll)
    else()
        set(arnold_file lumaVeilArnold.so)
    endif()
    if(LUMAVEIL_INSTALL_MAYA)
        string(APPEND LUMAVEIL_ARCHIVE_CONTENTS
            "- `maya/lumaVeil/${LUMAVEIL_MODULE_ARNOLD_FOLDER}/${arnold_file}`: the Arnold shader, "
            "which the module's section puts on `ARNOLD_PLUGIN_PATH`; in Maya, load the "
            "`lumaVeil` plug-in before MtoA (`share/doc/lumaVeil/docs/arnold.md`).\n")
    else()
        string(APPEND LUMAVEIL_ARCHIVE_CONTENTS
            "- `maya/lumaVeil/${LUMAVEIL_MODULE_ARNOLD_FOLDER}/${arnold_file}`: the Arnold shader "
            "alone, for Arnold ${LUMAVEIL_ARNOLD_VERSION}. Add "
            "`ARNOLD_PLUGIN_PATH +:= ${LUMAVEIL_MODULE_ARNOLD_FOLDER}` to the section of "
            "`lumaVeil.mod` of the Maya it serves (`share/doc/lumaVeil/docs/arnold.md`).\n")
        string(REGEX REPLACE "\\..*$" "" arnold_arch "${LUMAVEIL_ARNOLD_VERSION}")
        string(CONCAT arnold_install
            "Arnold: put the folder `maya/lumaVeil/${LUMAVEIL_MODULE_ARNOLD_FOLDER}` on the "
            "`ARNOLD_PLUGIN_PATH` of the Arnold host, whose Arnold must be "
            "${LUMAVEIL_ARNOLD_VERSION} or a newer ${arnold_arch}.x: Houdini, Katana, 3ds Max, "
            "Cinema 4D, or `kick -l <that folder>`; in Maya, through the section of "
            "`lumaVeil.mod` as above (`share/doc/lumaVeil/docs/arnold.md`).\n\n")
    endif()
endif()
if(LUMAVEIL_INSTALL_SHADER)
    string(APPEND LUMAVEIL_ARCHIVE_CONTENTS
        "- `mentalray/`: the shader library `lib/${shader_file}`, its declaration "
        "`include/qv7k_lumaVeil.mi` and an example material declaration "
        "`examples/lumaVeil_example.mi`.\n")
    string(CONCAT shader_install
        "mental ray: add `mentalray/lib` and `mentalray/include` to the renderer's "
        "library and include paths, or copy the two files into folders already on them; "
        "a scene then says `link \"${shader_file}\"` and `$include \"qv7k_lumaVeil.mi\"` "
        "(`share/doc/lumaVeil/docs/mentalray.md`).\n")
endif()
set(LUMAVEIL_ARCHIVE_INSTALL "${maya_install}${arnold_install}${shader_install}")
if(stand_in)
    # What such libraries are good for, in place of installing them.
    if(WIN32)
        string(CONCAT LUMAVEIL_ARCHIVE_INSTALL
            "Nothing here is to be installed into Maya or mental ray. The folders are laid "
            "out as a studio's build installs them (`share/doc/lumaVeil/README.md`, "
            "\"Install for an artist\"); the libraries load into lumaVeil's stand-in hosts "
            "built for Windows, as its Windows tests run them under Wine "
            "(`share/doc/lumaVeil/docs/development.md`).\n")
    else()
        set(plugin_path "maya/lumaVeil/${LUMAVEIL_MODULE_PLUGIN_FOLDER}/${plugin_file}")
        set(stand_in_libraries "")
        if(LUMAVEIL_INSTALL_MAYA)
            string(APPEND stand_in_libraries " --plugin ${plugin_path}")
        endif()
        if(LUMAVEIL_INSTALL_SHADER)
            string(APPEND stand_in_libraries " --shader mentalray/lib/${shader_file}")
        endif()
        string(CONCAT LUMAVEIL_ARCHIVE_INSTALL
            "Nothing here is to be installed into Maya or mental ray. The folders are laid "
            "out as a studio's build installs them (`share/doc/lumaVeil/README.md`, "
            "\"Install for an artist\"). lumaVeil's preview tool, built from its sources "
            "with `bash scripts/preview.sh`, renders through these libraries from this "
            "folder:\n\n"
            "    <sources>/build/default/tools/preview/lumaveil-preview${stand_in_libraries}\n\n"
            "(`share/doc/lumaVeil/docs/preview.md`).\n")
    endif()
endif()
set(archive_readme ${CMAKE_BINARY_DIR}/packaging/README.md)
configure_file(${PROJECT_SOURCE_DIR}/packaging/archive-README.md.in ${archive_readme} @ONLY)
install(FILES ${archive_readme} ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . COMPONENT archive
    EXCLUDE_FROM_ALL)

# ---------------------------------------------------------------- CPack
# The shipped components only, merged into one tree under one top folder and
# stripped; their debug information goes into an archive of its own, whose
# tree unpacks over the release tree (<archive>-debug.tar.gz or .zip).
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ONE_PER_GROUP)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL archive doc)
if(LUMAVEIL_INSTALL_MAYA OR LUMAVEIL_INSTALL_ARNOLD)
    list(APPEND CPACK_COMPONENTS_ALL maya)
endif()
if(LUMAVEIL_INSTALL_SHADER)
    list(APPEND CPACK_COMPONENTS_ALL mentalray)
endif()
if(LUMAVEIL_SPLIT_DEBUG_INFORMATION)
    list(APPEND CPACK_COMPONENTS_ALL debug)
endif()
set(CPACK_ARCHIVE_RELEASE_FILE_NAME ${CPACK_PACKAGE_FILE_NAME})
set(CPACK_ARCHIVE_DEBUG_FILE_NAME ${CPACK_PACKAGE_FILE_NAME}-debug)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
# CPack's staging folder (_CPack_Packages) goes into the build tree, wherever
# cpack is run from; `cpack -B <folder>` writes the archives into <folder>
# (packaging/cpackOutputFolder.cmake).
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_LUMAVEIL_BUILD_DIR ${CMAKE_BINARY_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging/cpackOutputFolder.cmake)

include(CPack)
cpack_add_component_group(release)
cpack_add_component_group(debug)
foreach(component archive doc maya mentalray)
    cpack_add_component(${component} GROUP release)
endforeach()
cpack_add_component(debug GROUP debug)
