# Puts one build's section into the module file lumaVeil.mod, leaving every
# other section and comment as it was, so that builds for several Maya versions
# and platforms installed into one prefix share one module file.
#
#   LUMAVEIL_MODULE_FILE          the module file to update (created if missing)
#   LUMAVEIL_MODULE_SECTION_FILE  a module file of this build alone: its comments
#                                 start a new file, its section replaces the
#                                 existing file's section of the same Maya
#                                 version and platform, or is added
#
# Install.cmake runs it at install time; `cmake -D... -P` runs it alone. A file
# it cannot read as lumaVeil's module file (text before the first section, a
# header it cannot parse, another module's section, two sections of one Maya
# version and platform) is left untouched and the install fails saying why.
# The new text goes to a temporary beside the file and is renamed over it.

foreach(variable LUMAVEIL_MODULE_FILE LUMAVEIL_MODULE_SECTION_FILE)
    if(NOT ${variable})
        message(FATAL_ERROR "updateModuleFile.cmake: set ${variable}")
    endif()
endforeach()

# Reads a module file into variables of the caller named <prefix>_...:
#   _preamble  the comments and blank lines before the first section
#   _count     the number of sections
#   _key_<i>   section i's conditions (from 1), "MAYAVERSION:<v> PLATFORM:<p>
#              LOCALE:<l> " with empty values for those it lacks
#   _lead_<i>  the comments and blank lines before its header (from the second
#              section on; the first one's are the preamble)
#   _body_<i>  its header and the lines below, up to its last non-comment line
#   _tail      the comments and blank lines after the last section's body
# Lines are taken one at a time, without CMake lists, which would split them at
# semicolons and brackets.
function(lumaveil_read_module_file path prefix)
    file(READ "${path}" text)
    string(REPLACE "\r\n" "\n" text "${text}")
    if(NOT text STREQUAL "" AND NOT text MATCHES "\n$")
        string(APPEND text "\n")
    endif()
    set(preamble "")
    set(pending "")
    set(count 0)
    set(number 0)
    while(NOT text STREQUAL "")
        string(FIND "${text}" "\n" end)
        string(SUBSTRING "${text}" 0 ${end} line)
        math(EXPR next "${end} + 1")
        string(SUBSTRING "${text}" ${next} -1 text)
        math(EXPR number "${number} + 1")
        string(STRIP "${line}" stripped)
        if(stripped MATCHES "^\\+")
            # + [CONDITION:value ...] <name> <version> <path>
            string(REGEX REPLACE "[ \t]+" " " words "${stripped}")
            if(NOT words MATCHES "^\\+ (([A-Z]+:[^ ]* )*)([^ :]+) ([^ ]+) (.+)$")
                message(FATAL_ERROR "${path}, line ${number}: not a module header "
                    "(+ [MAYAVERSION:<v>] [PLATFORM:<p>] lumaVeil <version> <path>): "
                    "'${stripped}'; the file is left as it is")
            endif()
            set(conditions "${CMAKE_MATCH_1}")
            if(NOT CMAKE_MATCH_3 STREQUAL "lumaVeil")
                message(FATAL_ERROR "${path}, line ${number}: a section of the module "
                    "'${CMAKE_MATCH_3}', not lumaVeil; the file is left as it is")
            endif()
            string(REGEX REPLACE "(MAYAVERSION|PLATFORM|LOCALE):[^ ]* " "" unknown "${conditions}")
            if(NOT unknown STREQUAL "")
                message(FATAL_ERROR "${path}, line ${number}: unknown condition '${unknown}'; "
                    "the file is left as it is")
            endif()
            set(key "")
            foreach(condition MAYAVERSION PLATFORM LOCALE)
                set(value "")
                if(conditions MATCHES "(^| )${condition}:([^ ]*) ")
                    set(value "${CMAKE_MATCH_2}")
                endif()
                string(APPEND key "${condition}:${value} ")
            endforeach()
            foreach(i RANGE 1 ${count})
                if(i GREATER 0 AND key_${i} STREQUAL key)
                    message(FATAL_ERROR "${path}, line ${number}: a second section for "
                        "${key}; the file is left as it is")
                endif()
            endforeach()
            math(EXPR count "${count} + 1")
            set(key_${count} "${key}")
            set(lead_${count} "${pending}")
            set(body_${count} "${line}\n")
            set(pending "")
        elseif(stripped STREQUAL "" OR stripped MATCHES "^#")
            if(count EQUAL 0)
                string(APPEND preamble "${line}\n")
            else()
                string(APPEND pending "${line}\n")
            endif()
        elseif(count GREATER 0)
            string(APPEND body_${count} "${pending}${line}\n")
            set(pending "")
        else()
            message(FATAL_ERROR "${path}, line ${number}: '${stripped}' stands before any "
                "module header; the file is left as it is")
        endif()
    endwhile()
    set(${prefix}_preamble "${preamble}" PARENT_SCOPE)
    set(${prefix}_tail "${pending}" PARENT_SCOPE)
    set(${prefix}_count ${count} PARENT_SCOPE)
    foreach(i RANGE 1 ${count})
        if(i GREATER 0)
            foreach(part key lead body)
                set(${prefix}_${part}_${i} "${${part}_${i}}" PARENT_SCOPE)
            endforeach()
        endif()
    endforeach()
