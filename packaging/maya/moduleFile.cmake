# The module file lumaVeil.mod: reading it, putting a build's section into it
# or taking one out, and writing it back. Every build installed into a prefix
# shares the file and studios edit it by hand, so whatever the installer did
# not write itself is kept where it stands. updateModuleFile.cmake includes it
# at install time, uninstallBuild.cmake when a build is removed.
#
# A file it cannot read as lumaVeil's module file (binary content, UTF-16,
# text before the first section, a header it cannot parse, another module's
# section, two sections of one Maya version and platform), or may not write,
# is left untouched and the run fails in one line saying why.

# The prefix's module folder maya/ as an install run by `cmake --install`
# lays it out: the path it writes to, in <installed>, and the folder the
# install's manifest names its files in, in <listed>, made absolute and
# normalized (compare the manifest's files normalized alike). CMake puts a
# relative prefix after the current folder, as it stands ("./p/../q" too), and
# DESTDIR, when set, before that (a relative DESTDIR is taken from the current
# folder); the manifest names the files without DESTDIR.
function(lumaveil_install_module_folder installed listed)
    set(module "${CMAKE_INSTALL_PREFIX}/maya")
    if(NOT IS_ABSOLUTE "${module}")
        set(module "${CMAKE_CURRENT_SOURCE_DIR}/${module}")
    endif()
    get_filename_component(normalized "${module}" ABSOLUTE)
    set(${listed} "${normalized}" PARENT_SCOPE)
    if(NOT "$ENV{DESTDIR}" STREQUAL "")
        # A drive letter goes, as CMake drops it after DESTDIR.
        string(REGEX REPLACE "^[A-Za-z]:" "" module "${module}")
        file(TO_CMAKE_PATH "$ENV{DESTDIR}" destdir)
        set(module "${destdir}${module}")
    endif()
    set(${installed} "${module}" PARENT_SCOPE)
endfunction()

# Stops, naming the file and why it is left as it is.
function(lumaveil_module_file_refuse path why)
    message(FATAL_ERROR "${path}: ${why}; the file is left as it is")
endfunction()

# Refuses a file that is not plain text. file(READ) would stop at a NUL byte
# and silently drop the rest, so the bytes are looked at first. file(READ)
# also drops the carriage return of each line that ends in one: <line_ends>
# gets a letter per line break, C for \r\n and L for \n, in the file's order.
function(lumaveil_check_module_text path line_ends)
    file(SIZE "${path}" size)
    if(size GREATER 4194304)
        lumaveil_module_file_refuse("${path}" "${size} bytes, far more than any module file")
    endif()
    file(READ "${path}" hex HEX)
    if(hex MATCHES "^(fffe|feff)")
        lumaveil_module_file_refuse("${path}" "UTF-16 text; save it as UTF-8")
    elseif(hex MATCHES "^efbbbf")
        lumaveil_module_file_refuse("${path}" "starts with a byte-order mark; save it as UTF-8 without one")
    endif()
    # Control bytes other than tab, line feed, form feed and carriage return.
    string(REGEX REPLACE "(..)" "\\1 " bytes "${hex}")
    if(bytes MATCHES "(^| )(0[0-8]|0b|0e|0f|1[0-9a-f]|7f) ")
        string(STRIP "${CMAKE_MATCH_0}" byte)
        string(FIND "${bytes}" "${CMAKE_MATCH_0}" at)
        if(CMAKE_MATCH_1 STREQUAL " ")
            math(EXPR at "${at} + 1")
        endif()
        math(EXPR at "${at} / 3")
        lumaveil_module_file_refuse("${path}"
            "binary content (byte 0x${byte} at offset ${at}), not a module file's text")
    endif()
    string(REGEX REPLACE "(0[0-9bcef]|[1-9a-f][0-9a-f]) " "" breaks "${bytes}")
    string(REPLACE "0d 0a " "C" breaks "${breaks}")
    string(REPLACE "0a " "L" breaks "${breaks}")
    string(REPLACE "0d " "" breaks "${breaks}")
    set(${line_ends} "${breaks}" PARENT_SCOPE)
