# Read by CPack before it packs: `cpack -B <folder>` names the folder the
# archives go to, and CPack still stages them in the build tree; without -B
# (or with the build folder itself) they go to <build>/packages.
# CPACK_PACKAGE_DIRECTORY holds -B's folder, made absolute, or the build
# folder that Packaging.cmake gave it.
if(NOT CPACK_PACKAGE_DIRECTORY STREQUAL CPACK_LUMAVEIL_BUILD_DIR)
    set(CPACK_OUTPUT_FILE_PREFIX "${CPACK_PACKAGE_DIRECTORY}")
    set(CPACK_PACKAGE_DIRECTORY "${CPACK_LUMAVEIL_BUILD_DIR}")
endif()
