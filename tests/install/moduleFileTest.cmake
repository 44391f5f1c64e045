# Checks packaging/maya/updateModuleFile.cmake, which puts a build's section
# into the module file of an install prefix:
#   cmake -DSCRIPT=<updateModuleFile.cmake> -DWORK=<scratch folder> -P moduleFileTest.cmake
# A new file is the build's own; a second build's section is added, a build's
# own section replaced, and everything else (comments, hand-edited sections,
# semicolons and brackets, a user's lines in the build's own section) kept as
# it was, to its line ends; a file that is not lumaVeil's module file, or
# that may not be written, fails the install and stays as it was. A link stays
# a link, a file keeps its mode, and installs at once keep every section.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(section name text)
    file(WRITE "${WORK}/${name}.mod" "${text}")
    set(${name}_text "${text}" PARENT_SCOPE)
endfunction()
section(classic "# ours\n+ PLATFORM:linux lumaVeil 1.0 lumaVeil\nplug-ins: plug-ins\nscripts: scripts\n")
section(v2022 "# ours\n+ MAYAVERSION:2022 PLATFORM:linux lumaVeil 1.0 lumaVeil\nplug-ins: plug-ins/2022/linux\nscripts: scripts\n")

# Runs the script: update <module file> <section file> <expected result: 0 or 1>.
function(update target section expected)
    execute_process(COMMAND ${CMAKE_COMMAND} -DLUMAVEIL_MODULE_FILE=${target}
        -DLUMAVEIL_MODULE_SECTION_FILE=${WORK}/${section}.mod -P ${SCRIPT}
        RESULT_VARIABLE result ERROR_VARIABLE error OUTPUT_QUIET)
    if((expected EQUAL 0) AND NOT (result EQUAL 0))
        message(FATAL_ERROR "${section} into ${target} failed: ${error}")
    elseif((expected EQUAL 1) AND (result EQUAL 0))
        message(FATAL_ERROR "${section} into ${target} succeeded")
    endif()
    set(error "${error}" PARENT_SCOPE)
endfunction()
# Byte for byte: file(READ) would drop the carriage returns.
function(expect_file path expected)
    file(READ "${path}" actual_hex HEX)
    string(HEX "${expected}" expected_hex)
    if(NOT actual_hex STREQUAL expected_hex)
        file(READ "${path}" actual)
        message(FATAL_ERROR "${path} holds\n${actual}\ninstead of\n${expected}\n"
            "(in hex: ${actual_hex} instead of ${expected_hex})")
    endif()
endfunction()

# A new file, then a second build's section: the versioned one goes before
# the one every Maya matches.
update(${WORK}/new/lumaVeil.mod classic 0)
expect_file(${WORK}/new/lumaVeil.mod "# ours\n+ PLATFORM:linux lumaVeil 1.0 lumaVeil\nplug-ins: plug-ins\nscripts: scripts\n")
update(${WORK}/new/lumaVeil.mod v2022 0)
update(${WORK}/new/lumaVeil.mod classic 0)
expect_file(${WORK}/new/lumaVeil.mod "# ours\n+ MAYAVERSION:2022 PLATFORM:linux lumaVeil 1.0 lumaVeil\nplug-ins: plug-ins/2022/linux\nscripts: scripts\n\n+ PLATFORM:linux lumaVeil 1.0 lumaVeil\nplug-ins: plug-ins\nscripts: scripts\n")

