# What every Debian package of this source has in common, and the functions that
# declare one. Packages are made by cpack from install components
# (packaging/cpack_settings.cmake).

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

include(${CMAKE_CURRENT_LIST_DIR}/debian_changelog.cmake)

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

# Installs the manual page man/vosyncloc.<section> into the package `package`, with the
# version filled in and gzipped as Debian ships manual pages. Building `target` builds
# it too, so that a tree where only that target was built installs its package. Further
# arguments go to install().
function(vosyncloc_manpage section package target)
    set(page ${PROJECT_BINARY_DIR}/man/vosyncloc.${section})
    configure_file(${PROJECT_SOURCE_DIR}/man/vosyncloc.${section} ${page} @ONLY)
    vosyncloc_gzip(${page})
    add_custom_target(vosyncloc_manpage${section} ALL DEPENDS ${page}.gz)
    add_dependencies(${target} vosyncloc_manpage${section})
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section}
            COMPONENT ${package} ${ARGN})
endfunction()

# The sections dh_strip removes besides the symbols: .comment and .note hold only the
# compilers' identification. The .note.* sections (build id, ABI tag, CPU properties)
# stay.
set(VOSYNCLOC_STRIPPED_SECTIONS --remove-section=.comment --remove-section=.note)

# Strips the installed ELF file `path` (relative to the prefix) of package `component`
# like Debian's dh_strip. `cmake --install --strip` strips it there and then. For the
# Debian package, cpack moves its debug information into the package
# `component`-dbgsym, under /usr/lib/debug/.build-id/, and strips it
# (CPACK_DEBIAN_<component>_DEBUGINFO_PACKAGE), once packaging/deb_strip.cmake has taken
# out the sections above; the component is added to VOSYNCLOC_DEB_DEBUG_PACKAGES.
function(vosyncloc_strip_like_debian path component)
    install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
            execute_process(
                COMMAND \"${CMAKE_STRIP}\" ${VOSYNCLOC_STRIPPED_SECTIONS}
                        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${path}\"
                COMMAND_ERROR_IS_FATAL ANY)
        endif()"
        COMPONENT ${component})
    string(TOUPPER ${component} upper)
    set(CPACK_DEBIAN_${upper}_DEBUGINFO_PACKAGE ON PARENT_SCOPE)
    set(VOSYNCLOC_DEB_DEBUG_PACKAGES ${VOSYNCLOC_DEB_DEBUG_PACKAGES} ${component} PARENT_SCOPE)
endfunction()
set(VOSYNCLOC_DEB_DEBUG_PACKAGES)

# Declares the Debian package `package` (the install component of that name) with its
# SECTION, SUMMARY line and long DESCRIPTION, DEPENDS (optional) beside what its ELF
# files are found to need, and FIELDS (optional): whole control field lines that cpack
# has no setting for, which packaging/deb_repack.cmake adds to the package (and to its
# -dbgsym package when it is "Multi-Arch: same"). It installs what every package carries in
# /usr/share/doc/<package>: the copyright file and the changelog. Its lintian overrides,
# if any, go into the package only (they mean nothing to a plain install): those in
# packaging/<package>.lintian-overrides, and for a build by one compiler only, those in
# packaging/<package>.<compiler>.lintian-overrides (compiler: gnu, clang). Adds the
# package to VOSYNCLOC_DEB_PACKAGES, and to VOSYNCLOC_DEB_OVERRIDDEN when it has
# overrides.
set(VOSYNCLOC_DEB_PACKAGES)
set(VOSYNCLOC_DEB_OVERRIDDEN)
function(vosyncloc_deb_package package)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "SECTION;SUMMARY;DESCRIPTION;DEPENDS" "FIELDS")
    string(TOUPPER ${package} component)
    string(MAKE_C_IDENTIFIER ${component} identifier)
    set(CPACK_VOSYNCLOC_FIELDS_${identifier} "${arg_FIELDS}" PARENT_SCOPE)
    set(CPACK_DEBIAN_${component}_PACKAGE_NAME ${package} PARENT_SCOPE)
    set(CPACK_DEBIAN_${component}_PACKAGE_SECTION ${arg_SECTION} PARENT_SCOPE)
    set(CPACK_DEBIAN_${component}_DESCRIPTION "${arg_SUMMARY}\n${arg_DESCRIPTION}" PARENT_SCOPE)
    # dpkg-shlibdeps (from dpkg-dev) derives Depends from the libraries the binaries link.
    set(CPACK_DEBIAN_${component}_PACKAGE_SHLIBDEPS ON PARENT_SCOPE)
    set(CPACK_DEBIAN_${component}_PACKAGE_DEPENDS "${arg_DEPENDS}" PARENT_SCOPE)

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

