# Removes one build of lumaVeil from the Maya module it was installed into:
# its section of lumaVeil.mod, with whatever a user added to it, and the files
# it installed into the module that no other build installed here lists (its
# plug-in and Arnold folders). The files it shares with other builds (the
# scripts, the presets) go with the last build that lists them, and so does
# lumaVeil.mod when only the installer's comments are left in it. While
# lumaVeil.mod holds a section that no build's script here accounts for (one
# installed by hand, by an installer without these scripts, or whose script
# lists no files), only the build's plug-in and Arnold folders go. The files
# are found from this folder, so the module may have been installed anywhere
# and moved since.
#
# A file it could not remove is named on standard error and the run fails;
# the build's script and the scripts it runs then stay, to be run again once
# the files can be removed. Only the files that went are counted.
#
# Each build's script beside this file, uninstall/<build>.cmake, written when
# the build was installed, sets
#   LUMAVEIL_UNINSTALL_SCRIPT         itself
#   LUMAVEIL_UNINSTALL_SECTION        its section's conditions, as in the header
#   LUMAVEIL_UNINSTALL_PLUGIN_FOLDER  its plug-in folder, relative to the folder
#                                     of lumaVeil.mod
#   LUMAVEIL_UNINSTALL_ARNOLD_FOLDER  its Arnold shader's, likewise (unset or
#                                     empty: none)
#   LUMAVEIL_UNINSTALL_FILES          the files it installed, likewise
#   LUMAVEIL_UNINSTALL_COMMENTS       the comments a new lumaVeil.mod starts with
# and includes this file. The module file is changed, and the files removed,
# under the lock that installs take.

include("${CMAKE_CURRENT_LIST_DIR}/moduleFile.cmake")
if(NOT LUMAVEIL_UNINSTALL_SCRIPT OR NOT LUMAVEIL_UNINSTALL_SECTION)
    message(FATAL_ERROR "uninstallBuild.cmake removes nothing by itself: run the script of the "
        "build to remove, beside it (cmake -P ${CMAKE_CURRENT_LIST_DIR}/<build>.cmake)")
endif()

