# Installation of libvosyncloc, in two components that packages can take apart:
#   lib  the shared library: libvosyncloc.so.<version> and its SONAME link
#        libvosyncloc.so.1;
#   dev  what programs are built with: the headers, the libvosyncloc.so link,
#        vosyncloc.pc, the CMake package (vosyncloc::vosyncloc) and vosyncloc(3).
# A plain `cmake --install` installs the tool alone, as before; the library's
# components are installed by name: `cmake --install build --component lib`, then dev.
include(CMakePackageConfigHelpers)

set(library_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/vosyncloc)
set(library_source_dir ${PROJECT_SOURCE_DIR}/vosyncloc)
set(library_binary_dir ${PROJECT_BINARY_DIR}/vosyncloc)

# A shared library is not a program: readable by all, not executable.
install(TARGETS vosyncloc_library EXPORT vosyncloc-targets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
        COMPONENT lib NAMELINK_COMPONENT dev EXCLUDE_FROM_ALL
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${library_source_dir}/vosyncloc.h ${library_source_dir}/vosyncloc.hpp
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vosyncloc COMPONENT dev EXCLUDE_FROM_ALL)

# The CMake package finds everything relative to its own directory, so it can be moved
# with the tree it is installed in.
install(EXPORT vosyncloc-targets NAMESPACE vosyncloc:: FILE vosyncloc-targets.cmake
    DESTINATION ${library_cmake_dir} COMPONENT dev EXCLUDE_FROM_ALL)
configure_package_config_file(${library_source_dir}/vosyncloc-config.cmake.in
    ${library_binary_dir}/vosyncloc-config.cmake INSTALL_DESTINATION ${library_cmake_dir})
write_basic_package_version_file(${library_binary_dir}/vosyncloc-config-version.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${library_binary_dir}/vosyncloc-config.cmake
    ${library_binary_dir}/vosyncloc-config-version.cmake
    DESTINATION ${library_cmake_dir} COMPONENT dev EXCLUDE_FROM_ALL)

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
    COMPONENT dev EXCLUDE_FROM_ALL)
install(FILES ${library_binary_dir}/vosyncloc.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev EXCLUDE_FROM_ALL)

# The manual page vosyncloc(3).
vosyncloc_manpage(3 dev vosyncloc_library EXCLUDE_FROM_ALL)
