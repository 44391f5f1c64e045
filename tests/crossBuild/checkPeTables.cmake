# Checks a Windows library's PE header and its export and import tables:
#   cmake -DOBJDUMP=<objdump> -DLIBRARY=<file> -DNAME=<file name>
#         -DMACHINE=<8664|14c> -DEXPORTS=<name;...> -DIMPORTS=<dll;...>
#         [-DDECORATED=<dll;...>] -P checkPeTables.cmake
# The library must be called NAME, be built for MACHINE, export exactly
# EXPORTS, names as listed, and import nothing but Windows system DLLs
# and IMPORTS. Every name it imports from a DLL of DECORATED must be a C++
# name as MSVC decorates it ("??0MString@@QEAA@PEBD@Z"), not as GCC does.

cmake_minimum_required(VERSION 3.25)

# What every program on Windows may import: the kernel and the C runtime that
# ships with the system. MinGW's own runtime DLLs are not among them.
set(system_dlls kernel32.dll msvcrt.dll ucrtbase.dll)

foreach(var OBJDUMP LIBRARY NAME MACHINE)
    if(NOT ${var})
        message(FATAL_ERROR "${var} not given")
    endif()
endforeach()
if(NOT EXISTS "${LIBRARY}")
    message(FATAL_ERROR "${LIBRARY} does not exist")
endif()
get_filename_component(file_name "${LIBRARY}" NAME)
if(NOT file_name STREQUAL NAME)
    message(SEND_ERROR "the library is called ${file_name}, not ${NAME}")
endif()

# The COFF header's machine field, after the "PE\0\0" signature that the
# offset at 0x3c points to.
file(READ "${LIBRARY}" lfanew OFFSET 60 LIMIT 4 HEX)
string(REGEX REPLACE "^(..)(..)(..)(..)$" "\\4\\3\\2\\1" lfanew "${lfanew}")
math(EXPR lfanew "0x${lfanew}")
file(READ "${LIBRARY}" header OFFSET ${lfanew} LIMIT 6 HEX)
string(REGEX REPLACE "^50450000(..)(..)$" "\\2\\1" machine "${header}")
math(EXPR machine "0x${machine}" OUTPUT_FORMAT HEXADECIMAL)
math(EXPR expected_machine "0x${MACHINE}" OUTPUT_FORMAT HEXADECIMAL)
if(NOT header MATCHES "^50450000" OR NOT machine STREQUAL expected_machine)
    message(SEND_ERROR "machine: ${machine} (header ${header}), expected ${expected_machine}")
endif()

execute_process(COMMAND "${OBJDUMP}" -p "${LIBRARY}"
                OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${LIBRARY} failed: ${result}")
endif()
string(REPLACE ";" "\\;" dump "${dump}")
string(REPLACE "\n" ";" dump "${dump}")

# Exports: the name column of the ordinal/name pointer table.
# Imports: every "DLL Name:" line, and the names imported from it below it.
set(exports "")
set(imports "")
set(in_name_table FALSE)
set(import_dll "")
foreach(line IN LISTS dump)
    if(line MATCHES "^\tDLL Name: (.+)$")
        string(TOLOWER "${CMAKE_MATCH_1}" import_dll)
    elseif(import_dll AND line MATCHES "^\t[0-9a-f]+\t +[0-9]+  (.+)$")
        list(APPEND names_from_${import_dll} "${CMAKE_MATCH_1}")
    elseif(line STREQUAL "")
        set(import_dll "")
    endif()
    if(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
        set(in_name_table TRUE)
    elseif(in_name_table AND line MATCHES "^\t\\[ *[0-9]+\\] ([^ ]+)$")
        list(APPEND exports "${CMAKE_MATCH_1}")
    elseif(in_name_table AND NOT line MATCHES "^\t")
        set(in_name_table FALSE)
    endif()
    if(line MATCHES "^\tDLL Name: (.+)$")
        list(APPEND imports "${CMAKE_MATCH_1}")
    endif()
endforeach()

list(SORT exports)
set(expected_exports ${EXPORTS})
list(SORT expected_exports)
if(NOT exports STREQUAL expected_exports)
    message(SEND_ERROR "exports: '${exports}', expected '${expected_exports}'")
endif()

string(TOLOWER "${IMPORTS}" allowed)
list(APPEND allowed ${system_dlls})
foreach(dll IN LISTS imports)
    string(TOLOWER "${dll}" name)
    if(NOT name IN_LIST allowed AND NOT name MATCHES "^api-ms-win-")
        message(SEND_ERROR "imports ${dll}, which is neither a system DLL nor one of '${IMPORTS}'")
    endif()
endforeach()
foreach(dll IN LISTS IMPORTS)
    string(TOLOWER "${imports}" lower_imports)
    string(TOLOWER "${dll}" name)
    if(NOT name IN_LIST lower_imports)
        message(SEND_ERROR "does not import ${dll}")
    endif()
endforeach()

foreach(dll IN LISTS DECORATED)
    string(TOLOWER "${dll}" name)
    if(NOT names_from_${name})
        message(SEND_ERROR "imports no names from ${dll}")
    endif()
    set(decorated 0)
    foreach(symbol IN LISTS names_from_${name})
        if(symbol MATCHES "^\\?[^ ]+@@")
            math(EXPR decorated "${decorated} + 1")
        else()
            message(SEND_ERROR "imports ${symbol} from ${dll}, not a name decorated by MSVC")
        endif()
    endforeach()
    message(STATUS "${dll}: ${decorated} names decorated by MSVC")
endforeach()

message(STATUS "${LIBRARY}: machine ${machine}, exports ${exports}, imports ${imports}")
