# Installation and the Debian packages.
#
# Each Debian package is the install component of the same name: `cmake --install`
# installs every component, `cpack -G DEB` makes one package per component listed in
# VOSYNCLOC_DEB_PACKAGES (declared with vosyncloc_deb_package below). Today there is
# one, vosyncloc: the binary, its manual page (gzipped, as Debian ships manual pages),
# the bash and zsh completions, and the copyright file and changelog that every Debian
# package carries. The packaging metadata lives in packaging/.
include(GNUInstallDirs)

# Directories made by the install get the usual modes whatever the umask.
set(VOSYNCLOC_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${VOSYNCLOC_DIRECTORY_PERMISSIONS})

# Who maintains the packages, for their Maintainer field and the changelog. The
# project has no mail host of its own; an address under the reserved .invalid domain
# says so honestly, and passes lintian.
set(VOSYNCLOC_MAINTAINER_NAME "vosyncloc developers"
    CACHE STRING "Maintainer name in the Debian packages")
set(VOSYNCLOC_MAINTAINER_EMAIL "maintainers@vosyncloc.invalid"
    CACHE STRING "Maintainer mail address in the Debian packages")
set(VOSYNCLOC_MAINTAINER "${VOSYNCLOC_MAINTAINER_NAME} <${VOSYNCLOC_MAINTAINER_EMAIL}>")

include(cmake/debian_changelog.cmake)

# Compresses `input` into `input`.gz the way Debian does (gzip -9n): the best
# compression, and no file name or time stamp in the header, so the same source gives
# the same bytes.
find_program(VOSYNCLOC_GZIP gzip REQUIRED)
function(vosyncloc_gzip input)
    cmake_path(GET input FILENAME name)
    add_custom_command(
        OUTPUT ${input}.gz
        COMMAND ${VOSYNCLOC_GZIP} -9 -n -k -f ${input}
        DEPENDS ${input}
        COMMENT "Compressing ${name}"
        VERBATIM)
endfunction()

# The manual page, with the version filled in.
set(VOSYNCLOC_MANPAGE ${CMAKE_BINARY_DIR}/man/vosyncloc.1)
configure_file(${PROJECT_SOURCE_DIR}/man/vosyncloc.1 ${VOSYNCLOC_MANPAGE} @ONLY)
vosyncloc_gzip(${VOSYNCLOC_MANPAGE})
vosyncloc_gzip(${VOSYNCLOC_CHANGELOG})
add_custom_target(vosyncloc_docs ALL DEPENDS ${VOSYNCLOC_MANPAGE}.gz ${VOSYNCLOC_CHANGELOG}.gz)

# Strips the installed ELF file `path` (relative to the prefix) further, like Debian's
# dh_strip, whenever the install strips (`cmake --install --strip`, and cpack, with
# CPACK_STRIP_FILES): after the symbols, the .comment and .note sections go, which hold
# only the compilers' identification. The .note.* sections (build id, ABI tag, CPU
# properties) stay.
function(vosyncloc_strip_like_debian path component)
    install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
            execute_process(
                COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${path}\"
                COMMAND_ERROR_IS_FATAL ANY)
        endif()"
        COMPONENT ${component})
endfunction()