get_filename_component(root "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
get_filename_component(script_name "${LUMAVEIL_UNINSTALL_SCRIPT}" NAME)
# A script that lists nothing cannot tell its build's files from the others'.
if("${LUMAVEIL_UNINSTALL_FILES}" STREQUAL "")
    message(FATAL_ERROR "${LUMAVEIL_UNINSTALL_SCRIPT} lists none of the files its install "
        "wrote, and nothing was removed: install the same build into this prefix again, which "
        "writes the list, and run its script then")
endif()
set(module "${root}/lumaVeil.mod")
lumaveil_module_section_key("${LUMAVEIL_UNINSTALL_SECTION} " key)

# The section, first: a module file that cannot be read or written stops the
# uninstall before anything is removed.
set(linked OFF)
if(IS_SYMLINK "${module}")
    set(linked ON)
endif()
lumaveil_resolve_module_file("${module}" module_file)
lumaveil_lock_module_file("${module_file}")
set(module_removed OFF)
set(remaining "")
set(section_note "no section of its own in ${module}")
if(EXISTS "${module_file}")
    lumaveil_read_module_file("${module_file}" theirs)
    lumaveil_module_without_section(theirs "${key}" text found)
    set(i 1)
    while(i LESS_EQUAL theirs_count)
        if(NOT theirs_key_${i} STREQUAL key)
            string(APPEND remaining "${theirs_key_${i}}\n")
        endif()
        math(EXPR i "${i} + 1")
    endwhile()
    string(REPLACE "\r\n" "\n" left "${text}")
    string(REGEX REPLACE "\n+$" "" left "${left}")
    string(REGEX REPLACE "\n+$" "" comments "${LUMAVEIL_UNINSTALL_COMMENTS}")
    if(remaining STREQUAL "" AND NOT linked AND left STREQUAL comments)
        lumaveil_check_writable("${module_file}")
        file(REMOVE "${module_file}")
        set(module_removed ON)
        set(section_note "${module}, which held nothing else")
    elseif(found)
        lumaveil_check_writable("${module_file}")
        lumaveil_replace_file("${module_file}" "${text}")
        set(section_note "its section of ${module}")
    endif()
endif()

# The files that the other builds' scripts list, and whether each remaining
# section has such a script.
set(listed "\n")
set(accounted "")
file(GLOB scripts "${CMAKE_CURRENT_LIST_DIR}/*.cmake")
foreach(script IN LISTS scripts)
    get_filename_component(name "${script}" NAME)
    file(STRINGS "${script}" section REGEX "^set\\(LUMAVEIL_UNINSTALL_SECTION \"[^\"]*\"\\)$")
    if(name STREQUAL script_name OR NOT section MATCHES "\"([^\"]*)\"")
        continue()
    endif()
    lumaveil_module_section_key("${CMAKE_MATCH_1} " other)
    file(STRINGS "${script}" files REGEX "^    \\[==\\[.*\\]==\\]$")
    if(files)
        string(APPEND accounted "${other}\n")
    endif()
    foreach(line IN LISTS files)
        string(REGEX REPLACE "^    \\[==\\[(.*)\\]==\\]$" "\\1" file "${line}")
        string(APPEND listed "${file}\n")
    endforeach()
endforeach()
set(unaccounted "")
lumaveil_split_lines("${remaining}" other)
set(i 1)
while(i LESS_EQUAL other_count)
    string(FIND "\n${accounted}" "\n${other_${i}}\n" at)
    if(at EQUAL -1)
        string(STRIP "${other_${i}}" other)
        list(APPEND unaccounted "${other}")
    endif()
    math(EXPR i "${i} + 1")
endwhile()

# This build's files, with the debug information a later install of the
# debug component put beside them; those of the scripts' own folder last, and
# only when the others all went. file(REMOVE) says nothing of a file it could
# not remove: each is looked for again.
set(removed 0)
set(not_removed "")
set(folders "${CMAKE_CURRENT_LIST_DIR}")
get_filename_component(scripts_folder "${CMAKE_CURRENT_LIST_DIR}" NAME)
set(last "")
foreach(file IN LISTS LUMAVEIL_UNINSTALL_FILES)
    string(FIND "${file}" "${LUMAVEIL_UNINSTALL_PLUGIN_FOLDER}/" in_plugin_folder)
    set(in_arnold_folder -1)
    if(LUMAVEIL_UNINSTALL_ARNOLD_FOLDER)
        string(FIND "${file}" "${LUMAVEIL_UNINSTALL_ARNOLD_FOLDER}/" in_arnold_folder)
    endif()
    string(FIND "${listed}" "\n${file}\n" shared)
    if(NOT shared EQUAL -1
       OR (unaccounted AND NOT in_plugin_folder EQUAL 0 AND NOT in_arnold_folder EQUAL 0))
        continue()
    endif()
    if(file MATCHES "^lumaVeil/${scripts_folder}/[^/]*$")
        list(APPEND last "${file}")
        continue()
    endif()
    foreach(path "${root}/${file}" "${root}/${file}.debug")
        if(NOT EXISTS "${path}" AND NOT IS_SYMLINK "${path}")
            continue()
        endif()
        if(NOT IS_DIRECTORY "${path}")
            file(REMOVE "${path}")
        endif()
        if(EXISTS "${path}" OR IS_SYMLINK "${path}")
            list(APPEND not_removed "${path}")
        else()
            math(EXPR removed "${removed} + 1")
            get_filename_component(folder "${path}" DIRECTORY)
            list(APPEND folders "${folder}")
        endif()
    endforeach()
endforeach()
if(not_removed STREQUAL "")
    file(REMOVE "${LUMAVEIL_UNINSTALL_SCRIPT}")
    if(EXISTS "${LUMAVEIL_UNINSTALL_SCRIPT}")
        list(APPEND not_removed "${LUMAVEIL_UNINSTALL_SCRIPT}")
    endif()
    foreach(file IN LISTS last)
        set(path "${root}/${file}")
        if(EXISTS "${path}")
            file(REMOVE "${path}")
            if(EXISTS "${path}")
                list(APPEND not_removed "${path}")
            else()
                math(EXPR removed "${removed} + 1")
            endif()
        endif()
    endforeach()
endif()
# The lock goes with the module file, or after it (a run that could not
# remove every file took the module file before); it is held until this
# process ends (releasing it by name would make the file again).
if(NOT EXISTS "${module_file}")
    set(module_removed ON)
endif()
if(module_removed)
    file(REMOVE "${LUMAVEIL_MODULE_LOCK}")
endif()

# Folders left empty, up to and with the one of lumaVeil.mod.
list(REMOVE_DUPLICATES folders)
foreach(folder IN LISTS folders)
    while(IS_DIRECTORY "${folder}")
        file(GLOB children LIST_DIRECTORIES true "${folder}/*")
        string(FIND "${folder}/" "${root}/" under_root)
        if(children OR NOT under_root EQUAL 0)
            break()
        endif()
        file(REMOVE_RECURSE "${folder}")
        get_filename_component(folder "${folder}" DIRECTORY)
    endwhile()
endforeach()
if(NOT module_removed)
    file(LOCK "${LUMAVEIL_MODULE_LOCK}" RELEASE)
endif()

set(files "files")
if(removed EQUAL 1)
    set(files "file")
endif()
if(unaccounted)
    list(JOIN unaccounted ", " unaccounted)
    message(STATUS "Kept the files every build shares: no build here accounts for the "
        "section(s) ${unaccounted} of ${module}")
endif()
if(NOT not_removed STREQUAL "")
    list(LENGTH not_removed failed)
    list(JOIN not_removed "\n  " not_removed)
    message(FATAL_ERROR "lumaVeil's build for ${LUMAVEIL_UNINSTALL_SECTION} is removed only in "
        "part (${section_note}, and ${removed} ${files}); ${failed} of its files could not be "
        "removed, and this script stays, to be run again once they can be:\n  ${not_removed}")
endif()
message(STATUS "Removed lumaVeil's build for ${LUMAVEIL_UNINSTALL_SECTION}: ${section_note}, "
    "and ${removed} ${files}")
