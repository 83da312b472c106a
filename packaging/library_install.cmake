# The install of libvosyncloc:
#   libvosyncloc1     the shared library: libvosyncloc.so.<version> and its SONAME link
#                     libvosyncloc.so.1;
#   libvosyncloc-dev  what programs are built with: the headers, the libvosyncloc.so
#                     link, vosyncloc.pc, the CMake package (vosyncloc::vosyncloc) and
#                     the manual pages vosyncloc(3), one name for each function.
include(CMakePackageConfigHelpers)

set(library_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/vosyncloc)
set(library_source_dir ${PROJECT_SOURCE_DIR}/vosyncloc)
set(library_binary_dir ${PROJECT_BINARY_DIR}/vosyncloc)

# A shared library is not a program: readable by all, not executable.
install(TARGETS vosyncloc_library EXPORT vosyncloc-targets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
        COMPONENT libvosyncloc1 NAMELINK_COMPONENT libvosyncloc-dev
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${library_source_dir}/vosyncloc.h ${library_source_dir}/vosyncloc.hpp
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vosyncloc COMPONENT libvosyncloc-dev)

# The CMake package finds everything relative to its own directory, so it can be moved
# with the tree it is installed in.
install(EXPORT vosyncloc-targets NAMESPACE vosyncloc:: FILE vosyncloc-targets.cmake
    DESTINATION ${library_cmake_dir} COMPONENT libvosyncloc-dev)
configure_package_config_file(${library_source_dir}/vosyncloc-config.cmake.in
    ${library_binary_dir}/vosyncloc-config.cmake INSTALL_DESTINATION ${library_cmake_dir})
write_basic_package_version_file(${library_binary_dir}/vosyncloc-config-version.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${library_binary_dir}/vosyncloc-config.cmake
    ${library_binary_dir}/vosyncloc-config-version.cmake
    DESTINATION ${library_cmake_dir} COMPONENT libvosyncloc-dev)

# The pkg-config file names the prefix the tree is installed under, which `cmake
# --install --prefix` and cpack choose only at install time: it is filled in then.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
    set(VOSYNCLOC_PC_LIBDIR "${CMAKE_INSTALL_LIBDIR}")
else()
    set(VOSYNCLOC_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
endif()
if(IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
    set(VOSYNCLOC_PC_INCLUDEDIR "${CMAKE_INSTALL_INCLUDEDIR}")
else()
    set(VOSYNCLOC_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
set(VOSYNCLOC_PC_PREFIX "@CMAKE_INSTALL_PREFIX@")
configure_file(${library_source_dir}/vosyncloc.pc.in ${library_binary_dir}/vosyncloc.pc.in @ONLY)
install(CODE "configure_file(\"${library_binary_dir}/vosyncloc.pc.in\"
                             \"${library_binary_dir}/vosyncloc.pc\" @ONLY)"
    COMPONENT libvosyncloc-dev)
install(FILES ${library_binary_dir}/vosyncloc.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT libvosyncloc-dev)

# The ABI baseline of the SONAME, which the test vosyncloc.abi compares the library with,
# and the values of the result codes beside it:
# `cmake --build <build> --target vosyncloc_abi_baseline` writes it anew from an
# optimised build (see the README, "For maintainers").
find_program(VOSYNCLOC_ABIDW abidw)
if(VOSYNCLOC_ABIDW)
    add_custom_target(vosyncloc_abi_baseline
        COMMAND ${VOSYNCLOC_ABIDW} --exported-interfaces-only --no-corpus-path --no-elf-needed
                --no-comp-dir-path --no-show-locs --headers-dir ${library_source_dir}
                --drop-private-types --out-file ${PROJECT_SOURCE_DIR}/packaging/libvosyncloc.so.1.abi
                $<TARGET_FILE:vosyncloc_library>
        COMMAND sh -c "sh \"$1\" \"$2\" \"$3\" >\"$4\"" sh
                ${CMAKE_CURRENT_LIST_DIR}/interface_constants.sh ${PROJECT_SOURCE_DIR}
                ${CMAKE_C_COMPILER} ${PROJECT_SOURCE_DIR}/packaging/libvosyncloc.so.1.constants
        DEPENDS vosyncloc_library
        COMMENT "Writing the ABI baseline packaging/libvosyncloc.so.1.abi and .constants"
        VERBATIM)
endif()

# The manual page vosyncloc(3), under its own name and each function's.
file(STRINGS ${library_source_dir}/vosyncloc.h declarations REGEX "^VOSYNCLOC_API ")
string(REGEX MATCHALL "vosyncloc_[a-z_]+\\(" functions "${declarations}")
string(REPLACE "(" "" functions "${functions}")
vosyncloc_manpage(3 libvosyncloc-dev vosyncloc_library ${functions})
