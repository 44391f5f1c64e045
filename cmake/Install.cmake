# What `cmake --install` lays out, in four components:
#
#   maya       <prefix>/maya/lumaVeil.mod
#              <prefix>/maya/lumaVeil/plug-ins/lumaVeil.so (.mll on Windows)
#              <prefix>/maya/lumaVeil/scripts/AElumaVeilTemplate.mel
#              <prefix>/maya/lumaVeil/presets/attrPresets/lumaVeil/<material>.mel
#   mentalray  <prefix>/mentalray/lib/qv7k_lumaVeil.so (.dll on Windows)
#              <prefix>/mentalray/include/qv7k_lumaVeil.mi
#              <prefix>/mentalray/examples/lumaVeil_example.mi
#   debug      <library>.debug beside each library above: its debug information,
#              which the release archives ship apart (see Packaging.cmake);
#              installed only when asked for (--component debug)
#   preview    <prefix>/preview/bin/lumaveil-preview and, in preview/lib/, the
#              stand-in hosts it renders through (Linux builds with the preview)
#
# maya/ is a Maya module folder (put it on MAYA_MODULE_PATH); mentalray/ holds
# what a scene links and includes. Nothing of the stand-in hosts, the tests or
# the tools lands in either.

set(LUMAVEIL_MAYA_MODULE_DIR maya/lumaVeil)
set(LUMAVEIL_MENTALRAY_DIR mentalray)

# Builds without the plug-in (32-bit ones: Maya is 64-bit only) lay out the
# renderer shader alone.
if(TARGET lumaVeil)
    set(LUMAVEIL_INSTALL_MAYA ON)
else()
    set(LUMAVEIL_INSTALL_MAYA OFF)
endif()

set(LUMAVEIL_ATTR_PRESETS_DIR "" CACHE PATH
    "Folder of attribute presets made by a native build, for builds that cannot run the generator")

add_subdirectory(${PROJECT_SOURCE_DIR}/tools/attr-presets ${CMAKE_BINARY_DIR}/tools/attr-presets)

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
    configure_file(${PROJECT_SOURCE_DIR}/packaging/maya/lumaVeil.mod.in
        ${CMAKE_BINARY_DIR}/packaging/maya/lumaVeil.mod @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/maya/lumaVeil.mod
        DESTINATION maya COMPONENT maya)
    install(TARGETS lumaVeil
        LIBRARY DESTINATION ${LUMAVEIL_MAYA_MODULE_DIR}/plug-ins COMPONENT maya)
    lumaveil_install_debug_information(lumaVeil ${LUMAVEIL_MAYA_MODULE_DIR}/plug-ins)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/maya/AElumaVeilTemplate.mel
        DESTINATION ${LUMAVEIL_MAYA_MODULE_DIR}/scripts COMPONENT maya)

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
endif()

# ---------------------------------------------------------------- mental ray
install(TARGETS qv7k_lumaVeil
    LIBRARY DESTINATION ${LUMAVEIL_MENTALRAY_DIR}/lib COMPONENT mentalray)
lumaveil_install_debug_information(qv7k_lumaVeil ${LUMAVEIL_MENTALRAY_DIR}/lib)
install(FILES ${PROJECT_SOURCE_DIR}/mentalray/qv7k_lumaVeil.mi
    DESTINATION ${LUMAVEIL_MENTALRAY_DIR}/include COMPONENT mentalray)
set(LUMAVEIL_MODULE_SUFFIX ${CMAKE_SHARED_MODULE_SUFFIX})
configure_file(${PROJECT_SOURCE_DIR}/packaging/mentalray/lumaVeil_example.mi.in
    ${CMAKE_BINARY_DIR}/packaging/mentalray/lumaVeil_example.mi @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/mentalray/lumaVeil_example.mi
    DESTINATION ${LUMAVEIL_MENTALRAY_DIR}/examples COMPONENT mentalray)

# ---------------------------------------------------------------- preview tool
# The tool and the stand-in hosts it renders through, in a folder of their own
# beside maya/ and mentalray/, whose deliverables it finds from its own folder.
if(TARGET lumaveil-preview)
    set_target_properties(lumaveil-preview PROPERTIES INSTALL_RPATH "$ORIGIN/../lib")
    set_target_properties(OpenMaya lumaveil_mrhost PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS lumaveil-preview RUNTIME DESTINATION preview/bin COMPONENT preview)
    install(TARGETS OpenMaya Foundation lumaveil_mrhost
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
include(${PROJECT_SOURCE_DIR}/cmake/Packaging.cmake)
