# Writes, at the end of a build's install, the script that removes that build
# again from the Maya module: <module folder>/uninstall/<build>.cmake, with
# the files the install put under the module file's folder (see
# uninstallBuild.cmake). Install.cmake runs it with
#   LUMAVEIL_MODULE_SECTION_FILE   the build's module file, one section
#   LUMAVEIL_MODULE_PLUGIN_FOLDER  its plug-in folder, relative to the module folder
#   LUMAVEIL_MODULE_ARNOLD_FOLDER  its Arnold shader's, likewise; empty: none
#   LUMAVEIL_UNINSTALL_NAME        <build>: maya<year>-<platform>, or
#                                  standin-<platform> for a build against the
#                                  stand-in headers
# and CMAKE_INSTALL_MANIFEST_FILES, the files installed so far, to which it
# adds the script. The files are listed relative to the module folder, so
# that the script finds them from where it stands, whatever the prefix's form
# and DESTDIR, and wherever a packager moves the tree.

include("${CMAKE_CURRENT_LIST_DIR}/moduleFile.cmake")
lumaveil_install_module_folder(module_folder listed_folder)
lumaveil_read_module_file("${LUMAVEIL_MODULE_SECTION_FILE}" ours)
string(REGEX MATCH "^[^\n]*" header "${ours_body_1}")
string(REGEX REPLACE "[ \t]+" " " header "${header}")
string(REGEX MATCH "^\\+ (([A-Z]+:[^ ]* )*)" header "${header}")
string(STRIP "${CMAKE_MATCH_1}" conditions)

set(files "")
set(installed ${CMAKE_INSTALL_MANIFEST_FILES})
list(SORT installed)
foreach(file IN LISTS installed)
    get_filename_component(file "${file}" ABSOLUTE)
    string(FIND "${file}" "${listed_folder}/" at)
    if(at EQUAL 0)
        file(RELATIVE_PATH file "${listed_folder}" "${file}")
        string(APPEND files "    [==[${file}]==]\n")
    endif()
endforeach()
if(files STREQUAL "")
    message(FATAL_ERROR "The install's manifest names no file in ${listed_folder}: the uninstall "
        "script would remove nothing")
endif()

set(arnold_folder "")
if(LUMAVEIL_MODULE_ARNOLD_FOLDER)
    set(arnold_folder "lumaVeil/${LUMAVEIL_MODULE_ARNOLD_FOLDER}")
endif()
set(script_in_module "lumaVeil/uninstall/${LUMAVEIL_UNINSTALL_NAME}.cmake")
set(script "${module_folder}/${script_in_module}")
lumaveil_replace_file("${script}" "\
# Removes this build of lumaVeil (section ${conditions}) from the Maya module:
#
#   cmake -P ${LUMAVEIL_UNINSTALL_NAME}.cmake
#
# It takes the build's section out of lumaVeil.mod and removes the files below
# that no other build's script here lists: its plug-in and Arnold folders. The
# files it shares with other builds (the scripts, the presets) go with the last
# build that lists them. A file it cannot remove is named, the run fails, and
# the script stays, to be run again. The renderer shader, the documents and
# the preview tool are not part of the module and stay.
set(LUMAVEIL_UNINSTALL_SECTION \"${conditions}\")
set(LUMAVEIL_UNINSTALL_PLUGIN_FOLDER \"lumaVeil/${LUMAVEIL_MODULE_PLUGIN_FOLDER}\")
set(LUMAVEIL_UNINSTALL_ARNOLD_FOLDER \"${arnold_folder}\")
set(LUMAVEIL_UNINSTALL_FILES
${files})
set(LUMAVEIL_UNINSTALL_COMMENTS [==[
${ours_preamble}]==])
set(LUMAVEIL_UNINSTALL_SCRIPT \"\${CMAKE_CURRENT_LIST_FILE}\")
include(\"\${CMAKE_CURRENT_LIST_DIR}/uninstallBuild.cmake\")
")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${listed_folder}/${script_in_module}")
