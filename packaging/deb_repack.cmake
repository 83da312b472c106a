# Run by cpack after it made the packages (CPACK_POST_BUILD_SCRIPTS), before
# deb_member_modes.cmake, with their paths in CPACK_PACKAGE_FILES.
#
# Gives each package what cpack has no setting for:
#   - the control field lines declared with vosyncloc_deb_package's FIELDS
#     (CPACK_VOSYNCLOC_FIELDS_<package>), such as "Multi-Arch: same", which a -dbgsym
#     package shares with its package;
#   - to a -dbgsym package (<package>-dbgsym_..., .ddeb), what Debian's have: its
#     documentation directory a link to its package's, which
#     holds the copyright file and changelog, debug files that are not executable, and
#     md5sums of its own files (cpack lists them under the path it built them in);
#   - to a shared library's package (CPACK_VOSYNCLOC_LIBRARY_PACKAGES), no maintainer
#     scripts: cpack writes ldconfig calls into them once it reads the package's files
#     for the -dbgsym package, and the package's ldconfig trigger does that work.
# A package is unpacked with dpkg-deb and built again from the same files, with root as
# owner, modes free of the packager's umask and the time stamps of SOURCE_DATE_EPOCH, so
# the result stays the same bytes for the same source.
find_program(vosyncloc_dpkg_deb dpkg-deb REQUIRED)

# The fields of package `name`, as vosyncloc_deb_package declared them.
function(fields_of name out)
    string(TOUPPER ${name} upper)
    string(MAKE_C_IDENTIFIER ${upper} identifier)
    set(${out} "${CPACK_VOSYNCLOC_FIELDS_${identifier}}" PARENT_SCOPE)
endfunction()

# Replaces DEBIAN/md5sums in `root` by the sums of its files, sorted by path.
function(write_md5sums root)
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${root} ${root}/*)
    list(FILTER files EXCLUDE REGEX "^DEBIAN/")
    list(SORT files)
    set(sums "")
    foreach(file IN LISTS files)
        if(NOT IS_SYMLINK ${root}/${file})
            file(MD5 ${root}/${file} sum)
            string(APPEND sums "${sum}  ${file}\n")
        endif()
    endforeach()
    file(WRITE ${root}/DEBIAN/md5sums "${sums}")
endfunction()

# Links the documentation directory of the -dbgsym package `name` in `root` to that of
# its package `base`, gives it md5sums, and makes its debug files plain files.
function(complete_dbgsym root name base)
    file(MAKE_DIRECTORY ${root}/usr/share/doc)
    file(CREATE_LINK ${base} ${root}/usr/share/doc/${name} SYMBOLIC)
    file(GLOB_RECURSE debug_files LIST_DIRECTORIES false ${root}/usr/lib/debug/*.debug)
    foreach(file IN LISTS debug_files)
        file(CHMOD ${file} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    endforeach()
    write_md5sums(${root})
endfunction()

foreach(deb IN LISTS CPACK_PACKAGE_FILES)
    cmake_path(GET deb FILENAME file_name)
    if(NOT file_name MATCHES "^([^_]+)_")
        continue()
    endif()
    set(name ${CMAKE_MATCH_1})
    set(base "")
    if(name MATCHES "^(.+)-dbgsym$")
        set(base ${CMAKE_MATCH_1})
        fields_of(${base} base_fields)
        list(FILTER base_fields INCLUDE REGEX "^Multi-Arch: same$")
        set(fields ${base_fields})
    else()
        fields_of(${name} fields)
    endif()
    list(FILTER fields EXCLUDE REGEX "^$")
    set(library OFF)
    if(name IN_LIST CPACK_VOSYNCLOC_LIBRARY_PACKAGES)
        set(library ON)
    endif()
    if(NOT fields AND NOT base AND NOT library)
        continue()
    endif()

    set(root ${deb}.unpacked)
    file(REMOVE_RECURSE ${root})
    execute_process(COMMAND ${vosyncloc_dpkg_deb} --raw-extract ${deb} ${root}
        COMMAND_ERROR_IS_FATAL ANY)
    # The new lines go before the description, which dpkg-deb writes last.
    file(READ ${root}/DEBIAN/control control)
    list(JOIN fields "\n" lines)
    if(lines)
        string(REPLACE "\nDescription:" "\n${lines}\nDescription:" control "${control}")
        file(WRITE ${root}/DEBIAN/control "${control}")
    endif()
    if(base)
        complete_dbgsym(${root} ${name} ${base})
    endif()
    if(library)
        file(REMOVE ${root}/DEBIAN/postinst ${root}/DEBIAN/postrm)
    endif()
    execute_process(COMMAND chmod -R go-w ${root} COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND find ${root} -exec touch -h -d @$ENV{SOURCE_DATE_EPOCH} {} +
        COMMAND_ERROR_IS_FATAL ANY)
    execute_process(
        COMMAND ${vosyncloc_dpkg_deb} --root-owner-group -Zgzip --build ${root} ${deb}
        OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${root})
endforeach()
