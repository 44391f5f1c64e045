# What `cmake --install` lays out, in five components:
#
#   maya       <prefix>/maya/lumaVeil.mod, one section per Maya version and
#              platform (see packaging/maya/updateModuleFile.cmake)
#              <prefix>/maya/lumaVeil/plug-ins/<year>/<platform>/lumaVeil.so
#              (.mll on Windows); against the stand-in headers, which name no
#              Maya year, <prefix>/maya/lumaVeil/plug-ins/lumaVeil.so
#              and, from Maya 2016 on, viewport/*.xml beside it: its
#              Viewport 2.0 fragments and graphs, for reading
#              <prefix>/maya/lumaVeil/scripts/AElumaVeilTemplate.mel
#              <prefix>/maya/lumaVeil/presets/attrPresets/lumaVeil/<material>.mel
#              <prefix>/maya/lumaVeil/icons/render_lumaVeil.png, out_lumaVeil.png,
#              the node's icons in the Hypershade and the Outliner
#              <prefix>/maya/lumaVeil/uninstall/<build>.cmake, which removes the
#              build again (maya<year>-<platform>, or standin-<platform>), and
#              the scripts it runs (see packaging/maya/uninstallBuild.cmake)
#              <prefix>/maya/lumaVeil/arnold/<year>/<platform>/lumaVeilArnold.so
#              (.dll on Windows; arnold/ for the stand-in's classic headers),
#              the Arnold shader, on the section's ARNOLD_PLUGIN_PATH
#   mentalray  <prefix>/mentalray/lib/qv7k_lumaVeil.so (.dll on Windows)
#              <prefix>/mentalray/include/qv7k_lumaVeil.mi
#              <prefix>/mentalray/examples/lumaVeil_example.mi
#   doc        <prefix>/share/doc/lumaVeil/README.md, LICENSE, docs/*.md, docs/*.ass,
#              docs/*.png, docs/images/*.png,
#              as they stand in the repository, so that their links hold
#   debug      <library>.debug beside each library above: its debug information,
#              which the release archives ship apart (see Packaging.cmake);
#              installed only when asked for (--component debug)
#   preview    <prefix>/preview/bin/lumaveil-preview and, in preview/lib/, the
#              stand-in hosts it renders through, Arnold's ai library among
#              them (Linux builds with the preview)
#
# maya/ is a Maya module folder (put it on MAYA_MODULE_PATH); mentalray/ holds
# what a scene links and includes. Builds for several Maya versions installed
# into one prefix share the module: each adds its own section and plug-in
# folder. Nothing of the stand-in hosts, the tests or the tools lands in either.
# A deliverable built against the stand-in headers is left out beside one
# built against a real SDK, so that a studio's install holds only what loads
# in its hosts.

set(LUMAVEIL_MAYA_MODULE_DIR maya/lumaVeil)
set(LUMAVEIL_MENTALRAY_DIR mentalray)

# Builds without the plug-in (32-bit ones: Maya is 64-bit only) lay out the
# renderer shader alone. Where some SDK is real and another the stand-in's,
# only the deliverables built against a real one are laid out.
set(LUMAVEIL_INSTALL_MAYA OFF)
set(LUMAVEIL_INSTALL_SHADER ON)
set(LUMAVEIL_INSTALL_ARNOLD OFF)
if(TARGET lumaVeil)
    set(LUMAVEIL_INSTALL_MAYA ON)
endif()
if(TARGET lumaVeilArnold)
    set(LUMAVEIL_INSTALL_ARNOLD ON)
