# Checks that Linux libraries load on a glibc as old as the floor:
#   cmake -DOBJDUMP=<objdump> -DLIBRARIES=<file;...> [-DFLOOR=2.28]
#         -P checkGlibcFloor.cmake
# Reads each library's dynamic symbols (objdump -T) and fails, naming them,
# for any that needs a GLIBC_ version above FLOOR. The libraries' highest
# libstdc++ and libgcc versions (GLIBCXX_, CXXABI_, GCC_) are printed for the
# record: they are not glibc's, and are not held to the floor.

cmake_minimum_required(VERSION 3.25)

if(NOT FLOOR)
    set(FLOOR 2.28)
endif()
foreach(var OBJDUMP LIBRARIES)
    if(NOT ${var})
        message(FATAL_ERROR "${var} not given")
    endif()
endforeach()

set(failed OFF)
foreach(library IN LISTS LIBRARIES)
    if(NOT EXISTS "${library}")
        message(FATAL_ERROR "${library} does not exist")
    endif()
    execute_process(COMMAND "${OBJDUMP}" -T "${library}"
                    OUTPUT_VARIABLE dump RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${OBJDUMP} -T ${library} failed: ${result}")
    endif()
    string(REPLACE ";" "\\;" dump "${dump}")
    string(REPLACE "\n" ";" dump "${dump}")
    set(families GLIBC GLIBCXX CXXABI GCC)
    foreach(family IN LISTS families)
        set(highest_${family} "")
    endforeach()
    set(above "")
    foreach(line IN LISTS dump)
        # "... (GLIBC_2.29) exp" for an import, " GLIBC_2.29  exp" for a
        # definition; the version's own ABS entry names no symbol after it.
        if(NOT line MATCHES "[ (](GLIBCXX|GLIBC|CXXABI|GCC)_([0-9.]+)\\)? +([^ ]+)$")
            continue()
        endif()
        set(family ${CMAKE_MATCH_1})
        set(version ${CMAKE_MATCH_2})
        set(symbol ${CMAKE_MATCH_3})
        if(NOT highest_${family} OR version VERSION_GREATER highest_${family})
            set(highest_${family} ${version})
        endif()
        if(family STREQUAL "GLIBC" AND version VERSION_GREATER FLOOR)
            list(APPEND above "${symbol}@GLIBC_${version}")
        endif()
    endforeach()
    if(NOT highest_GLIBC)
        # Every library built against glibc needs some of it: none found
        # means the dump was not read.
        message(FATAL_ERROR "${library}: no GLIBC_ version found in the output of ${OBJDUMP} -T")
    endif()
    set(highest "")
    foreach(family IN LISTS families)
        if(highest_${family})
            list(APPEND highest "${family}_${highest_${family}}")
        endif()
    endforeach()
    list(JOIN highest ", " highest)
    message(STATUS "${library} needs at most ${highest}")
    if(above)
        list(JOIN above ", " above)
        message(SEND_ERROR "${library} needs glibc above ${FLOOR}: ${above}")
        set(failed ON)
    endif()
endforeach()
if(failed)
    message(FATAL_ERROR "the glibc floor is ${FLOOR}")
endif()
