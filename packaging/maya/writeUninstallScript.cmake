# Writes, at the end of a build's install, the script that removes that build
# again from the Maya module: <module folder>/uninstall/<build>.cmake, with
# the files the install put under the module file's folder (see
# uninstallBuild.cmake). Install.cmake runs it with
#   LUMAVEIL_MODULE_ROOT           the folder of lumaVeil.mod
#   LUMAVEIL_MODULE_SECTION_FILE   the build's module file, one section
#   LUMAVEIL_MODULE_PLUGIN_FOLDER  its plug-in folder, relative to the module folder
#   LUMAVEIL_UNINSTALL_NAME        <build>: maya<year>-<platform>, or
#                                  standin-<platform> for a build against the
#                                  stand-in headers
# and CMAKE_INSTALL_MANIFEST_FILES, the files installed so far, to which it
# adds the script.

include("${CMAKE_CURRENT_LIST_DIR}/moduleFile.cmake")
lumaveil_read_module_file("${LUMAVEIL_MODULE_SECTION_FILE}" ours)
string(REGEX MATCH "^[^\n]*" header "${ours_body_1}")
string(REGEX REPLACE "[ \t]+" " " header "${header}")
string(REGEX MATCH "^\\+ (([A-Z]+:[^ ]* )*)" header "${header}")
string(STRIP "${CMAKE_MATCH_1}" conditions)

set(files "")
set(installed ${CMAKE_INSTALL_MANIFEST_FILES})
list(SORT installed)
foreach(file IN LISTS installed)
    string(FIND "${file}" "${LUMAVEIL_MODULE_ROOT}/" at)
    if(at EQUAL 0)
        file(RELATIVE_PATH file "${LUMAVEIL_MODULE_ROOT}" "${file}")
        string(APPEND files "    [==[${file}]==]\n")
    endif()
endforeach()

set(script "${LUMAVEIL_MODULE_ROOT}/lumaVeil/uninstall/${LUMAVEIL_UNINSTALL_NAME}.cmake")
lumaveil_replace_file("${script}" "\
# Removes this build of lumaVeil (section ${conditions}) from the Maya module:
#
#   cmake -P ${LUMAVEIL_UNINSTALL_NAME}.cmake
#
# It takes the build's section out of lumaVeil.mod and removes the files below
# that no other build's script here lists: its plug-in folder. The scripts and
# presets that every build shares go with the last build. The renderer shader,
# the documents and the preview tool are not part of the module and stay.
set(LUMAVEIL_UNINSTALL_SECTION \"${conditions}\")
set(LUMAVEIL_UNINSTALL_PLUGIN_FOLDER \"lumaVeil/${LUMAVEIL_MODULE_PLUGIN_FOLDER}\")
set(LUMAVEIL_UNINSTALL_FILES
${files})
set(LUMAVEIL_UNINSTALL_COMMENTS [==[
${ours_preamble}]==])
set(LUMAVEIL_UNINSTALL_SCRIPT \"\${CMAKE_CURRENT_LIST_FILE}\")
include(\"\${CMAKE_CURRENT_LIST_DIR}/uninstallBuild.cmake\")
")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${script}")