endif()
if((LUMAVEIL_INSTALL_MAYA AND NOT LUMAVEIL_PLUGIN_IN_STAND_IN) OR NOT LUMAVEIL_SHADER_IN_STAND_IN
   OR (LUMAVEIL_INSTALL_ARNOLD AND NOT LUMAVEIL_ARNOLD_IN_STAND_IN))
    if(LUMAVEIL_INSTALL_MAYA AND LUMAVEIL_PLUGIN_IN_STAND_IN)
        set(LUMAVEIL_INSTALL_MAYA OFF)
        message(STATUS "lumaVeil: the plug-in, built against the stand-in Maya headers, is neither installed nor packaged beside a deliverable built against a real SDK (give -DMAYA_LOCATION for Maya)")
    endif()
    if(LUMAVEIL_SHADER_IN_STAND_IN)
        set(LUMAVEIL_INSTALL_SHADER OFF)
        message(STATUS "lumaVeil: the mental ray shader, built against the stand-in shader.h, is neither installed nor packaged beside a deliverable built against a real SDK (give -DMENTALRAY_INCLUDE_DIR for mental ray)")
    endif()
    if(LUMAVEIL_INSTALL_ARNOLD AND LUMAVEIL_ARNOLD_IN_STAND_IN)
        set(LUMAVEIL_INSTALL_ARNOLD OFF)
        message(STATUS "lumaVeil: the Arnold shader, built against the stand-in ai.h, is neither installed nor packaged beside a deliverable built against a real SDK (give -DARNOLD_ROOT for Arnold)")
    endif()
endif()

# Maya's name of this platform, in module sections and folders.
if(WIN32)
    set(maya_platform win64)
elseif(APPLE)
    set(maya_platform mac)
else()
    set(maya_platform linux)
endif()

# The Maya year and platform of the plug-in: its section of the module file
# and its folder (none for the stand-in's classic headers, whose plug-in keeps
# the module's plug-ins/ folder).
if(LUMAVEIL_INSTALL_MAYA)
    if(NOT LUMAVEIL_MAYA_YEAR AND NOT LUMAVEIL_PLUGIN_IN_STAND_IN)
        message(FATAL_ERROR "The MAYA_API_VERSION of ${MAYA_LOCATION}/include/maya/MTypes.h ('${LUMAVEIL_MAYA_DEVKIT_API_VERSION}') names no Maya year")
    endif()
    if(LUMAVEIL_MAYA_YEAR)
        set(LUMAVEIL_MODULE_CONDITIONS "MAYAVERSION:${LUMAVEIL_MAYA_YEAR} PLATFORM:${maya_platform}")
        set(LUMAVEIL_MODULE_PLUGIN_FOLDER plug-ins/${LUMAVEIL_MAYA_YEAR}/${maya_platform})
        set(LUMAVEIL_UNINSTALL_NAME maya${LUMAVEIL_MAYA_YEAR}-${maya_platform})
    else()
        set(LUMAVEIL_MODULE_CONDITIONS "PLATFORM:${maya_platform}")
        set(LUMAVEIL_MODULE_PLUGIN_FOLDER plug-ins)
        set(LUMAVEIL_UNINSTALL_NAME standin-${maya_platform})
    endif()
endif()

# The Arnold shader's folder in the module, which the section of this build
# adds to ARNOLD_PLUGIN_PATH: beside the plug-in's, per Maya year and
# platform. A build without the plug-in names it by the Arnold version
# instead, and writes no section: the section of the Maya it serves adds it.
set(LUMAVEIL_MODULE_ARNOLD_LINE "")
if(LUMAVEIL_INSTALL_ARNOLD)
    if(LUMAVEIL_INSTALL_MAYA AND LUMAVEIL_MAYA_YEAR)
        set(LUMAVEIL_MODULE_ARNOLD_FOLDER arnold/${LUMAVEIL_MAYA_YEAR}/${maya_platform})
    elseif(LUMAVEIL_INSTALL_MAYA OR LUMAVEIL_ARNOLD_IN_STAND_IN)
        set(LUMAVEIL_MODULE_ARNOLD_FOLDER arnold)
    else()
        set(LUMAVEIL_MODULE_ARNOLD_FOLDER arnold/${LUMAVEIL_ARNOLD_VERSION}/${maya_platform})
    endif()
    if(LUMAVEIL_INSTALL_MAYA)
        # The template's last line ends in it.
        set(LUMAVEIL_MODULE_ARNOLD_LINE "\nARNOLD_PLUGIN_PATH +:= ${LUMAVEIL_MODULE_ARNOLD_FOLDER}")
    else()
        message(STATUS "lumaVeil: the Arnold shader goes to maya/lumaVeil/${LUMAVEIL_MODULE_ARNOLD_FOLDER} with no section of the module file: add 'ARNOLD_PLUGIN_PATH +:= ${LUMAVEIL_MODULE_ARNOLD_FOLDER}' to the section of the Maya it serves")
    endif()
endif()

set(LUMAVEIL_ATTR_PRESETS_DIR "" CACHE PATH
    "Folder of attribute presets made by a native build, for builds that cannot run the generator")