endfunction()

lumaveil_read_module_file("${LUMAVEIL_MODULE_SECTION_FILE}" ours)
if(NOT ours_count EQUAL 1)
    message(FATAL_ERROR "${LUMAVEIL_MODULE_SECTION_FILE} must hold one section")
endif()

if(IS_DIRECTORY "${LUMAVEIL_MODULE_FILE}")
    message(FATAL_ERROR "${LUMAVEIL_MODULE_FILE} is a folder")
elseif(NOT EXISTS "${LUMAVEIL_MODULE_FILE}")
    file(READ "${LUMAVEIL_MODULE_SECTION_FILE}" updated)
else()
    lumaveil_read_module_file("${LUMAVEIL_MODULE_FILE}" theirs)
    # This build's section replaces the one of the same Maya version and
    # platform where it stands. A new one goes before the first section without
    # a Maya version (a build against the stand-in headers, which every Maya
    # would match), or at the end.
    set(updated "${theirs_preamble}")
    set(placed OFF)
    set(after_section OFF)
    foreach(i RANGE 1 ${theirs_count})
        if(i EQUAL 0)
            continue()
        endif()
        if(NOT placed AND NOT ours_key_1 MATCHES "^MAYAVERSION: "
           AND theirs_key_${i} MATCHES "^MAYAVERSION: ")
            if(after_section)
                string(APPEND updated "\n")
            endif()
            string(APPEND updated "${ours_body_1}\n")
            set(placed ON)
        endif()
        string(APPEND updated "${theirs_lead_${i}}")
        if(theirs_key_${i} STREQUAL ours_key_1)
            string(APPEND updated "${ours_body_1}")
            set(placed ON)
        else()
            string(APPEND updated "${theirs_body_${i}}")
        endif()
        set(after_section ON)
    endforeach()
    if(NOT placed)
        if(after_section)
            string(APPEND updated "\n")
        endif()
        string(APPEND updated "${ours_body_1}")
    endif()
    string(APPEND updated "${theirs_tail}")
endif()

# Written whole to a temporary of its own beside the file, then renamed over
# it: a reader never sees half a file, and a failed write leaves the old one.
get_filename_component(folder "${LUMAVEIL_MODULE_FILE}" DIRECTORY)
get_filename_component(name "${LUMAVEIL_MODULE_FILE}" NAME)
file(MAKE_DIRECTORY "${folder}")
string(RANDOM LENGTH 12 suffix)
set(temporary "${folder}/.${name}.${suffix}.tmp")
file(WRITE "${temporary}" "${updated}")
file(RENAME "${temporary}" "${LUMAVEIL_MODULE_FILE}" RESULT renamed)
if(NOT renamed STREQUAL "0")
    file(REMOVE "${temporary}")
    message(FATAL_ERROR "cannot write ${LUMAVEIL_MODULE_FILE}: ${renamed}")
endif()
string(REGEX REPLACE "[A-Z]+: " "" section "${ours_key_1}")
string(STRIP "${section}" section)
message(STATUS "Installing: ${LUMAVEIL_MODULE_FILE} (section ${section})")
