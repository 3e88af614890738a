# Test helpers shared by every folder.
#
# Unit tests are portable: they build for the host (with the sanitizers) and for Windows, where
# CTest runs them under Wine through CMAKE_CROSSCOMPILING_EMULATOR. Windows-only tests (against
# Wine's real services, or driving the real exe) use vantaro_add_windows_test.

if(NOT VANTARO_TESTS)
    return()
endif()

enable_testing()

if(NOT TARGET gtest)
    set(VANTARO_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian's googletest package)")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(${VANTARO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

include(GoogleTest)

# Every Windows test needs the Wine prefix and the X display; host tests need neither.
set(VANTARO_WINE_FIXTURE wine_session)

# Each case of a Windows test program is also a CTest entry of its own, named Suite.Case, so
# that `ctest --preset windows64 -R RedialPolicy` runs the cases it names. The Windows presets
# choose the programs (every program's entry begins with a lower-case label and a dot); a -R on
# the command line takes the place of that choice, and the programs' snake_case names do not
# match a suite's name. The cases are read from the sources, as GoogleTest's macros declare
# them; a parameterised case runs with all its parameters. Listing the cases from the programs
# instead would start Wine at build time.
function(vantaro_add_case_entries)
    cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "SOURCES;COMMAND;ENVIRONMENT" ${ARGN})
    foreach(source ${ARG_SOURCES})
        get_filename_component(path ${source} ABSOLUTE)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
        file(READ ${path} text)
        string(REGEX MATCHALL "(TEST|TEST_F|TEST_P)\\([ \t\r\n]*[A-Za-z0-9_]+,[ \t\r\n]*[A-Za-z0-9_]+[ \t\r\n]*\\)"
               declarations "${text}")
        foreach(declaration ${declarations})
            string(REGEX REPLACE "^[A-Z_]+\\([ \t\r\n]*([A-Za-z0-9_]+),[ \t\r\n]*([A-Za-z0-9_]+).*" "\\1.\\2" case "${declaration}")
            if(case MATCHES "(^|\\.)DISABLED_")
                continue()
            endif()
            add_test(NAME ${case} COMMAND ${ARG_COMMAND} --gtest_brief=1 "--gtest_filter=${case}:*/${case}/*")
            set_tests_properties(${case} PROPERTIES
                FIXTURES_REQUIRED ${VANTARO_WINE_FIXTURE}
                LABELS "case;${ARG_LABEL}"
                TIMEOUT ${ARG_TIMEOUT}
                ENVIRONMENT "${ARG_ENVIRONMENT}")
        endforeach()
    endforeach()
endfunction()

function(vantaro_add_unit_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} gmock gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    if(CMAKE_CROSSCOMPILING)
        # One CTest entry per program: discovering the cases would start Wine at build time.
        add_test(NAME win.${name} COMMAND ${name} --gtest_brief=1)
        set_tests_properties(win.${name} PROPERTIES FIXTURES_REQUIRED ${VANTARO_WINE_FIXTURE} LABELS "windows;unit")
        vantaro_add_case_entries(SOURCES ${ARG_SOURCES} COMMAND ${name} LABEL unit TIMEOUT 300)
    else()
        gtest_discover_tests(${name} TEST_PREFIX "host." PROPERTIES LABELS "host;unit")
    endif()
endfunction()

# The locale of a Chinese Windows: code page 936, and Wine renders Chinese only in a Chinese
# locale with a CJK font.
set(VANTARO_CHINESE_LOCALE zh_CN.UTF-8)
function(vantaro_locale_environment variable locale)
    set(${variable} "LANG=${locale};LC_ALL=${locale}" PARENT_SCOPE)
endfunction()

# A GoogleTest program that only makes sense on Windows (under Wine here). LOCALE runs it in
# that locale (e.g. ${VANTARO_CHINESE_LOCALE}). WRAPPER is a host command that runs the program
# under Wine itself, given the emulator and the program as its last arguments (the simulated
# phones start that way).
function(vantaro_add_windows_test name)
    cmake_parse_arguments(ARG "" "LABEL;TIMEOUT;LOCALE" "SOURCES;LIBRARIES;WRAPPER" ${ARGN})
    if(NOT WIN32)
        return()
    endif()
    if(NOT ARG_LABEL)
        set(ARG_LABEL platform)
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 240)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} gmock gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    set(environment "VANTARO_DIST=${VANTARO_DIST_DIR};VANTARO_PNPAGENT=${VANTARO_PNPAGENT_DIR};VANTARO_WORK=${CMAKE_BINARY_DIR}/test-work;VANTARO_ARTIFACTS=${CMAKE_BINARY_DIR}/artifacts")
    if(ARG_LOCALE)
        vantaro_locale_environment(locale ${ARG_LOCALE})
        list(APPEND environment ${locale})
    endif()
    if(ARG_WRAPPER)
        set(command ${ARG_WRAPPER} ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
    else()
        set(command ${name})
    endif()
    add_test(NAME ${ARG_LABEL}.${name} COMMAND ${command} --gtest_brief=1)
    vantaro_add_case_entries(SOURCES ${ARG_SOURCES} COMMAND ${command} LABEL ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT ${environment})
    set_tests_properties(${ARG_LABEL}.${name} PROPERTIES
        FIXTURES_REQUIRED ${VANTARO_WINE_FIXTURE}
        LABELS "windows;${ARG_LABEL}"
        TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "${environment}")
endfunction()