set(LUMAVEIL_ICONS_DIR "" CACHE PATH
    "Folder of the node's icons made by a native build, for builds that cannot run the generator (default: the one beside LUMAVEIL_ATTR_PRESETS_DIR)")

# A deliverable's debug information, split off by the build (see
# lumaveil_split_debug_information), goes with the debug component.
function(lumaveil_install_debug_information target destination)
    if(LUMAVEIL_SPLIT_DEBUG_INFORMATION)
        install(FILES $<TARGET_FILE:${target}>.debug DESTINATION ${destination} COMPONENT debug
            EXCLUDE_FROM_ALL)
    endif()
endfunction()

# ---------------------------------------------------------------- Maya module
if(LUMAVEIL_INSTALL_MAYA)
    # This build's module file, one section; installing merges it into the
    # prefix's lumaVeil.mod. The merged file is every build's, so the install
    # manifest leaves it out: removing the files of one install's manifest
    # must not take the other builds' sections with them.
    set(section_file ${CMAKE_BINARY_DIR}/packaging/maya/lumaVeil.mod)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/maya/lumaVeil.mod.in ${section_file} @ONLY)
    # CPack stages an archive's tree in the build tree, where no other install
    # reaches it: no lock file there.
    install(CODE "
        block()
            include(\"${PROJECT_SOURCE_DIR}/packaging/maya/moduleFile.cmake\")
            lumaveil_install_module_folder(module_folder listed_folder)
            set(LUMAVEIL_MODULE_FILE \"\${module_folder}/lumaVeil.mod\")
            set(LUMAVEIL_MODULE_SECTION_FILE \"${section_file}\")
            string(FIND \"\${LUMAVEIL_MODULE_FILE}\" \"${CMAKE_BINARY_DIR}/_CPack_Packages/\" staged)
            if(staged EQUAL 0)
                set(LUMAVEIL_MODULE_STAGED ON)
            endif()
            include(\"${PROJECT_SOURCE_DIR}/packaging/maya/updateModuleFile.cmake\")
        endblock()" COMPONENT maya)
    set(plugin_destination ${LUMAVEIL_MAYA_MODULE_DIR}/${LUMAVEIL_MODULE_PLUGIN_FOLDER})
    install(TARGETS lumaVeil LIBRARY DESTINATION ${plugin_destination} COMPONENT maya)
    lumaveil_install_debug_information(lumaVeil ${plugin_destination})
    # Its Viewport 2.0 fragments and graphs, which it carries within, for
    # reading beside it (Maya does not scan the plug-in folder's subfolders).
    if(LUMAVEIL_MAYA_VIEWPORT_OVERRIDE)
        install(FILES ${LUMAVEIL_VIEWPORT_FRAGMENT_FILES} DESTINATION ${plugin_destination}/viewport
                COMPONENT maya)
    endif()
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/maya/AElumaVeilTemplate.mel
        DESTINATION ${LUMAVEIL_MAYA_MODULE_DIR}/scripts COMPONENT maya)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/maya/moduleFile.cmake
                  ${PROJECT_SOURCE_DIR}/packaging/maya/uninstallBuild.cmake
        DESTINATION ${LUMAVEIL_MAYA_MODULE_DIR}/uninstall COMPONENT maya)

    # The presets are generated from the material table on every build that
    # can run the generator; a cross build takes them from a native build.
    set(presets_destination ${LUMAVEIL_MAYA_MODULE_DIR}/presets/attrPresets/lumaVeil)
    if(LUMAVEIL_ATTR_PRESETS_DIR)
        set(LUMAVEIL_PRESETS_BUILD_DIR ${LUMAVEIL_ATTR_PRESETS_DIR})
    elseif(NOT CMAKE_CROSSCOMPILING)
        set(LUMAVEIL_PRESETS_BUILD_DIR ${CMAKE_BINARY_DIR}/packaging/maya/attrPresets/lumaVeil)
        set(stamp ${CMAKE_BINARY_DIR}/packaging/maya/attrPresets.stamp)
        add_custom_command(OUTPUT ${stamp}
            COMMAND generate-attr-presets ${LUMAVEIL_PRESETS_BUILD_DIR}
            COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
            DEPENDS generate-attr-presets
            COMMENT "Writing the attribute presets of the measured materials"
            VERBATIM)
        add_custom_target(lumaveil_attr_presets ALL DEPENDS ${stamp})
    endif()
    if(LUMAVEIL_PRESETS_BUILD_DIR)
        install(CODE "
            file(GLOB presets \"${LUMAVEIL_PRESETS_BUILD_DIR}/*.mel\")
            if(NOT presets)
                message(FATAL_ERROR \"No attribute presets in ${LUMAVEIL_PRESETS_BUILD_DIR}\")
            endif()" COMPONENT maya)
        install(DIRECTORY ${LUMAVEIL_PRESETS_BUILD_DIR}/
            DESTINATION ${presets_destination} COMPONENT maya
            FILES_MATCHING PATTERN "*.mel")
    else()
        # A module without its presets must not pass for a complete one.
        install(CODE "message(FATAL_ERROR \"A cross build cannot generate the attribute presets; configure it with -DLUMAVEIL_ATTR_PRESETS_DIR=<native build>/packaging/maya/attrPresets/lumaVeil\")"
            COMPONENT maya)
    endif()

    # The node's icons, in the module's icons/ folder, which Maya puts on its
    # icon path: rendered likewise by every build that can run the generator;
    # a build that takes a native build's presets takes its icons too, from
    # beside them unless named.
    set(icon_files render_lumaVeil.png out_lumaVeil.png)
    set(icons_build_dir "")
    if(LUMAVEIL_ICONS_DIR)
        set(icons_build_dir ${LUMAVEIL_ICONS_DIR})
    elseif(LUMAVEIL_ATTR_PRESETS_DIR)
        get_filename_component(icons_build_dir ${LUMAVEIL_ATTR_PRESETS_DIR}/../../icons ABSOLUTE)
    elseif(NOT CMAKE_CROSSCOMPILING)
        set(icons_build_dir ${CMAKE_BINARY_DIR}/packaging/maya/icons)
        list(TRANSFORM icon_files PREPEND ${icons_build_dir}/ OUTPUT_VARIABLE icon_paths)
        add_custom_command(OUTPUT ${icon_paths}
            COMMAND generate-node-icons ${icons_build_dir}
            DEPENDS generate-node-icons
            COMMENT "Rendering the node's icons"
            VERBATIM)
        add_custom_target(lumaveil_node_icons ALL DEPENDS ${icon_paths})
    endif()
    if(icons_build_dir)
        list(TRANSFORM icon_files PREPEND ${icons_build_dir}/ OUTPUT_VARIABLE icon_paths)
        install(CODE "
            foreach(icon ${icon_paths})
                if(NOT EXISTS \"\${icon}\")
                    message(FATAL_ERROR \"No icon \${icon}: build the native build first, or name its packaging/maya/icons folder with -DLUMAVEIL_ICONS_DIR\")
                endif()
            endforeach()" COMPONENT maya)
        install(FILES ${icon_paths} DESTINATION ${LUMAVEIL_MAYA_MODULE_DIR}/icons COMPONENT maya)
    else()
        install(CODE "message(FATAL_ERROR \"A cross build cannot render the node's icons; configure it with -DLUMAVEIL_ICONS_DIR=<native build>/packaging/maya/icons\")"
            COMPONENT maya)
    endif()
endif()

# ---------------------------------------------------------------- mental ray
set(LUMAVEIL_MODULE_SUFFIX ${CMAKE_SHARED_MODULE_SUFFIX})
configure_file(${PROJECT_SOURCE_DIR}/packaging/mentalray/lumaVeil_example.mi.in
    ${CMAKE_BINARY_DIR}/packaging/mentalray/lumaVeil_example.mi @ONLY)
if(LUMAVEIL_INSTALL_SHADER)
    install(TARGETS qv7k_lumaVeil
        LIBRARY DESTINATION ${LUMAVEIL_MENTALRAY_DIR}/lib COMPONENT mentalray)
    lumaveil_install_debug_information(qv7k_lumaVeil ${LUMAVEIL_MENTALRAY_DIR}/lib)
    install(FILES ${PROJECT_SOURCE_DIR}/mentalray/qv7k_lumaVeil.mi
        DESTINATION ${LUMAVEIL_MENTALRAY_DIR}/include COMPONENT mentalray)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/mentalray/lumaVeil_example.mi
        DESTINATION ${LUMAVEIL_MENTALRAY_DIR}/examples COMPONENT mentalray)
endif()

# ---------------------------------------------------------------- Arnold
# The Arnold shader in the Maya module, where the section of its Maya puts it
# on ARNOLD_PLUGIN_PATH for Maya's Arnold plug-in.
if(LUMAVEIL_INSTALL_ARNOLD)
    set(arnold_destination ${LUMAVEIL_MAYA_MODULE_DIR}/${LUMAVEIL_MODULE_ARNOLD_FOLDER})
    install(TARGETS lumaVeilArnold LIBRARY DESTINATION ${arnold_destination} COMPONENT maya)
    lumaveil_install_debug_information(lumaVeilArnold ${arnold_destination})
endif()

# ---------------------------------------------------------------- documents
# The README and the guides keep the repository's folders, so that their links
# between each other and to the pictures hold.
set(LUMAVEIL_DOC_DIR share/doc/lumaVeil)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
    DESTINATION ${LUMAVEIL_DOC_DIR} COMPONENT doc)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${LUMAVEIL_DOC_DIR}/docs COMPONENT doc
    FILES_MATCHING PATTERN "*.md" PATTERN "*.png" PATTERN "*.ass")

# ---------------------------------------------------------------- preview tool
# The tool and the stand-in hosts it renders through, in a folder of their own
# beside maya/ and mentalray/, whose deliverables it finds from its own folder.
# Installed, the tool looks for the plug-in in the module's plug-ins/ folder
# and the Arnold shader in its arnold/ folder, where only a build against the
# stand-in's classic headers puts them. The Arnold shader finds the ai library
# it links as Arnold's own shaders do: loaded already, by the tool.
if(TARGET lumaveil-preview AND LUMAVEIL_MAYA_YEAR)
    message(STATUS "lumaVeil: the preview is not installed: it would look for the plug-in in the module's plug-ins/ folder, and this build's goes to ${LUMAVEIL_MODULE_PLUGIN_FOLDER}")
elseif(TARGET lumaveil-preview)
    set_target_properties(lumaveil-preview PROPERTIES INSTALL_RPATH "$ORIGIN/../lib")
    set_target_properties(OpenMaya lumaveil_mrhost ai PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS lumaveil-preview RUNTIME DESTINATION preview/bin COMPONENT preview)
    install(TARGETS OpenMaya Foundation lumaveil_mrhost ai
        LIBRARY DESTINATION preview/lib COMPONENT preview
        RUNTIME DESTINATION preview/lib COMPONENT preview)
    # The plug-in of a devkit from Maya 2016 on needs Viewport 2.0's library too.
    if(TARGET OpenMayaRender)
        set_target_properties(OpenMayaRender PROPERTIES INSTALL_RPATH "$ORIGIN")
        install(TARGETS OpenMayaRender
            LIBRARY DESTINATION preview/lib COMPONENT preview
            RUNTIME DESTINATION preview/lib COMPONENT preview)
    endif()
endif()

# ---------------------------------------------------------------- uninstall
# Last of all, once every file of the module is in place: the script that
# removes this build again, listing what the install put into the module.
if(LUMAVEIL_INSTALL_MAYA)
    set(uninstall_arnold_folder "")
    if(LUMAVEIL_INSTALL_ARNOLD)
        set(uninstall_arnold_folder "${LUMAVEIL_MODULE_ARNOLD_FOLDER}")
    endif()
    install(CODE "
        block(PROPAGATE CMAKE_INSTALL_MANIFEST_FILES)
            set(LUMAVEIL_MODULE_SECTION_FILE \"${section_file}\")
            set(LUMAVEIL_MODULE_PLUGIN_FOLDER \"${LUMAVEIL_MODULE_PLUGIN_FOLDER}\")
            set(LUMAVEIL_MODULE_ARNOLD_FOLDER \"${uninstall_arnold_folder}\")
            set(LUMAVEIL_UNINSTALL_NAME \"${LUMAVEIL_UNINSTALL_NAME}\")
            include(\"${PROJECT_SOURCE_DIR}/packaging/maya/writeUninstallScript.cmake\")
        endblock()" COMPONENT maya)
endif()
include(${PROJECT_SOURCE_DIR}/cmake/Packaging.cmake)
