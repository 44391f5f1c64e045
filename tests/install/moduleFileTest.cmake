# Checks packaging/maya/updateModuleFile.cmake, which puts a build's section
# into the module file of an install prefix:
#   cmake -DSCRIPT=<updateModuleFile.cmake> -DWORK=<scratch folder> -P moduleFileTest.cmake
# A new file is the build's own; a second build's section is added, a build's
# own section replaced, and everything else (comments, hand-edited sections,
# semicolons and brackets) kept as it was, its line ends made \n; a file that
# is not lumaVeil's module file fails the install and stays as it was.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(section name text)
    file(WRITE "${WORK}/${name}.mod" "${text}")
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
function(expect_file path expected)
    file(READ "${path}" actual)
    if(NOT actual STREQUAL expected)
        message(FATAL_ERROR "${path} holds\n${actual}\ninstead of\n${expected}")
    endif()
endfunction()

# A new file, then a second build's section: the versioned one goes before
# the one every Maya matches.
update(${WORK}/new/lumaVeil.mod classic 0)
expect_file(${WORK}/new/lumaVeil.mod "# ours\n+ PLATFORM:linux lumaVeil 1.0 lumaVeil\nplug-ins: plug-ins\nscripts: scripts\n")
update(${WORK}/new/lumaVeil.mod v2022 0)
update(${WORK}/new/lumaVeil.mod classic 0)
expect_file(${WORK}/new/lumaVeil.mod "# ours\n+ MAYAVERSION:2022 PLATFORM:linux lumaVeil 1.0 lumaVeil\nplug-ins: plug-ins/2022/linux\nscripts: scripts\n\n+ PLATFORM:linux lumaVeil 1.0 lumaVeil\nplug-ins: plug-ins\nscripts: scripts\n")

# A hand-edited file: its own comments and sections stay, an old section of
# this build's Maya version and platform is replaced where it stands.
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
expect_file(${WORK}/edited.mod "# studio: lumaVeil for every Maya we run

+ MAYAVERSION:2024 PLATFORM:win64 lumaVeil 1.0 //server/lumaVeil
PATH+:=bin;extra [x]

# the 2022 build, by hand
+ MAYAVERSION:2022 PLATFORM:linux lumaVeil 1.0 lumaVeil
plug-ins: plug-ins/2022/linux
scripts: scripts
# kept to the end
")

# Files this is not the module file of: left as they are, in one line saying why.
foreach(foreign
        "+ fooTools 2.0 /opt/foo\n"
        "MAYA_MODULE_PATH=/opt\n+ PLATFORM:linux lumaVeil 1.0 lumaVeil\n"
        "+ PLATFORM:linux lumaVeil\n"
        "+ MAYAVERSION:2022 PLATFORM:linux lumaVeil 1.0 a\n+ PLATFORM:linux MAYAVERSION:2022 lumaVeil 1.0 b\n")
    file(WRITE ${WORK}/foreign.mod "${foreign}")
    update(${WORK}/foreign.mod classic 1)
    expect_file(${WORK}/foreign.mod "${foreign}")
    # (CMake wraps the message to the terminal's width.)
    string(REGEX REPLACE "[ \n]+" " " error "${error}")
    if(NOT error MATCHES "left as it is")
        message(FATAL_ERROR "no reason given for '${foreign}': ${error}")
    endif()
endforeach()
file(GLOB left "${WORK}/.*.tmp" "${WORK}/new/.*.tmp")
if(left)
    message(FATAL_ERROR "temporaries left behind: ${left}")
endif()
message(STATUS "moduleFile: every case passed")
