# Puts one build's section into the module file lumaVeil.mod, leaving every
# other section and comment as it was, so that builds for several Maya versions
# and platforms installed into one prefix share one module file.
#
#   LUMAVEIL_MODULE_FILE          the module file to update (created if missing)
#   LUMAVEIL_MODULE_SECTION_FILE  a module file of this build alone: its comments
#                                 start a new file, its section is added to the
#                                 existing file or merged into that file's
#                                 section of the same Maya version and platform
#   LUMAVEIL_MODULE_STAGED        ON for a file no one else can reach (an archive's
#                                 tree being staged): no lock is taken, so that
#                                 the archive holds no lock file
#
# Install.cmake runs it at install time; `cmake -D... -P` runs it alone. Merging
# rewrites the lines this build writes (its header, its folder lines, the
# variables it sets) and keeps whatever a user added to the section. The file
# is read, merged and renamed under a lock, whose file goes with it (see
# moduleFile.cmake); a link stays a link and the file it
# points at is rewritten; the rewritten file keeps its mode and group. What
# moduleFile.cmake cannot read or may not write is left untouched and the
# install fails saying why.

include("${CMAKE_CURRENT_LIST_DIR}/moduleFile.cmake")

foreach(variable LUMAVEIL_MODULE_FILE LUMAVEIL_MODULE_SECTION_FILE)
    if(NOT ${variable})
        message(FATAL_ERROR "updateModuleFile.cmake: set ${variable}")
    endif()
endforeach()

lumaveil_read_module_file("${LUMAVEIL_MODULE_SECTION_FILE}" ours)
if(NOT ours_count EQUAL 1)
    message(FATAL_ERROR "${LUMAVEIL_MODULE_SECTION_FILE} must hold one section")
endif()

lumaveil_resolve_module_file("${LUMAVEIL_MODULE_FILE}" module_file)
lumaveil_check_writable("${module_file}")

# The module file with this build's section put in, read and written whole.
function(lumaveil_put_section module_file)
    if(EXISTS "${module_file}")
        lumaveil_read_module_file("${module_file}" theirs)
        lumaveil_module_with_section(theirs "${ours_key_1}" "${ours_body_1}" updated)
    else()
        file(READ "${LUMAVEIL_MODULE_SECTION_FILE}" updated)
    endif()
    lumaveil_replace_file("${module_file}" "${updated}")
endfunction()
if(LUMAVEIL_MODULE_STAGED)
    lumaveil_put_section("${module_file}")
else()
    lumaveil_with_module_file_lock("${module_file}" lumaveil_put_section "${module_file}")
endif()

string(REGEX REPLACE "[A-Z]+: " "" section "${ours_key_1}")
string(STRIP "${section}" section)
message(STATUS "Installing: ${LUMAVEIL_MODULE_FILE} (section ${section})")
