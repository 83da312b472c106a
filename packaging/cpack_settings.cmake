# The cpack settings of the Debian packages, once every package is declared
# (VOSYNCLOC_DEB_PACKAGES, packaging/debian_packages.cmake).

# The architecture is the build machine's as dpkg names it; the tool is built for
# x86-64 only, so amd64 stands in where dpkg is missing.
execute_process(
    COMMAND dpkg --print-architecture
    OUTPUT_VARIABLE VOSYNCLOC_DEB_ARCH
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET
    RESULT_VARIABLE VOSYNCLOC_DPKG_RESULT)
if(NOT VOSYNCLOC_DPKG_RESULT EQUAL 0 OR VOSYNCLOC_DEB_ARCH STREQUAL "")
    set(VOSYNCLOC_DEB_ARCH amd64)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vosyncloc)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${VOSYNCLOC_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${VOSYNCLOC_DIRECTORY_PERMISSIONS})
# Not stripped at install: cpack takes the debug information of the packages that have
# ELF files (VOSYNCLOC_DEB_DEBUG_PACKAGES) into their -dbgsym packages, then strips them.
set(CPACK_STRIP_FILES OFF)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${VOSYNCLOC_DEB_PACKAGES})
# <package>_<version>_<architecture>.deb, as Debian names packages.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${VOSYNCLOC_DEB_ARCH})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VOSYNCLOC_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Every package comes from the one source package of the changelog.
set(CPACK_DEBIAN_PACKAGE_SOURCE vosyncloc)

# Read by cpack itself: the time stamps inside the packages (SOURCE_DATE_EPOCH).
find_package(Git QUIET)
configure_file(${CMAKE_CURRENT_LIST_DIR}/cpack_project_config.cmake.in
               ${CMAKE_BINARY_DIR}/packaging/cpack_project_config.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/packaging/cpack_project_config.cmake)
# Once the files are installed: the ELF files stripped of what dh_strip strips before
# their debug information is split off, and the dependencies of the shared libraries'
# packages.
set(CPACK_VOSYNCLOC_DEBUG_PACKAGES ${VOSYNCLOC_DEB_DEBUG_PACKAGES})
set(CPACK_VOSYNCLOC_STRIP ${CMAKE_OBJCOPY} ${VOSYNCLOC_STRIPPED_SECTIONS})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb_strip.cmake
                            ${CMAKE_CURRENT_LIST_DIR}/deb_library_depends.cmake)
# Once they are made: the control fields and -dbgsym contents cpack cannot give them,
# and the same bytes whatever the packager's umask.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb_repack.cmake
                             ${CMAKE_CURRENT_LIST_DIR}/deb_member_modes.cmake)

include(CPack)