# A hand-edited file, kept by a Windows editor: its own comments and sections
# stay, an old section of this build's Maya version and platform is replaced
# where it stands, a new one goes at the end, and every line ends in \r\n.
set(edited "# studio: lumaVeil for every Maya we run\r
\r
+ MAYAVERSION:2024 PLATFORM:win64 lumaVeil 1.0 //server/lumaVeil\r
PATH+:=bin;extra [x]\r
\r
# the 2022 build, by hand\r
+  MAYAVERSION:2022   PLATFORM:linux lumaVeil 0.9 lumaVeil\r
plug-ins: old\r
# kept to the end\r
")
file(WRITE ${WORK}/edited.mod "${edited}")
update(${WORK}/edited.mod v2022 0)
update(${WORK}/edited.mod classic 0)
expect_file(${WORK}/edited.mod "# studio: lumaVeil for every Maya we run\r
\r
+ MAYAVERSION:2024 PLATFORM:win64 lumaVeil 1.0 //server/lumaVeil\r
PATH+:=bin;extra [x]\r
\r
# the 2022 build, by hand\r
+ MAYAVERSION:2022 PLATFORM:linux lumaVeil 1.0 lumaVeil\r
plug-ins: plug-ins/2022/linux\r
scripts: scripts\r
\r
+ PLATFORM:linux lumaVeil 1.0 lumaVeil\r
plug-ins: plug-ins\r
scripts: scripts\r
# kept to the end\r
")
# Mixed line ends: each line the install does not write keeps its own, and
# the install's lines end as most of the file's do.
string(CONCAT mixed "# mostly LF\n+ MAYAVERSION:2024 PLATFORM:win64 lumaVeil 1.0 x\r\nPATH +:= y\n\n"
    "+ MAYAVERSION:2022 PLATFORM:linux lumaVeil 0.9 lumaVeil\nplug-ins: old\r\n# a note\r\n")
file(WRITE ${WORK}/mixed.mod "${mixed}")
update(${WORK}/mixed.mod v2022 0)
string(REPLACE "0.9 lumaVeil\nplug-ins: old\r\n"
    "1.0 lumaVeil\nplug-ins: plug-ins/2022/linux\nscripts: scripts\n" mixed "${mixed}")
expect_file(${WORK}/mixed.mod "${mixed}")

# A reinstall over a section a user added to: the build's lines are rewritten
# where they stand, a line the build now writes comes after the one it follows,
# the user's lines (their own value of the same variable too) and comments stay,
# and installing again changes nothing.
section(v2022next "# ours\n+ MAYAVERSION:2022 PLATFORM:linux lumaVeil 1.1 lumaVeil\nplug-ins: plug-ins/2022/linux\nscripts: scripts\nARNOLD_PLUGIN_PATH +:= plug-ins/2022/linux/arnold\n")
file(WRITE ${WORK}/user.mod "+ MAYAVERSION:2022 PLATFORM:linux lumaVeil 1.0 lumaVeil
plug-ins: old
# studio templates
  MAYA_CUSTOM_TEMPLATE_PATH +:= templates
scripts: scripts
ARNOLD_PLUGIN_PATH +:= /studio/arnold
# the studio's end
")
foreach(pass 1 2)
    update(${WORK}/user.mod v2022next 0)
    expect_file(${WORK}/user.mod "+ MAYAVERSION:2022 PLATFORM:linux lumaVeil 1.1 lumaVeil
plug-ins: plug-ins/2022/linux
# studio templates
  MAYA_CUSTOM_TEMPLATE_PATH +:= templates
scripts: scripts
ARNOLD_PLUGIN_PATH +:= plug-ins/2022/linux/arnold
ARNOLD_PLUGIN_PATH +:= /studio/arnold
# the studio's end
")
endforeach()

# A link to a studio's shared module file stays a link, and the file it points
# at is rewritten, or made; a link into a folder that is not there is refused.
file(MAKE_DIRECTORY ${WORK}/shared ${WORK}/linked)
file(WRITE ${WORK}/shared/studio.mod "+ MAYAVERSION:2024 PLATFORM:linux lumaVeil 1.0 /studio/lumaVeil\n")
file(CREATE_LINK ../shared/studio.mod ${WORK}/linked/lumaVeil.mod SYMBOLIC)
update(${WORK}/linked/lumaVeil.mod v2022 0)
file(READ_SYMLINK ${WORK}/linked/lumaVeil.mod target)
file(STRINGS ${WORK}/shared/studio.mod headers REGEX "^\\+")
if(NOT target STREQUAL "../shared/studio.mod" OR NOT headers MATCHES "2024.*;.*2022")
    message(FATAL_ERROR "the link became '${target}', its file holds ${headers}")
endif()
file(CREATE_LINK ../shared/new.mod ${WORK}/linked/new.mod SYMBOLIC)
update(${WORK}/linked/new.mod v2022 0)
expect_file(${WORK}/shared/new.mod "${v2022_text}")
file(CREATE_LINK ../unmounted/studio.mod ${WORK}/linked/unmounted.mod SYMBOLIC)
update(${WORK}/linked/unmounted.mod v2022 1)
if(NOT IS_SYMLINK ${WORK}/linked/new.mod OR EXISTS ${WORK}/unmounted)
    message(FATAL_ERROR "a link to a new file was replaced, or one into nowhere followed: ${error}")
endif()

# The rewritten file keeps its mode (and, as root, its owner and group); a new
# one is 0644 whatever the umask; one that nobody may write is refused.
function(expect_status path expected)
    execute_process(COMMAND stat -c "%a %u:%g" ${path} OUTPUT_VARIABLE status
        OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT status MATCHES "^${expected}")
        message(FATAL_ERROR "${path} has mode and owner ${status}, not ${expected}")
    endif()
endfunction()
execute_process(COMMAND id -u OUTPUT_VARIABLE user OUTPUT_STRIP_TRAILING_WHITESPACE)
file(WRITE ${WORK}/modes/kept.mod "")
file(CHMOD ${WORK}/modes/kept.mod PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ)
set(owner "")
if(user EQUAL 0)
    execute_process(COMMAND chown 65534:1 ${WORK}/modes/kept.mod)
    set(owner " 65534:1")
endif()
update(${WORK}/modes/kept.mod v2022 0)
expect_status(${WORK}/modes/kept.mod "640${owner}")
execute_process(COMMAND sh -c "umask 077 && exec \"$0\" \"$@\"" ${CMAKE_COMMAND}
    -DLUMAVEIL_MODULE_FILE=${WORK}/modes/new.mod -DLUMAVEIL_MODULE_SECTION_FILE=${WORK}/v2022.mod
    -P ${SCRIPT} OUTPUT_QUIET)
expect_status(${WORK}/modes/new.mod 644)
file(WRITE ${WORK}/modes/readOnly.mod "# read-only\n")
file(CHMOD ${WORK}/modes/readOnly.mod PERMISSIONS OWNER_READ GROUP_READ WORLD_READ)
update(${WORK}/modes/readOnly.mod v2022 1)
expect_file(${WORK}/modes/readOnly.mod "# read-only\n")

# Installs of eight Maya versions at once, five times over: every section kept.
# (execute_process pipes each command into the next: their output goes aside.)
set(installs "")
foreach(year 2017 2018 2019 2020 2022 2023 2024 2025)
    section(y${year} "+ MAYAVERSION:${year} PLATFORM:linux lumaVeil 1.0 lumaVeil\n")
    list(APPEND installs COMMAND sh -c "exec \"$@\" >/dev/null" sh ${CMAKE_COMMAND}
        -DLUMAVEIL_MODULE_FILE=${WORK}/together.mod -DLUMAVEIL_MODULE_SECTION_FILE=${WORK}/y${year}.mod
        -P ${SCRIPT})
endforeach()
foreach(round RANGE 1 5)
    file(REMOVE ${WORK}/together.mod)
    execute_process(${installs} RESULTS_VARIABLE results)
    file(STRINGS ${WORK}/together.mod headers REGEX "^\\+")
    list(LENGTH headers sections)
    if(NOT sections EQUAL 8 OR NOT results MATCHES "^0(;0)*$")
        message(FATAL_ERROR "installs at once ended ${results} and left ${sections} sections of 8")
    endif()
endforeach()

# Files this is not the module file of: left as they are, in one line saying
# why; binary content (a NUL inside a hand-written section, a control byte) and
# UTF-16, which CMake would read only up to the first NUL, byte for byte.
function(expect_refused what)
    # (CMake wraps the message to the terminal's width.)
    string(REGEX REPLACE "[ \n]+" " " error "${error}")
    if(NOT error MATCHES "left as it is")
        message(FATAL_ERROR "no reason given for '${what}': ${error}")
    endif()
endfunction()
foreach(foreign
        "+ fooTools 2.0 /opt/foo\n"
        "MAYA_MODULE_PATH=/opt\n+ PLATFORM:linux lumaVeil 1.0 lumaVeil\n"
        "+ PLATFORM:linux lumaVeil\n"
        "+ MAYAVERSION:2022 PLATFORM:linux lumaVeil 1.0 a\n+ PLATFORM:linux MAYAVERSION:2022 lumaVeil 1.0 b\n")
    file(WRITE ${WORK}/foreign.mod "${foreign}")
    update(${WORK}/foreign.mod classic 1)
    expect_file(${WORK}/foreign.mod "${foreign}")
    expect_refused("${foreign}")
endforeach()
foreach(binary "+ PLATFORM:linux lumaVeil 1.0 a\\nPATH +:= x\\000y\\n+ MAYAVERSION:2024 PLATFORM:linux lumaVeil 1.0 b\\n"
        "\\177ELF\\002\\001" "\\377\\376+\\000 \\000")
    execute_process(COMMAND printf "${binary}" OUTPUT_FILE ${WORK}/foreign.mod)
    file(SHA256 ${WORK}/foreign.mod before)
    update(${WORK}/foreign.mod classic 1)
    file(SHA256 ${WORK}/foreign.mod after)
    if(NOT before STREQUAL after)
        message(FATAL_ERROR "'${binary}' was changed")
    endif()
    expect_refused("${binary}")
endforeach()
file(GLOB_RECURSE left "${WORK}/.*.tmp")
if(left)
    message(FATAL_ERROR "temporaries left behind: ${left}")
endif()
message(STATUS "moduleFile: every case passed")
