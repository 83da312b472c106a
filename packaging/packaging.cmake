# The install: `cmake --install` puts every file where the Debian packages (debian/) take
# them from, under any prefix. Each file belongs to the install component named like the
# package that ships it, so that `--component` installs one package's files:
#   vosyncloc         the tool: the binary, its manual page, the bash and zsh completions,
#                     the Ansible local fact and the Facter external fact;
#   libvosyncloc1     the shared library libvosyncloc (packaging/library_install.cmake);
#   libvosyncloc-dev  what programs using it are built with.

# Debian keeps libraries in the multiarch directory lib/x86_64-linux-gnu, under /usr
# and /usr/local alike, and its loader, pkg-config and CMake look there. GNUInstallDirs
# chooses it only for a prefix of /usr at configure time.
if(CMAKE_LIBRARY_ARCHITECTURE AND NOT DEFINED CMAKE_INSTALL_LIBDIR)
    set(CMAKE_INSTALL_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE}
        CACHE PATH "Object code libraries (lib)")
endif()
include(GNUInstallDirs)

# Directories made by the install get the usual modes whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Installs the manual page man/vosyncloc.<section>, with the version filled in, into the
# component `package`, and for each further name a page that includes it (".so"), so
# that `man <section> <name>` finds it without man-db's index. Building `target` builds
# it too.
function(vosyncloc_manpage section package target)
    set(dir ${PROJECT_BINARY_DIR}/man/man${section})
    configure_file(${PROJECT_SOURCE_DIR}/man/vosyncloc.${section} ${dir}/vosyncloc.${section}
                   @ONLY)
    set(pages ${dir}/vosyncloc.${section})
    foreach(name IN LISTS ARGN)
        file(CONFIGURE OUTPUT ${dir}/${name}.${section}
             CONTENT ".so man${section}/vosyncloc.${section}\n")
        list(APPEND pages ${dir}/${name}.${section})
    endforeach()
    install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section}
            COMPONENT ${package})
endfunction()

# The tool.
install(TARGETS vosyncloc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT vosyncloc)
vosyncloc_manpage(1 vosyncloc vosyncloc)
install(FILES ${PROJECT_SOURCE_DIR}/completions/bash/vosyncloc
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions
        COMPONENT vosyncloc)
install(FILES ${PROJECT_SOURCE_DIR}/completions/zsh/_vosyncloc
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/zsh/vendor-completions
        COMPONENT vosyncloc)
# Hosts link them into /etc/ansible/facts.d and /etc/facter/facts.d (the playbook and
# manifest in ansible/ and puppet/ do); the install writes nothing under /etc itself. The
# Facter fact runs the Ansible one, found beside it as ../ansible, and that one runs the
# tool installed as bin/vosyncloc beside the share directory (else the system's).
install(PROGRAMS ${PROJECT_SOURCE_DIR}/ansible/vosyncloc.fact
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/vosyncloc/ansible COMPONENT vosyncloc)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/puppet/vosyncloc.fact
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/vosyncloc/puppet COMPONENT vosyncloc)

# The library and its development files.
include(${CMAKE_CURRENT_LIST_DIR}/library_install.cmake)
