# SPDX-FileCopyrightText: 2026 The Zelvorin developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Settings every target of the project shares: warnings, no contextless connects, C++20.
function(zelvorin_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    target_compile_definitions(${target} PRIVATE QT_NO_CONTEXTLESS_CONNECT)
endfunction()

# zelvorin_add_library(<name> SOURCES <files...> LIBS <targets...>)
function(zelvorin_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    zelvorin_target_defaults(${name})
endfunction()

# zelvorin_add_test(<name> SOURCES <files...> LIBS <targets...> [WEB])
# Each test gets its own temporary home, config and data folders from the test
# support library; WEB marks tests that start the web engine (serialised: two engines
# at once on a 2-core machine only slow each other down).
function(zelvorin_add_test name)
    cmake_parse_arguments(ARG "WEB" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE zelvorin_test_support Qt6::Test ${ARG_LIBS})
    zelvorin_target_defaults(${name})
    add_test(NAME ${name} COMMAND ${name})
    set(env "QT_QPA_PLATFORM=offscreen" "ZELVORIN_PROGRAM_DIR=${ZELVORIN_PROGRAM_DIR}"
            "ZELVORIN_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}")
    if(ARG_TIMEOUT)
        set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
    else()
        set_tests_properties(${name} PROPERTIES TIMEOUT 300)
    endif()
    if(ARG_WEB)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK webengine)
    endif()
endfunction()