# Makes the package `package`, declared before, the package of the shared library
# `target`, with what Debian keeps beside one in the package's control member: a shlibs
# and a symbols file (packaging/<package>.symbols), which tell dpkg-shlibdeps what a
# program linked with the library needs, and a trigger that has ldconfig update the
# loader's cache. cpack would find the library's own dependencies itself, but it then
# also adds maintainer scripts that run ldconfig, which Debian has replaced by the
# trigger: packaging/deb_library_depends.cmake finds them instead.
set(CPACK_VOSYNCLOC_LIBRARY_PACKAGES)
function(vosyncloc_deb_shared_library package target)
    string(TOUPPER ${package} component)
    get_target_property(name ${target} OUTPUT_NAME)
    get_target_property(soversion ${target} SOVERSION)
    set(dir ${CMAKE_BINARY_DIR}/packaging/${package})
    # The programs linked with this version need this version or a later one.
    file(CONFIGURE OUTPUT ${dir}/shlibs
         CONTENT "lib${name} ${soversion} ${package} (>= ${PROJECT_VERSION})\n")
    file(CONFIGURE OUTPUT ${dir}/triggers CONTENT "activate-noawait ldconfig\n")
    configure_file(${PROJECT_SOURCE_DIR}/packaging/${package}.symbols ${dir}/symbols COPYONLY)
    set(CPACK_DEBIAN_${component}_PACKAGE_CONTROL_EXTRA
        ${dir}/shlibs ${dir}/symbols ${dir}/triggers PARENT_SCOPE)
    # Modes 644 whatever the umask, like the rest of the package.
    set(CPACK_DEBIAN_${component}_PACKAGE_CONTROL_STRICT_PERMISSION ON PARENT_SCOPE)
    set(CPACK_DEBIAN_${component}_PACKAGE_SHLIBDEPS OFF PARENT_SCOPE)
    set(CPACK_VOSYNCLOC_LIBRARY_PACKAGES ${CPACK_VOSYNCLOC_LIBRARY_PACKAGES} ${package}
        PARENT_SCOPE)
endfunction()

# The Static-Built-Using field of a program that links `archives` (static libraries,
# full paths) into itself, in `out`: the source package and exact version of the Debian
# package that holds each, as dpkg knows them now, so that the archive can tell the
# program needs a rebuild when one of those sources changes. Empty without dpkg, or
# for archives no Debian package holds.
function(vosyncloc_static_built_using out)
    set(sources)
    foreach(archive IN LISTS ARGN)
        # dpkg knows each file by one path: clang names them through /usr/bin/../lib.
        cmake_path(NORMAL_PATH archive)
        execute_process(COMMAND dpkg-query -S ${archive}
            OUTPUT_VARIABLE owner RESULT_VARIABLE failed ERROR_QUIET)
        if(failed OR NOT owner MATCHES "^([^:, ]+)")
            continue()
        endif()
        execute_process(
            COMMAND dpkg-query -W "-f=\${source:Package} (= \${source:Version})" ${CMAKE_MATCH_1}
            OUTPUT_VARIABLE source RESULT_VARIABLE failed ERROR_QUIET)
        if(NOT failed AND source)
            list(APPEND sources "${source}")
        endif()
    endforeach()
    list(REMOVE_DUPLICATES sources)
    list(SORT sources)
    list(JOIN sources ", " field)
    set(${out} "${field}" PARENT_SCOPE)
endfunction()
