# The same source gives the same bytes, wherever it is built and whenever.
#
# No build path: file names the compiler writes (__FILE__, debug information) are
# made relative to the source tree and the build tree. A Debug build
# keeps absolute paths, so that a debugger finds the sources from anywhere.
# No build time: -Wdate-time warns about __DATE__ and __TIME__.
# The package's time stamps come from SOURCE_DATE_EPOCH (packaging/packaging.cmake).
add_compile_options(-Wdate-time)

set(vosyncloc_release "$<NOT:$<CONFIG:Debug>>")
add_compile_options("$<${vosyncloc_release}:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>")
# Given after the source tree's, the build tree's mapping wins for a build tree inside
# the source tree too, so that its name ("./build-test") stays out as well: the debug
# information names the directory each file was compiled in.
add_compile_options("$<${vosyncloc_release}:-ffile-prefix-map=${PROJECT_BINARY_DIR}=build>")
# Nor are the compiler's options recorded in the debug information: they name both
# trees, and options that do not change the code (-Werror) would change the bytes.
add_compile_options("$<${vosyncloc_release}:-gno-record-gcc-switches>")