endfunction()

# The key of a section's conditions, "MAYAVERSION:<v> PLATFORM:<p> LOCALE:<l> ",
# with empty values for those it lacks. <conditions> are a header's, each
# followed by a space.
function(lumaveil_module_section_key conditions out)
    set(key "")
    foreach(condition MAYAVERSION PLATFORM LOCALE)
        set(value "")
        if(conditions MATCHES "(^| )${condition}:([^ ]*) ")
            set(value "${CMAKE_MATCH_2}")
        endif()
        string(APPEND key "${condition}:${value} ")
    endforeach()
    set(${out} "${key}" PARENT_SCOPE)
endfunction()

# Reads a module file into variables of the caller named <prefix>_...:
#   _eol       the file's line ending, "\r\n" where most of its lines end so
#              (a file kept by a Windows editor), else "\n"
#   _preamble  the comments and blank lines before the first section
#   _count     the number of sections
#   _key_<i>   section i's key (from 1), see lumaveil_module_section_key
#   _lead_<i>  the comments and blank lines before its header (from the second
#              section on; the first one's are the preamble)
#   _body_<i>  its header and the lines below, up to its last non-comment line
#   _tail      the comments and blank lines after the last section's body
# Lines are taken one at a time, without CMake lists, which would split them at
# semicolons and brackets. Each keeps its own ending (a carriage return is left
# at its end), so that the lines a rewrite does not touch stay as they were.
function(lumaveil_read_module_file path prefix)
    lumaveil_check_module_text("${path}" line_ends)
    file(READ "${path}" text)
    string(LENGTH "${line_ends}" breaks)
    string(REPLACE "L" "" crlf "${line_ends}")
    string(LENGTH "${crlf}" crlf_count)
    math(EXPR lf_count "${breaks} - ${crlf_count}")
    set(eol "\n")
    if(crlf_count GREATER lf_count)
        set(eol "\r\n")
    endif()
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
        # Its carriage return back; the last line, unended, ends as most do.
        set(line_end "${eol}")
        if(number LESS_EQUAL breaks)
            math(EXPR at "${number} - 1")
            string(SUBSTRING "${line_ends}" ${at} 1 line_end)
        endif()
        if(line_end STREQUAL "C" OR line_end STREQUAL "\r\n")
            string(APPEND line "\r")
        endif()
        string(STRIP "${line}" stripped)
        if(stripped MATCHES "^\\+")
            # + [CONDITION:value ...] <name> <version> <path>
            string(REGEX REPLACE "[ \t]+" " " words "${stripped}")
            if(NOT words MATCHES "^\\+ (([A-Z]+:[^ ]* )*)([^ :]+) ([^ ]+) (.+)$")
                lumaveil_module_file_refuse("${path}" "line ${number} is not a module header "
                    "(+ [MAYAVERSION:<v>] [PLATFORM:<p>] lumaVeil <version> <path>): '${stripped}'")
            endif()
            set(conditions "${CMAKE_MATCH_1}")
            if(NOT CMAKE_MATCH_3 STREQUAL "lumaVeil")
                lumaveil_module_file_refuse("${path}"
                    "line ${number} starts a section of the module '${CMAKE_MATCH_3}', not lumaVeil")
            endif()
            string(REGEX REPLACE "(MAYAVERSION|PLATFORM|LOCALE):[^ ]* " "" unknown "${conditions}")
            if(NOT unknown STREQUAL "")
                lumaveil_module_file_refuse("${path}" "line ${number}: unknown condition '${unknown}'")
            endif()
            lumaveil_module_section_key("${conditions}" key)
            set(i 1)
            while(i LESS_EQUAL count)
                if(key_${i} STREQUAL key)
                    lumaveil_module_file_refuse("${path}" "line ${number} starts a second section for ${key}")
                endif()
                math(EXPR i "${i} + 1")
            endwhile()
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
            lumaveil_module_file_refuse("${path}" "line ${number}, '${stripped}', stands before any module header")
        endif()
    endwhile()
    set(${prefix}_eol "${eol}" PARENT_SCOPE)
    set(${prefix}_preamble "${preamble}" PARENT_SCOPE)
    set(${prefix}_tail "${pending}" PARENT_SCOPE)
    set(${prefix}_count ${count} PARENT_SCOPE)
    set(i 1)
    while(i LESS_EQUAL count)
        foreach(part key lead body)
            set(${prefix}_${part}_${i} "${${part}_${i}}" PARENT_SCOPE)
        endforeach()
        math(EXPR i "${i} + 1")
    endwhile()
