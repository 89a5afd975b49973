# Debian's hardening flags: the ones dpkg-buildflags gives a package built
# with every hardening feature on (fortified glibc functions, the stack
# protector, format string checks, full RELRO with immediate binding;
# Debian's compiler makes position-independent executables by default) and
# the map that keeps the build's own path out of the binaries.
#
# The build type keeps choosing the optimisation level and debug
# information, so dpkg's -O2 and -g are left out. Debug builds take the rest
# but for two flags: fortification needs an optimising compiler (glibc warns
# in every file otherwise), and the debugger and the sanitizers' reports
# want the sources' full paths.
#
#     include(DebianHardening)   after vaskur_flags is defined: the flags go
#                                onto that interface target

option(VASKUR_HARDENING "Compile and link with Debian's hardening flags" ON)

find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT VASKUR_HARDENING OR VASKUR_FUZZ)
    return()
endif()
if(NOT DPKG_BUILDFLAGS)
    message(STATUS "dpkg-buildflags not found (package dpkg-dev): no hardening flags")
    return()
endif()

# dpkg_flags(VAR NAME): the flags dpkg-buildflags gives for NAME, as a list.
function(dpkg_flags var name)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${DPKG_BUILDFLAGS} --get ${name}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE flags
        OUTPUT_STRIP_TRAILING_WHITESPACE
        COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(g|O.*)$")
    set(${var} ${flags} PARENT_SCOPE)
endfunction()

dpkg_flags(VASKUR_HARDENING_CPPFLAGS CPPFLAGS)
dpkg_flags(VASKUR_HARDENING_CXXFLAGS CXXFLAGS)
dpkg_flags(VASKUR_HARDENING_LDFLAGS LDFLAGS)

foreach(flag ${VASKUR_HARDENING_CPPFLAGS} ${VASKUR_HARDENING_CXXFLAGS})
    if(flag MATCHES "^-D_FORTIFY_SOURCE|^-ffile-prefix-map")
        target_compile_options(vaskur_flags INTERFACE "$<$<NOT:$<CONFIG:Debug>>:${flag}>")
    else()
        target_compile_options(vaskur_flags INTERFACE ${flag})
    endif()
endforeach()
target_link_options(vaskur_flags INTERFACE ${VASKUR_HARDENING_LDFLAGS})
set(all ${VASKUR_HARDENING_CPPFLAGS} ${VASKUR_HARDENING_CXXFLAGS} ${VASKUR_HARDENING_LDFLAGS})
list(JOIN all " " all)
message(STATUS "Hardening flags: ${all}")
