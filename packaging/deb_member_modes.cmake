# Run by cpack after it made the packages (CPACK_POST_BUILD_SCRIPTS), with their
# paths in CPACK_PACKAGE_FILES.
#
# cpack gives the three members of a .deb's ar container (debian-binary,
# control.tar.*, data.tar.*) the modes its temporary files got from the umask, so
# a packager with another umask would get other bytes. dpkg-deb writes 100644
# whatever the umask; so does this, in place. The ar format: "!<arch>\n", then per
# member a 60-byte text header (the mode in octal at offset 40, 8 bytes; the size in
# decimal at offset 48, 10 bytes) and the member's bytes, padded to an even length.
find_program(vosyncloc_dd dd REQUIRED)

foreach(deb IN LISTS CPACK_PACKAGE_FILES)
    if(NOT deb MATCHES "\\.d?deb$")
        continue()
    endif()
    set(mode_file ${deb}.member-mode)
    file(WRITE ${mode_file} "100644  ")
    file(SIZE ${deb} deb_size)
    set(header_at 8)
    while(header_at LESS deb_size)
        file(READ ${deb} header OFFSET ${header_at} LIMIT 60)
        if(NOT header MATCHES "^[^\n]+`\n$")
            message(FATAL_ERROR "${deb}: no ar member header at byte ${header_at}")
        endif()
        string(SUBSTRING "${header}" 48 10 member_size)
        string(STRIP "${member_size}" member_size)
        math(EXPR mode_at "${header_at} + 40")
        execute_process(
            COMMAND ${vosyncloc_dd} of=${deb} bs=1 seek=${mode_at} conv=notrunc status=none
            INPUT_FILE ${mode_file}
            COMMAND_ERROR_IS_FATAL ANY)
        math(EXPR header_at "${header_at} + 60 + ${member_size} + ${member_size} % 2")
    endwhile()
    file(REMOVE ${mode_file})
endforeach()