endfunction()

# Splits text of \n-ended lines into <prefix>_1... and <prefix>_count.
function(lumaveil_split_lines text prefix)
    set(count 0)
    while(NOT text STREQUAL "")
        string(FIND "${text}" "\n" end)
        string(SUBSTRING "${text}" 0 ${end} line)
        math(EXPR next "${end} + 1")
        string(SUBSTRING "${text}" ${next} -1 text)
        math(EXPR count "${count} + 1")
        set(${prefix}_${count} "${line}" PARENT_SCOPE)
    endwhile()
    set(${prefix}_count ${count} PARENT_SCOPE)
endfunction()

# What a line of a section sets, by which the installer's own lines are told
# from a user's: a folder line ("plug-ins: <folder>") by its kind, which a
# section holds once; a variable set outright ("NAME = <value>", ":=") by its
# name; a value added to a variable ("NAME +:= <value>", "+=") by the whole
# line, since users add their own values to the same variables. Comments and
# blank lines have none.
function(lumaveil_module_line_key line out)
    string(STRIP "${line}" line)
    string(REGEX REPLACE "[ \t]+" " " line "${line}")
    if(line STREQUAL "" OR line MATCHES "^#")
        set(key "")
    elseif(line MATCHES "^([A-Za-z_][A-Za-z0-9_]*) ?(\\+:=|\\+=|:=|=) ?(.*)$")
        set(name "${CMAKE_MATCH_1}")
        set(value "${CMAKE_MATCH_3}")
        if(CMAKE_MATCH_2 MATCHES "^\\+")
            set(key "${name} += ${value}")
        else()
            set(key "${name} =")
        endif()
    elseif(line MATCHES "^([^ :]+):")
        set(key "${CMAKE_MATCH_1}:")
    else()
        set(key "${line}")
    endif()
    set(${out} "${key}" PARENT_SCOPE)
endfunction()

# A build's new section in place of its old one: the new header, each line the
# old section has in common with the new one (see lumaveil_module_line_key)
# replaced where it stands, the new lines the old one lacks after the line
# that precedes them in the new section, and every other line and comment of
# the old section (a user's) kept where it is. A line a newer installer no
# longer writes stays, as a user's would. The new lines end in <eol>, the old
# ones as they did.
function(lumaveil_merge_section old new eol out)
    lumaveil_split_lines("${old}" old)
    lumaveil_split_lines("${new}" new)
    set(j 2)
    while(j LESS_EQUAL new_count)
        lumaveil_module_line_key("${new_${j}}" new_key_${j})
        math(EXPR j "${j} + 1")
    endwhile()
    set(i 2)
    while(i LESS_EQUAL old_count)
        lumaveil_module_line_key("${old_${i}}" key)
        set(j 2)
        while(NOT key STREQUAL "" AND j LESS_EQUAL new_count)
            if(NOT taken_${j} AND new_key_${j} STREQUAL key)
                set(match_${i} ${j})
                set(taken_${j} ON)
                break()
            endif()
            math(EXPR j "${j} + 1")
        endwhile()
        math(EXPR i "${i} + 1")
    endwhile()

    # Appends the new section's lines after line <from> up to the next one
    # that replaces an old line (its comments are the new file's only).
    macro(lumaveil_append_new_lines from)
        math(EXPR k "${from} + 1")
        while(k LESS_EQUAL new_count AND NOT taken_${k})
            if(NOT new_key_${k} STREQUAL "")
                string(APPEND merged "${new_${k}}${eol}")
            endif()
            math(EXPR k "${k} + 1")
        endwhile()
    endmacro()
    set(merged "${new_1}${eol}")
    lumaveil_append_new_lines(1)
    set(i 2)
    while(i LESS_EQUAL old_count)
        if(match_${i})
            string(APPEND merged "${new_${match_${i}}}${eol}")
            lumaveil_append_new_lines(${match_${i}})
        else()
            string(APPEND merged "${old_${i}}\n")
        endif()
        math(EXPR i "${i} + 1")
    endwhile()
    set(${out} "${merged}" PARENT_SCOPE)
