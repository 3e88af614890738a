# vantaro_delay_load(<target> <dll> <import library> <function>...)
#
# Links <target> to those functions of <dll> so that the DLL is loaded at the first call of one
# of them instead of when the program starts. main() restricts the DLL search to the system
# folder first (platform/win32/DllSearch.h), so a DLL of that name beside the program is never
# taken. Each <function> is named as a 32-bit program imports it (name@bytes of arguments); a
# 64-bit build drops the @bytes. Also included by the x86_64 build of pnpagent64.
function(vantaro_delay_load target dll library)
    if(MSVC)
        target_link_libraries(${target} PUBLIC ${library} delayimp)
        target_link_options(${target} PUBLIC /DELAYLOAD:${dll})
        return()
    endif()
    # GNU ld has no /DELAYLOAD: dlltool makes an import library that loads the DLL lazily.
    if(NOT CMAKE_DLLTOOL)
        message(FATAL_ERROR "Delay-loading ${dll} needs binutils' dlltool (CMAKE_DLLTOOL)")
    endif()
    # GNU ld drops an import library's call stubs that no code calls by name (calls go through
    # the __imp_ pointers), but a delay-load's pointer starts out at its stub: each is kept.
    set(definition "LIBRARY ${dll}\nEXPORTS\n")
    foreach(function IN LISTS ARGN)
        if(CMAKE_SIZEOF_VOID_P EQUAL 8)
            string(REGEX REPLACE "@[0-9]+$" "" function "${function}")
            target_link_options(${target} PUBLIC "LINKER:-u,${function}")
        else()
            target_link_options(${target} PUBLIC "LINKER:-u,_${function}")
        endif()
        string(APPEND definition "    ${function}\n")
    endforeach()
    set(def ${CMAKE_CURRENT_BINARY_DIR}/${library}-delay.def)
    set(archive ${CMAKE_CURRENT_BINARY_DIR}/lib${library}-delay.a)
    file(CONFIGURE OUTPUT ${def} CONTENT "${definition}")
    set(killAt)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(killAt --kill-at)  # the DLL exports the names without @bytes
    endif()
    add_custom_command(OUTPUT ${archive}
        COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${dll} ${killAt} --output-delaylib ${archive}
        DEPENDS ${def}
        VERBATIM)
    add_custom_target(${library}_delay_import DEPENDS ${archive})
    add_dependencies(${target} ${library}_delay_import)
    target_link_libraries(${target} PUBLIC ${archive})
endfunction()
