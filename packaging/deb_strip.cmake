# Run by cpack once it has installed the files of every package, before it makes them
# (CPACK_PRE_BUILD_SCRIPTS).
#
# The ELF files of the packages with debug information (CPACK_VOSYNCLOC_DEBUG_PACKAGES)
# lose the sections dh_strip removes besides the symbols (CPACK_VOSYNCLOC_STRIP, the
# objcopy command that takes them out). cpack then moves their debug information into the -dbgsym
# packages, matched by build id, and strips their symbols.
foreach(package IN LISTS CPACK_VOSYNCLOC_DEBUG_PACKAGES)
    file(GLOB_RECURSE files LIST_DIRECTORIES false ${CPACK_TEMPORARY_DIRECTORY}/${package}/*)
    foreach(file IN LISTS files)
        if(IS_SYMLINK ${file})
            continue()
        endif()
        file(READ ${file} magic LIMIT 4 HEX)
        if(magic STREQUAL "7f454c46")
            execute_process(COMMAND ${CPACK_VOSYNCLOC_STRIP} ${file} COMMAND_ERROR_IS_FATAL ANY)
        endif()
    endforeach()
endforeach()