endfunction()

# The text of a module file read into <theirs> with the section <body> of key
# <key> put in: in place of the old section of that key, or, when new, before
# the first section without a Maya version (a build against the stand-in
# headers, which every Maya would match), or at the end. Its lines, and the
# blank line before it, end as the file's lines do.
function(lumaveil_module_with_section theirs key body out)
    set(eol "${${theirs}_eol}")
    string(REPLACE "\r\n" "\n" body "${body}")
    string(REPLACE "\n" "${eol}" body_lines "${body}")
    set(updated "${${theirs}_preamble}")
    set(placed OFF)
    set(after_section OFF)
    set(i 1)
    while(i LESS_EQUAL ${theirs}_count)
        if(NOT placed AND NOT key MATCHES "^MAYAVERSION: "
           AND ${theirs}_key_${i} MATCHES "^MAYAVERSION: ")
            if(after_section)
                string(APPEND updated "${eol}")
            endif()
            string(APPEND updated "${body_lines}${eol}")
            set(placed ON)
        endif()
        string(APPEND updated "${${theirs}_lead_${i}}")
        if(${theirs}_key_${i} STREQUAL key)
            lumaveil_merge_section("${${theirs}_body_${i}}" "${body}" "${eol}" merged)
            string(APPEND updated "${merged}")
            set(placed ON)
        else()
            string(APPEND updated "${${theirs}_body_${i}}")
        endif()
        set(after_section ON)
        math(EXPR i "${i} + 1")
    endwhile()
    if(NOT placed)
        if(after_section)
            string(APPEND updated "${eol}")
        endif()
        string(APPEND updated "${body_lines}")
    endif()
    string(APPEND updated "${${theirs}_tail}")
    set(${out} "${updated}" PARENT_SCOPE)
endfunction()

# The text of a module file read into <theirs> without its section of <key>
# (whole, with the lines a user added to it), and in <found> whether it had
# one. The comments before it stay; the blank lines that parted it from its
# neighbour go with it.
function(lumaveil_module_without_section theirs key out found)
    set(text "${${theirs}_preamble}")
    set(removed OFF)
    set(drop_blank_lead OFF)
    set(i 1)
    while(i LESS_EQUAL ${theirs}_count)
        set(lead "${${theirs}_lead_${i}}")
        set(blank OFF)
        if(lead MATCHES "^[ \t\r\n]*$")
            set(blank ON)
        endif()
        if(${theirs}_key_${i} STREQUAL key)
            set(removed ON)
            if(i EQUAL 1)
                set(drop_blank_lead ON)
            elseif(NOT blank)
                string(APPEND text "${lead}")
            endif()
        else()
            if(NOT (drop_blank_lead AND blank))
                string(APPEND text "${lead}")
            endif()
            string(APPEND text "${${theirs}_body_${i}}")
            set(drop_blank_lead OFF)
        endif()
        math(EXPR i "${i} + 1")
    endwhile()
    string(APPEND text "${${theirs}_tail}")
    set(${out} "${text}" PARENT_SCOPE)
    set(${found} ${removed} PARENT_SCOPE)
endfunction()

