# Installation and the Debian package of vosyncloc: the binary, its manual page
# (gzipped, as Debian ships manual pages) and the bash and zsh completions.
# `cmake --install` and `cpack -G DEB` install the same four files.
include(GNUInstallDirs)

# Directories made by the install get the usual modes whatever the umask.
set(VOSYNCLOC_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${VOSYNCLOC_DIRECTORY_PERMISSIONS})

# The manual page: the version filled in, then compressed without a name or
# time stamp in the gzip header, so the same source gives the same bytes.
find_program(VOSYNCLOC_GZIP gzip REQUIRED)
set(VOSYNCLOC_MANPAGE ${CMAKE_BINARY_DIR}/man/vosyncloc.1)
configure_file(${PROJECT_SOURCE_DIR}/man/vosyncloc.1 ${VOSYNCLOC_MANPAGE} @ONLY)
add_custom_command(
    OUTPUT ${VOSYNCLOC_MANPAGE}.gz
    COMMAND ${VOSYNCLOC_GZIP} -9 -n -k -f ${VOSYNCLOC_MANPAGE}
    DEPENDS ${VOSYNCLOC_MANPAGE}
    COMMENT "Compressing the manual page vosyncloc(1)"
    VERBATIM)
add_custom_target(vosyncloc_manpage ALL DEPENDS ${VOSYNCLOC_MANPAGE}.gz)

install(TARGETS vosyncloc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Building only the tool leaves a tree that installs completely.
add_dependencies(vosyncloc vosyncloc_manpage)
install(FILES ${VOSYNCLOC_MANPAGE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/completions/bash/vosyncloc
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions)
install(FILES ${PROJECT_SOURCE_DIR}/completions/zsh/_vosyncloc
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/zsh/vendor-completions)

# The Debian package, vosyncloc_<version>_<arch>.deb. The architecture is the
# build machine's as dpkg names it; the tool is built for x86-64 only, so
# amd64 stands in where dpkg is missing.
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
set(CPACK_PACKAGE_CONTACT "vosyncloc developers <vosyncloc@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "print where the VO-Sync / VO-Kairon files and directories live")
set(CPACK_PACKAGE_DESCRIPTION
    "vosyncloc tells people, scripts and installers where the files and
directories of the VO-Sync / VO-Kairon time-synchronisation software live
on this machine: the base and library directories, the configuration
generator, daemon and client binaries, the time-reference, time-keeper and
servo directories, the runtime and persistence directories with their JSON
state files, the daemon's pid and log files, and the GPS position file.

It prints one location by key, all fifteen as key=path lines, or all as a
JSON object, and tells the standard installation layout from the legacy
one by what is installed.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${VOSYNCLOC_DIRECTORY_PERMISSIONS})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME "vosyncloc_${PROJECT_VERSION}_${VOSYNCLOC_DEB_ARCH}.deb")
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${VOSYNCLOC_DEB_ARCH})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps (from dpkg-dev) derives Depends from the libraries the binary links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
