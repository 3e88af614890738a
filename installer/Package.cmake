# Run by installer/CMakeLists.txt in script mode (cmake -P) once the distribution folder is built.
#   MODE=files  writes OUT, the setup's lists of the folder's files (Setting.ini aside: the setup
#               keeps an earlier one), as the macros InstallFiles and RemoveFilesFrom <folder>
#   MODE=zip    writes OUT, a zip of the folder under its own name
#   MODE=wxs    writes OUT, the MSI's components (one per file of the folder, Setting.ini among
#               them; the Start-menu shortcut goes with Vantaro.exe) and their feature, for
#               msi/Vantaro.wxs; WIN64 says whether they are 64-bit components, and the
#               files are named relative to RELATIVE_TO (wixl takes no absolute source path)
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
elseif(MODE STREQUAL "wxs")
    set(components "")
    set(refs "")
    foreach(file IN LISTS files)
        if(IS_DIRECTORY "${DIST}/${file}")
            continue()
        endif()
        set(shortcut "")
        if(file STREQUAL "Vantaro.exe")
            set(shortcut "\n        <Shortcut Id=\"StartMenuLink\" Directory=\"ProgramMenuFolder\" Name=\"Vantaro\" Target=\"[INSTALLDIR]Vantaro.exe\" WorkingDirectory=\"INSTALLDIR\"/>")
        endif()
        file(RELATIVE_PATH source "${RELATIVE_TO}" "${DIST}/${file}")
        # A table key holds letters, digits, '_' and '.' only.
        string(REGEX REPLACE "[^A-Za-z0-9_.]" "_" id "${file}")
        string(APPEND components "      <Component Id=\"${id}\" Guid=\"*\" Win64=\"${WIN64}\">\n"
               "        <File Id=\"${id}\" Name=\"${file}\" Source=\"${source}\" KeyPath=\"yes\"/>${shortcut}\n"
               "      </Component>\n")
        string(APPEND refs "      <ComponentRef Id=\"${id}\"/>\n")
    endforeach()
    file(WRITE "${OUT}" "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Include>\n"
         "  <DirectoryRef Id=\"INSTALLDIR\">\n${components}  </DirectoryRef>\n"
         "  <Feature Id=\"Vantaro\" Level=\"1\">\n${refs}  </Feature>\n</Include>\n")
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