# The file to rewrite for the module file <path>: itself, or, for a symbolic
# link (to a studio's shared module file, say), the file it points at, so that
# the link stays a link. A link to a file not made yet leads to it, as long as
# its folder is there: a folder that is not (a share that is not mounted, say)
# is refused.
function(lumaveil_resolve_module_file path out)
    get_filename_component(path "${path}" ABSOLUTE)
    if(IS_SYMLINK "${path}")
        file(REAL_PATH "${path}" target)
        if(NOT EXISTS "${target}")
            # Followed a link at a time: REAL_PATH stops at one to nothing.
            set(target "${path}")
            set(hops 0)
            while(IS_SYMLINK "${target}")
                math(EXPR hops "${hops} + 1")
                if(hops GREATER 40)
                    lumaveil_module_file_refuse("${path}" "a loop of links")
                endif()
                file(READ_SYMLINK "${target}" points)
                get_filename_component(folder "${target}" DIRECTORY)
                file(REAL_PATH "${folder}" folder)
                if(IS_ABSOLUTE "${points}")
                    set(target "${points}")
                else()
                    set(target "${folder}/${points}")
                endif()
            endwhile()
            get_filename_component(folder "${target}" DIRECTORY)
            get_filename_component(name "${target}" NAME)
            if(NOT IS_DIRECTORY "${folder}")
                file(READ_SYMLINK "${path}" points)
                lumaveil_module_file_refuse("${path}"
                    "a link to ${points}, whose folder ${folder} does not exist")
            endif()
            file(REAL_PATH "${folder}" folder)
            set(target "${folder}/${name}")
        endif()
        set(path "${target}")
    endif()
    if(IS_DIRECTORY "${path}")
        lumaveil_module_file_refuse("${path}" "a folder, not a file")
    endif()
    set(${out} "${path}" PARENT_SCOPE)
endfunction()

