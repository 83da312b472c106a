# Installation and the Debian packages.
#
# Each Debian package is the install component of the same name: `cmake --install`
# installs every component, `cpack -G DEB` makes one package of each component declared
# with vosyncloc_deb_package (cmake/debian_packages.cmake). Today there is one,
# vosyncloc: the binary, its manual page (gzipped, as Debian ships manual pages), the
# bash and zsh completions, and the copyright file and changelog that every Debian
# package carries. The packaging metadata lives in packaging/.
include(GNUInstallDirs)
include(cmake/debian_packages.cmake)

# The manual page with the version filled in, and the changelog, gzipped.
set(VOSYNCLOC_MANPAGE ${CMAKE_BINARY_DIR}/man/vosyncloc.1)
configure_file(${PROJECT_SOURCE_DIR}/man/vosyncloc.1 ${VOSYNCLOC_MANPAGE} @ONLY)
vosyncloc_gzip(${VOSYNCLOC_MANPAGE})
vosyncloc_gzip(${VOSYNCLOC_CHANGELOG})
add_custom_target(vosyncloc_docs ALL DEPENDS ${VOSYNCLOC_MANPAGE}.gz ${VOSYNCLOC_CHANGELOG}.gz)

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

# After every package is declared.
include(cmake/cpack_settings.cmake)
