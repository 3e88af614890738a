# The warnings that stop a build, for every build of the project with GCC or Clang: the 32-bit
# and the 64-bit Windows builds, the 64-bit helper's own build, and the host builds.
#
# Format strings: a printf-style call whose arguments do not match its format reads past them
# or prints garbage, and a format that is not a literal is an attacker's format. The -Werror=
# options come before -Wformat=2, because -Werror=format alone would set the level back to 1.
#
# Function casts: an entry point found by name (GetProcAddress) and cast straight to a function
# type of the wrong signature is a corrupted stack at the first call. -Wcast-function-type
# catches a cast between function types with different parameters or results; a cast that is
# meant goes through void (*)() first. GCC does not compare calling conventions in that check,
# but converting between them without a cast is already an error in C++.
if(MSVC)
    return()
endif()
add_compile_options(
    -Werror=format -Werror=format-security -Wformat=2
    -Wcast-function-type -Werror=cast-function-type
    # Only C has incompatible pointer types as a warning of its own; for C++ they are errors.
    $<$<COMPILE_LANGUAGE:C>:-Werror=incompatible-pointer-types>)
