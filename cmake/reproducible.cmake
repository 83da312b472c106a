# The same source gives the same bytes, wherever it is built and whenever.
#
# No build path: file names the compiler writes (__FILE__, debug information) are
# made relative to the source tree, and to a build tree outside it. A Debug build
# keeps absolute paths, so that a debugger finds the sources from anywhere.
# No build time: -Wdate-time warns about __DATE__ and __TIME__.
# The package's time stamps come from SOURCE_DATE_EPOCH (packaging/packaging.cmake).
add_compile_options(-Wdate-time)

set(vosyncloc_release "$<NOT:$<CONFIG:Debug>>")
add_compile_options("$<${vosyncloc_release}:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>")
cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${PROJECT_BINARY_DIR}" NORMALIZE vosyncloc_build_inside)
if(NOT vosyncloc_build_inside)
    add_compile_options("$<${vosyncloc_release}:-ffile-prefix-map=${PROJECT_BINARY_DIR}=build>")
endif()
