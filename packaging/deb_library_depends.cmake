# Run by cpack once it has installed the files of every package, before it makes them
# (CPACK_PRE_BUILD_SCRIPTS); what it sets here, the packages get.
#
# The Depends of each package that holds a shared library
# (CPACK_VOSYNCLOC_LIBRARY_PACKAGES, see vosyncloc_deb_shared_library): what
# dpkg-shlibdeps finds that its ELF files need, after any Depends declared.
find_program(vosyncloc_shlibdeps dpkg-shlibdeps REQUIRED)

foreach(package IN LISTS CPACK_VOSYNCLOC_LIBRARY_PACKAGES)
    set(root ${CPACK_TEMPORARY_DIRECTORY}/${package})
    file(GLOB_RECURSE candidates LIST_DIRECTORIES false ${root}/*.so.*)
    set(libraries)
    foreach(file IN LISTS candidates)
        if(NOT IS_SYMLINK ${file})
            list(APPEND libraries ${file})
        endif()
    endforeach()
    if(NOT libraries)
        message(FATAL_ERROR "${package}: no shared library in ${root}")
    endif()
    # dpkg-shlibdeps wants a debian/control where it runs, though it reads nothing there.
    set(work ${CPACK_TEMPORARY_DIRECTORY}/${package}-shlibdeps)
    file(WRITE ${work}/debian/control "")
    execute_process(
        COMMAND ${vosyncloc_shlibdeps} -O ${libraries}
        WORKING_DIRECTORY ${work}
        OUTPUT_VARIABLE found
        ERROR_VARIABLE warnings
        RESULT_VARIABLE failed)
    file(REMOVE_RECURSE ${work})
    if(failed OR NOT found MATCHES "(^|\n)shlibs:Depends=([^\n]+)")
        message(FATAL_ERROR "dpkg-shlibdeps ${libraries}: ${found}${warnings}")
    endif()
    string(TOUPPER ${package} component)
    set(depends CPACK_DEBIAN_${component}_PACKAGE_DEPENDS)
    if(${depends})
        set(${depends} "${${depends}}, ${CMAKE_MATCH_2}")
    else()
        set(${depends} "${CMAKE_MATCH_2}")
    endif()
endforeach()
