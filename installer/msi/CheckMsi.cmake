# The test of an MSI package's tables (installer/msi/CMakeLists.txt), read back with msiinfo:
# the product, the upgrade rows, the files of the distribution folder, the 64-bit components of
# the x64 package only, and the custom actions in their places. It runs for the x86 package too,
# which a machine without 32-bit code cannot install.
cmake_minimum_required(VERSION 3.21)

function(table name out)
    execute_process(COMMAND ${MSIINFO} export ${MSI} ${name} OUTPUT_VARIABLE rows RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${MSI} has no ${name} table")
    endif()
    set(${out} "${rows}" PARENT_SCOPE)
endfunction()

function(expect rows pattern what)
    if(NOT rows MATCHES "${pattern}")
        message(FATAL_ERROR "${what}: no row matches ${pattern} in\n${rows}")
    endif()
endfunction()

table(Property property)
expect("${property}" "\nProductName\tVantaro\r?\n" "the product's name")
expect("${property}" "\nManufacturer\tVantaro\r?\n" "the publisher")
expect("${property}" "\nProductVersion\t${VERSION}\r?\n" "the version")
expect("${property}" "\nUpgradeCode\t{3F2A9C64-8B1D-4E7A-A5C2-6D0E4B9F1C37}\r?\n" "the upgrade code never changes")
expect("${property}" "\nARPPRODUCTICON\tVantaroIcon\r?\n" "the uninstall entry's icon")
table(Upgrade upgrade)
expect("${upgrade}" "\t0\\.0\\.0\t[0-9.]+\t\t256\t\tEARLIERVANTARO" "earlier versions are replaced")
expect("${upgrade}" "\t${VERSION}\t\t\t2\t\tNEWERVANTARO" "a newer version is only detected")

table(File files)
file(GLOB dist RELATIVE "${DIST}" "${DIST}/*")
list(FILTER dist EXCLUDE REGEX "^Vantaro\\.log")
foreach(name IN LISTS dist)
    string(REGEX REPLACE "[^A-Za-z0-9_.]" "_" id "${name}")
    string(REPLACE "." "\\." name "${name}")
    string(REPLACE "." "\\." id "${id}")
    expect("${files}" "\n${id}\t${id}\t${name}\t" "every file of the folder is installed")
endforeach()
table(Component components)
if(MSI MATCHES "-x64\\.msi$")
    expect("${components}" "\tINSTALLDIR\t256\t" "the x64 package's components are 64-bit")
elseif(components MATCHES "\tINSTALLDIR\t256\t")
    message(FATAL_ERROR "the x86 package has 64-bit components:\n${components}")
endif()

table(InstallExecuteSequence sequence)
foreach(row "CheckInstall\tNOT REMOVE\t1010" "CheckRemoval\tREMOVE~=\"ALL\"\t1011" "RemoveExistingProducts\t\t1510"
            "RemoveWhatVantaroMade\tREMOVE~=\"ALL\"\t1520" "UndoPrepareInstall\tNOT REMOVE\t3985"
            "PrepareInstall\tNOT REMOVE\t3990" "WriteSettings\tNOT REMOVE\t4010" "FinishInstall\tNOT REMOVE\t6580"
            "InstallModem\tNOT REMOVE\t6590")
    expect("${sequence}" "${row}" "the execute sequence")
endforeach()
# A rollback and a commit action, as SYSTEM, their answers ignored (wixl writes neither kind).
table(CustomAction actions)
expect("${actions}" "
UndoPrepareInstall	3393	" "the setup's install comes back on a rollback")
expect("${actions}" "
FinishInstall	3649	" "what was replaced goes only at the commit")
message(STATUS "${MSI}: tables as expected")
