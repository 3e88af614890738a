# Run by installer/CMakeLists.txt in script mode (cmake -P) once the distribution folder is built.
#   MODE=files  writes OUT, the setup's lists of the folder's files (Setting.ini aside: the setup
#               keeps an earlier one), as the macros InstallFiles and RemoveFilesFrom <folder>
#   MODE=zip    writes OUT, a zip of the folder under its own name
# What the program writes beside itself at run time (Vantaro.log, Vantaro.log.1) is left out.
cmake_minimum_required(VERSION 3.21)

get_filename_component(dist_name "${DIST}" NAME)
get_filename_component(dist_parent "${DIST}" DIRECTORY)
file(GLOB files RELATIVE "${DIST}" "${DIST}/*")
list(FILTER files EXCLUDE REGEX "^Vantaro\\.log")
list(SORT files)

if(MODE STREQUAL "files")
    set(install "!macro InstallFiles\n")
    set(remove "!macro RemoveFilesFrom FOLDER\n")
    foreach(file IN LISTS files)
        if(IS_DIRECTORY "${DIST}/${file}" OR file STREQUAL "Setting.ini")
            continue()
        endif()
        string(APPEND install "  File \"${DIST}/${file}\"\n")
        string(APPEND remove "  Delete \"\${FOLDER}\\${file}\"\n")
    endforeach()
    file(WRITE "${OUT}" "${install}!macroend\n${remove}!macroend\n")
elseif(MODE STREQUAL "zip")
    set(paths "")
    foreach(file IN LISTS files)
        list(APPEND paths "${dist_name}/${file}")
    endforeach()
    file(REMOVE "${OUT}")
    execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf "${OUT}" --format=zip -- ${paths}
                    WORKING_DIRECTORY "${dist_parent}" RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "the zip of ${DIST} could not be made")
    endif()
else()
    message(FATAL_ERROR "MODE is files or zip")
endif()
