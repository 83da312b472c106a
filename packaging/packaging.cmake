# Installation and the Debian packages.
#
# Each Debian package is the install component of the same name: `cmake --install`
# installs every component, `cpack -G DEB` makes one package of each component declared
# with vosyncloc_deb_package (packaging/debian_packages.cmake):
#   vosyncloc         the tool: the binary, its manual page, the bash and zsh completions,
#                     the Ansible local fact and the Facter external fact;
#   libvosyncloc1     the shared library libvosyncloc (packaging/library_packages.cmake);
#   libvosyncloc-dev  what programs using it are built with.
# Each carries the copyright file and changelog that every Debian package carries. This
# file and those it includes live in packaging/, beside what they package: the
# copyright, the changelog, the library's symbols and ABI, the lintian overrides.

# Debian keeps libraries in the multiarch directory lib/x86_64-linux-gnu, under /usr
# and /usr/local alike, and its loader, pkg-config and CMake look there. GNUInstallDirs
# chooses it only for a prefix of /usr at configure time; the packages get theirs from
# cpack, at install time.
if(CMAKE_LIBRARY_ARCHITECTURE AND NOT DEFINED CMAKE_INSTALL_LIBDIR)
    set(CMAKE_INSTALL_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE}
        CACHE PATH "Object code libraries (lib)")
endif()
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/debian_packages.cmake)

# The changelog, gzipped, for every package's /usr/share/doc.
vosyncloc_gzip(${VOSYNCLOC_CHANGELOG})
add_custom_target(vosyncloc_changelog ALL DEPENDS ${VOSYNCLOC_CHANGELOG}.gz)

# The vosyncloc package: the tool.
install(TARGETS vosyncloc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT vosyncloc)
vosyncloc_strip_like_debian(${CMAKE_INSTALL_BINDIR}/vosyncloc vosyncloc)
# Building only the tool leaves a tree that installs its package completely.
add_dependencies(vosyncloc vosyncloc_changelog)
vosyncloc_manpage(1 vosyncloc vosyncloc)
install(FILES ${PROJECT_SOURCE_DIR}/completions/bash/vosyncloc
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions
        COMPONENT vosyncloc)
install(FILES ${PROJECT_SOURCE_DIR}/completions/zsh/_vosyncloc
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/zsh/vendor-completions
        COMPONENT vosyncloc)
# Hosts link them into /etc/ansible/facts.d and /etc/facter/facts.d (the README's playbook
# and manifest do); the package writes nothing under /etc itself. The Facter fact runs
# the Ansible one, found beside it as ../ansible.
install(PROGRAMS ${PROJECT_SOURCE_DIR}/ansible/vosyncloc.fact
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/vosyncloc/ansible COMPONENT vosyncloc)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/puppet/vosyncloc.fact
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/vosyncloc/puppet COMPONENT vosyncloc)
# What the tool carries of other packages' code, when it links Boost and the C++ runtime
# in: the archives of those it names, and those the compiler takes for -static-libstdc++
# and -static-libgcc.
set(vosyncloc_static_built_using "")
if(VOSYNCLOC_STATIC_RUNTIME)
    set(archives)
    foreach(boost IN ITEMS Boost::filesystem Boost::program_options)
        get_target_property(archive ${boost} LOCATION)
        list(APPEND archives ${archive})
    endforeach()
    foreach(ask IN ITEMS -print-file-name=libstdc++.a -print-libgcc-file-name
                         -print-file-name=libgcc_eh.a)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} ${ask}
            OUTPUT_VARIABLE archive OUTPUT_STRIP_TRAILING_WHITESPACE)
        list(APPEND archives ${archive})
    endforeach()
    vosyncloc_static_built_using(field ${archives})
    if(field)
        set(vosyncloc_static_built_using "Static-Built-Using: ${field}")
    endif()
endif()
vosyncloc_deb_package(vosyncloc
    FIELDS "${vosyncloc_static_built_using}"
    SECTION utils
    SUMMARY "print where the VO-Sync / VO-Kairon files and directories live"
    DESCRIPTION
    "vosyncloc tells people, scripts and installers where the files and
directories of the VO-Sync / VO-Kairon time-synchronisation software live
on this machine: the base and library directories, the configuration
generator, daemon and client binaries, the time-reference, time-keeper and
servo directories, the runtime and persistence directories with their JSON
state files, the daemon's pid and log files, and the GPS position file.

It prints one location by key, all fifteen as key=path lines, as a JSON
object, or as shell assignments for scripts to evaluate (--shell), and
tells the standard installation layout from the legacy one by what is
installed; --explain shows how each location was worked out.

An Ansible local fact script and a Facter external fact, installed in
/usr/share/vosyncloc/ansible and /usr/share/vosyncloc/puppet, give the
locations of every host of a fleet; they stop a tool that has not answered
within 10 seconds, and pass on only a listing that both read alike.")

# The libvosyncloc1 and libvosyncloc-dev packages.
include(${CMAKE_CURRENT_LIST_DIR}/library_packages.cmake)

# After every package is declared.
include(${CMAKE_CURRENT_LIST_DIR}/cpack_settings.cmake)
