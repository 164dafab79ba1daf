# SPDX-FileCopyrightText: 2026 The Zelvorin developers
# SPDX-License-Identifier: GPL-3.0-or-later

# The distribution's hardening, as its packages are built: the compiler and linker flags that
# dpkg-buildflags gives on the building machine with every hardening feature on (stack
# protector, fortified C library calls, read-only relocations bound at start). Optimisation
# and debug information stay the build type's; fortified calls need optimisation, so a Debug
# build goes without them. A machine without dpkg-buildflags builds without.
option(ZELVORIN_HARDENING "Build with the distribution's hardening flags" ON)
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(ZELVORIN_HARDENING AND DPKG_BUILDFLAGS)
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
        execute_process(
            COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                    ${DPKG_BUILDFLAGS} --get ${kind}
            OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
        separate_arguments(flags UNIX_COMMAND "${flags}")
        # The prefix maps name the folder dpkg-buildflags ran in, not this source tree.
        list(FILTER flags EXCLUDE REGEX "^-(g|O.*|f[a-z]*-prefix-map=.*)$")
        foreach(flag IN LISTS flags)
            if(kind STREQUAL LDFLAGS)
                add_link_options(${flag})
            elseif(kind STREQUAL CPPFLAGS)
                add_compile_options($<$<NOT:$<CONFIG:Debug>>:${flag}>)
            else()
                add_compile_options(${flag})
            endif()
        endforeach()
    endforeach()
    message(STATUS "Hardening flags of dpkg-buildflags: on")
endif()