# Declares the Debian package `package` (the install component of that name) with its
# SECTION, SUMMARY line and long DESCRIPTION, and installs what every package carries in
# /usr/share/doc/<package>: the copyright file and the changelog. Its lintian overrides,
# if any, go into the package only (they mean nothing to a plain install): those in
# packaging/<package>.lintian-overrides, and for a build by one compiler only, those in
# packaging/<package>.<compiler>.lintian-overrides (compiler: gnu, clang). Adds the
# package to VOSYNCLOC_DEB_PACKAGES, and to VOSYNCLOC_DEB_OVERRIDDEN when it has
# overrides.
set(VOSYNCLOC_DEB_PACKAGES)
set(VOSYNCLOC_DEB_OVERRIDDEN)
function(vosyncloc_deb_package package)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "SECTION;SUMMARY;DESCRIPTION" "")
    string(TOUPPER ${package} component)
    set(CPACK_DEBIAN_${component}_PACKAGE_NAME ${package} PARENT_SCOPE)
    set(CPACK_DEBIAN_${component}_PACKAGE_SECTION ${arg_SECTION} PARENT_SCOPE)
    set(CPACK_DEBIAN_${component}_DESCRIPTION "${arg_SUMMARY}\n${arg_DESCRIPTION}" PARENT_SCOPE)
    # dpkg-shlibdeps (from dpkg-dev) derives Depends from the libraries the binaries link.
    set(CPACK_DEBIAN_${component}_PACKAGE_SHLIBDEPS ON PARENT_SCOPE)

    install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${VOSYNCLOC_CHANGELOG}.gz
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${package})
    string(TOLOWER "${CMAKE_CXX_COMPILER_ID}" compiler)
    set(overrides "")
    foreach(name ${package} ${package}.${compiler})
        set(file ${PROJECT_SOURCE_DIR}/packaging/${name}.lintian-overrides)
        if(EXISTS ${file})
            set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
            file(READ ${file} text)
            string(APPEND overrides "${text}")
        endif()
    endforeach()
    if(overrides)
        set(file ${CMAKE_BINARY_DIR}/packaging/${package}.lintian-overrides)
        file(CONFIGURE OUTPUT ${file} CONTENT "${overrides}" @ONLY)
        install(FILES ${file} RENAME ${package}
                DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
                COMPONENT ${package} EXCLUDE_FROM_ALL)
        set(VOSYNCLOC_DEB_OVERRIDDEN ${VOSYNCLOC_DEB_OVERRIDDEN} ${package} PARENT_SCOPE)
    endif()
    set(VOSYNCLOC_DEB_PACKAGES ${VOSYNCLOC_DEB_PACKAGES} ${package} PARENT_SCOPE)
endfunction()

# The vosyncloc package: the tool.
install(TARGETS vosyncloc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT vosyncloc)
vosyncloc_strip_like_debian(${CMAKE_INSTALL_BINDIR}/vosyncloc vosyncloc)
# Building only the tool leaves a tree that installs completely.
add_dependencies(vosyncloc vosyncloc_docs)
install(FILES ${VOSYNCLOC_MANPAGE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT vosyncloc)
install(FILES ${PROJECT_SOURCE_DIR}/completions/bash/vosyncloc
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions
        COMPONENT vosyncloc)
install(FILES ${PROJECT_SOURCE_DIR}/completions/zsh/_vosyncloc
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/zsh/vendor-completions
        COMPONENT vosyncloc)
vosyncloc_deb_package(vosyncloc
    SECTION utils
    SUMMARY "print where the VO-Sync / VO-Kairon files and directories live"
    DESCRIPTION
    "vosyncloc tells people, scripts and installers where the files and
directories of the VO-Sync / VO-Kairon time-synchronisation software live
on this machine: the base and library directories, the configuration
generator, daemon and client binaries, the time-reference, time-keeper and
servo directories, the runtime and persistence directories with their JSON
state files, the daemon's pid and log files, and the GPS position file.

It prints one location by key, all fifteen as key=path lines, or all as a
JSON object, and tells the standard installation layout from the legacy
one by what is installed.")

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
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${VOSYNCLOC_DEB_PACKAGES})
# <package>_<version>_<architecture>.deb, as Debian names packages.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${VOSYNCLOC_DEB_ARCH})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VOSYNCLOC_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

# Read by cpack itself: the time stamps inside the packages (SOURCE_DATE_EPOCH).
find_package(Git QUIET)
configure_file(${PROJECT_SOURCE_DIR}/cmake/cpack_project_config.cmake.in
               ${CMAKE_BINARY_DIR}/packaging/cpack_project_config.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/packaging/cpack_project_config.cmake)
# ... and the same bytes whatever the packager's umask.
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/deb_member_modes.cmake)

include(CPack)
