# One archive per platform holding the Maya module and the mental ray layout,
# in one top folder named as the archive, as `cmake --install` lays them out
# (see Install.cmake):
#   cpack --config <build>/CPackConfig.cmake
# gives lumaVeil-<version>-linux-x86_64.tar.gz, lumaVeil-<version>-win64.zip or
# lumaVeil-<version>-win32.zip. The preview tool is not part of it.
set(CPACK_PACKAGE_NAME lumaVeil)
set(CPACK_PACKAGE_VENDOR Quorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "lumaVeil: Maya plug-in and mental ray shader for translucent materials")

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(lumaveil_package_platform win64)
    else()
        set(lumaveil_package_platform win32)
    endif()
else()
    set(CPACK_GENERATOR TGZ)
    string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" lumaveil_package_platform)
endif()
set(CPACK_PACKAGE_FILE_NAME "lumaVeil-${PROJECT_VERSION}-${lumaveil_package_platform}")

# The shipped components only, merged into one tree under one top folder and
# stripped; their debug information goes into an archive of its own, whose
# tree unpacks over the release tree (<archive>-debug.tar.gz or .zip).
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ONE_PER_GROUP)
set(CPACK_STRIP_FILES ON)
if(LUMAVEIL_INSTALL_MAYA)
    set(CPACK_COMPONENTS_ALL maya mentalray)
else()
    set(CPACK_COMPONENTS_ALL mentalray)
endif()
if(LUMAVEIL_SPLIT_DEBUG_INFORMATION)
    list(APPEND CPACK_COMPONENTS_ALL debug)
endif()
set(CPACK_ARCHIVE_RELEASE_FILE_NAME ${CPACK_PACKAGE_FILE_NAME})
set(CPACK_ARCHIVE_DEBUG_FILE_NAME ${CPACK_PACKAGE_FILE_NAME}-debug)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
# CPack's staging folder (_CPack_Packages) goes into the build tree, wherever
# cpack is run from.
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})

include(CPack)
cpack_add_component_group(release)
cpack_add_component_group(debug)
cpack_add_component(maya GROUP release)
cpack_add_component(mentalray GROUP release)
cpack_add_component(debug GROUP debug)
