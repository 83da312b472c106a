# Debian's hardening set, the flags `dpkg-buildflags` gives with
# DEB_BUILD_MAINT_OPTIONS=hardening=+all, for g++ and clang++ alike:
#   fortified libc calls, the strong stack protector, format-security as an error,
#   read-only relocations bound at start (RELRO + BIND_NOW), a position-independent
#   executable, stack-clash protection and control-flow protection where the
#   compiler has them.
# Sanitized and fuzzing builds are left alone: AddressSanitizer intercepts the libc
# calls that fortification would replace, and those builds are never shipped.
#
# Sets VOSYNCLOC_HARDENED when the whole set is applied to an optimised build, the
# configuration the package ships and the hardening and lintian tests check.
option(VOSYNCLOC_HARDENING
       "Build with Debian's hardening flags (not in sanitized or fuzzing builds)" ON)

set(VOSYNCLOC_HARDENED OFF)
if(NOT VOSYNCLOC_HARDENING OR VOSYNCLOC_SANITIZE OR VOSYNCLOC_FUZZ)
    return()
endif()

include(CheckCompilerFlag)

add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)

# glibc fortifies only optimised code and warns otherwise, so a Debug build goes
# without. A toolchain that defines the macro itself gets Debian's level instead of a
# redefinition warning.
if(CMAKE_BUILD_TYPE STREQUAL "Debug")
    message(STATUS "Hardening: no _FORTIFY_SOURCE in a Debug build")
else()
    add_compile_options(-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2)
    set(VOSYNCLOC_HARDENED ON)
endif()

# The linker marks a binary as control-flow protected only when every object in it is;
# Debian 12's static C++ runtime and Boost are not, so hardening-check reports no
# control-flow integrity for the tool although its own code carries the protection.
foreach(flag -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "VOSYNCLOC_HAVE${flag}" have)
    check_compiler_flag(CXX ${flag} ${have})
    if(${have})
        add_compile_options(${flag})
    endif()
endforeach()

# Position-independent code everywhere but where position independence is asked for
# (shared libraries, POSITION_INDEPENDENT_CODE): there CMake's -fPIC, or -fPIE for a
# program, must stay the last word.
set(vosyncloc_pic_asked
    "$<OR:$<BOOL:$<TARGET_PROPERTY:POSITION_INDEPENDENT_CODE>>,$<STREQUAL:$<TARGET_PROPERTY:TYPE>,SHARED_LIBRARY>,$<STREQUAL:$<TARGET_PROPERTY:TYPE>,MODULE_LIBRARY>>")
add_compile_options("$<$<NOT:${vosyncloc_pic_asked}>:-fPIE>")
# -fPIE at the link too, as dpkg-buildflags gives it, so that blhc finds it on every line.
add_link_options("$<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:-fPIE>"
                 "$<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:-pie>")

add_link_options(-Wl,-z,relro -Wl,-z,now)