# A file's permissions in octal and its "<uid>:<gid>", or empty where stat
# cannot tell (GNU's stat first, then BSD's).
function(lumaveil_file_status path mode owner)
    set(${mode} "" PARENT_SCOPE)
    set(${owner} "" PARENT_SCOPE)
    if(NOT CMAKE_HOST_UNIX)
        return()
    endif()
    foreach(format "-c;%a %u:%g" "-f;%Lp %u:%g")
        execute_process(COMMAND stat ${format} "${path}" OUTPUT_VARIABLE status
            RESULT_VARIABLE result OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        if(result EQUAL 0)
            if(status MATCHES "^([0-7]+) ([0-9]+:[0-9]+)$")
                set(${mode} "${CMAKE_MATCH_1}" PARENT_SCOPE)
                set(${owner} "${CMAKE_MATCH_2}" PARENT_SCOPE)
                return()
            endif()
        endif()
    endforeach()
endfunction()

# Refuses to replace a file that this user may not write, or that nobody may
# (a studio's way of saying "leave it"; root could write it all the same).
function(lumaveil_check_writable path)
    if(NOT CMAKE_HOST_UNIX OR NOT EXISTS "${path}")
        return()
    endif()
    lumaveil_file_status("${path}" mode owner)
    string(REGEX MATCH "[0-7][0-7][0-7]$" permissions "${mode}")
    if(permissions MATCHES "^[0145][0145][0145]$")
        lumaveil_module_file_refuse("${path}" "read-only (mode ${mode}); make it writable to install")
    endif()
    execute_process(COMMAND test -w "${path}" RESULT_VARIABLE writable)
    if(NOT writable EQUAL 0)
        lumaveil_module_file_refuse("${path}" "not writable by this user (mode ${mode}, owner ${owner})")
    endif()
endfunction()

# Replaces <path> with <text> as a whole: written to a temporary of its own
# beside it, given the old file's owner, group (as far as this user may set
# them) and mode, or 0644 for a new file whatever the umask, then renamed over
# it. A reader never sees half a file, and a failed write leaves the old one.
function(lumaveil_replace_file path text)
    get_filename_component(folder "${path}" DIRECTORY)
    get_filename_component(name "${path}" NAME)
    set(mode 644)
    set(owner "")
    if(EXISTS "${path}")
        lumaveil_file_status("${path}" mode owner)
    endif()
    file(MAKE_DIRECTORY "${folder}")
    string(RANDOM LENGTH 12 suffix)
    set(temporary "${folder}/.${name}.${suffix}.tmp")
    file(WRITE "${temporary}" "${text}")
    if(CMAKE_HOST_UNIX)
        # Ownership first: changing it may clear the set-group-ID bit.
        if(owner MATCHES "^[0-9]+:([0-9]+)$")
            set(group "${CMAKE_MATCH_1}")
            execute_process(COMMAND chown "${owner}" "${temporary}" RESULT_VARIABLE result
                OUTPUT_QUIET ERROR_QUIET)
            if(NOT result EQUAL 0)
                execute_process(COMMAND chgrp "${group}" "${temporary}" OUTPUT_QUIET ERROR_QUIET)
            endif()
        endif()
        if(mode STREQUAL "")
            set(mode 644)
        endif()
        execute_process(COMMAND chmod "${mode}" "${temporary}" RESULT_VARIABLE result
            ERROR_VARIABLE error ERROR_STRIP_TRAILING_WHITESPACE)
        if(NOT result EQUAL 0)
            file(REMOVE "${temporary}")
            message(FATAL_ERROR "cannot give ${temporary} the mode ${mode}: ${error}; ${path} is left as it is")
        endif()
    endif()
    file(RENAME "${temporary}" "${path}" RESULT renamed)
    if(NOT renamed STREQUAL "0")
        file(REMOVE "${temporary}")
        message(FATAL_ERROR "cannot write ${path}: ${renamed}")
    endif()
endfunction()

# Holds, until this process ends or releases it, the lock that every install
# and uninstall of the module file <path> takes around reading, merging and
# renaming, so that two at once both keep their sections. The lock is a file
# of its own beside it, ".<name>.lock": the module file itself is replaced by
# each write. Its path is left in LUMAVEIL_MODULE_LOCK.
function(lumaveil_lock_module_file path)
    get_filename_component(folder "${path}" DIRECTORY)
    get_filename_component(name "${path}" NAME)
    set(lock "${folder}/.${name}.lock")
    if(NOT EXISTS "${folder}")
        file(MAKE_DIRECTORY "${folder}")
    endif()
    if(CMAKE_HOST_UNIX)
        execute_process(COMMAND test -w "${folder}" RESULT_VARIABLE writable)
        if(NOT writable EQUAL 0)
            lumaveil_module_file_refuse("${path}" "this user may not write in ${folder}")
        endif()
    endif()
    set(new OFF)
    if(NOT EXISTS "${lock}")
        set(new ON)
    endif()
    # A lock held elsewhere is waited for without a timeout: CMake polls a
    # timed lock once a second, and the holder lets go when its process ends.
    file(LOCK "${lock}" GUARD PROCESS TIMEOUT 0 RESULT_VARIABLE locked)
    if(NOT locked STREQUAL "0")
        message(STATUS "Waiting for another install's lock on ${path}")
        file(LOCK "${lock}" GUARD PROCESS RESULT_VARIABLE locked)
    endif()
    if(NOT locked STREQUAL "0")
        lumaveil_module_file_refuse("${path}" "cannot take the lock ${lock}: ${locked}")
    endif()
    # Whoever may write the module file must be able to take its lock.
    if(new AND CMAKE_HOST_UNIX)
        set(mode 644)
        if(EXISTS "${path}")
            lumaveil_file_status("${path}" mode owner)
        endif()
        if(NOT mode STREQUAL "")
            execute_process(COMMAND chmod "${mode}" "${lock}" OUTPUT_QUIET ERROR_QUIET)
        endif()
    endif()
    set(LUMAVEIL_MODULE_LOCK "${lock}" PARENT_SCOPE)
endfunction()
