# Writes the .def file of a DLL from the objects it would be linked from:
#   cmake -DOBJECTS=<object;...> -DLIBRARY=<name.dll> -DDEF=<file> -P exportsToDef.cmake
# An MSVC-ABI object names each of its __declspec(dllexport) symbols to the
# linker in its .drectve section, as /EXPORT:name or /EXPORT:"name",DATA.
cmake_minimum_required(VERSION 3.25)

set(exports "")
foreach(object IN LISTS OBJECTS)
    file(STRINGS "${object}" directives REGEX "/EXPORT:")
    foreach(line IN LISTS directives)
        string(REGEX MATCHALL "/EXPORT:(\"[^\"]+\"|[^ \"]+)(,DATA)?" found "${line}")
        foreach(directive IN LISTS found)
            string(REGEX REPLACE "^/EXPORT:\"?([^\",]+)\"?(,DATA)?$" "\\1" name "${directive}")
            if(directive MATCHES ",DATA$")
                string(APPEND name " DATA")
            endif()
            list(APPEND exports "${name}")
        endforeach()
    endforeach()
endforeach()
list(REMOVE_DUPLICATES exports)
list(SORT exports)
if(NOT exports)
    message(FATAL_ERROR "no exports in ${OBJECTS}")
endif()

list(JOIN exports "\n    " lines)
file(WRITE "${DEF}.new" "LIBRARY ${LIBRARY}\nEXPORTS\n    ${lines}\n")
file(COPY_FILE "${DEF}.new" "${DEF}" ONLY_IF_DIFFERENT)
file(REMOVE "${DEF}.new")
