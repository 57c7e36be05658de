# cmake -DBUILD_DIR=build -DSCRATCH=dir -DVERSION=1.00 -P installed_layout_test.cmake
#
# Installs the build into a scratch root with DESTDIR, and then makes the Debian
# package and unpacks it into another: in both, the program and its word list lie
# side by side, a link in games leads to the program, and the icon, the desktop
# entry, the metadata, the manual page, the copyright file and the changelog are
# where desktops and Debian look, and nothing else is installed. The desktop entry
# and the metadata validate, and lintian finds nothing wrong with the package.

function(fail message)
    message(FATAL_ERROR "${message}")
endfunction()

# Runs a checker, which must exit 0 and print nothing but `allowed`.
function(check name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "ALLOWED" "COMMAND")
    execute_process(COMMAND ${arg_COMMAND} RESULT_VARIABLE result OUTPUT_VARIABLE output
                    ERROR_VARIABLE output)
    if(arg_ALLOWED)
        string(REGEX REPLACE "${arg_ALLOWED}" "" output "${output}")
    endif()
    string(STRIP "${output}" output)
    if(result OR output)
        fail("${name} found fault:\n${output}")
    endif()
endfunction()

function(check_layout root)
    file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${root}" "${root}/*")
    list(SORT installed)
    set(expected
        usr/games/trelliwick
        usr/lib/games/trelliwick/abc.txt
        usr/lib/games/trelliwick/trelliwick
        usr/share/applications/org.trelliwick.trelliwick.desktop
        usr/share/doc/trelliwick/changelog.gz
        usr/share/doc/trelliwick/copyright)
    foreach(size 128 16 24 256 32 48 64)
        list(APPEND expected usr/share/icons/hicolor/${size}x${size}/apps/trelliwick.png)
    endforeach()
    list(APPEND expected
        usr/share/icons/hicolor/scalable/apps/trelliwick.svg
        usr/share/man/man6/trelliwick.6.gz
        usr/share/metainfo/org.trelliwick.trelliwick.metainfo.xml)
    if(NOT installed STREQUAL expected)
        fail("${root} holds [${installed}], not [${expected}]")
    endif()
    if(NOT IS_SYMLINK "${root}/usr/games/trelliwick")
        fail("${root}/usr/games/trelliwick is not a link")
    endif()
    file(REAL_PATH "${root}/usr/games/trelliwick" program)
    file(REAL_PATH "${root}/usr/lib/games/trelliwick/trelliwick" expected_program)
    if(NOT program STREQUAL expected_program)
        fail("usr/games/trelliwick leads to ${program}")
    endif()
    # The program uses the system's libraries where the system finds them: a search
    # path of its own would have it look first in folders that no package owns.
    execute_process(COMMAND readelf --dynamic "${root}/usr/lib/games/trelliwick/trelliwick"
                    RESULT_VARIABLE result OUTPUT_VARIABLE dynamic)
    if(result)
        fail("readelf cannot read ${root}/usr/lib/games/trelliwick/trelliwick")
    elseif(dynamic MATCHES "\\((RPATH|RUNPATH)\\)[^\n]*")
        fail("the program has a library search path: ${CMAKE_MATCH_0}")
    endif()
    # Read as hex: reading text would drop the CRs.
    file(READ "${root}/usr/lib/games/trelliwick/abc.txt" head LIMIT 200 HEX)
    set(letter "(6[1-9a-f]|7[0-9a])")
    if(NOT head MATCHES "^${letter}+0d0a${letter}+0d0a")
        fail("abc.txt does not start with lower-case words on CRLF lines")
    endif()
    file(READ "${root}/usr/share/metainfo/org.trelliwick.trelliwick.metainfo.xml" metadata)
    if(NOT metadata MATCHES "<release version=\"${VERSION}\"")
        fail("the metadata does not give the release ${VERSION}")
    endif()
    check(desktop-file-validate
          COMMAND desktop-file-validate
                  "${root}/usr/share/applications/org.trelliwick.trelliwick.desktop")
    check(appstreamcli
          COMMAND appstreamcli validate --no-net --pedantic
                  "${root}/usr/share/metainfo/org.trelliwick.trelliwick.metainfo.xml"
          ALLOWED "(✔ )?Validation was successful[^\n]*")
endfunction()

file(REMOVE_RECURSE "${SCRATCH}")

execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${SCRATCH}/root
            ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
    RESULT_VARIABLE result OUTPUT_QUIET)
if(result)
    fail("cmake --install failed")
endif()
check_layout("${SCRATCH}/root")

execute_process(
    COMMAND cpack --config ${BUILD_DIR}/CPackConfig.cmake -G DEB -B ${SCRATCH}/package
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(GLOB package "${SCRATCH}/package/*.deb")
if(result OR NOT package)
    fail("cpack made no package:\n${output}")
endif()
get_filename_component(package_name "${package}" NAME)
if(NOT package_name STREQUAL "trelliwick_${VERSION}_amd64.deb" AND
   NOT package_name MATCHES "^trelliwick_${VERSION}_[a-z0-9]+\\.deb$")
    fail("the package is named ${package_name}")
endif()
execute_process(COMMAND dpkg-deb -x ${package} ${SCRATCH}/package-root RESULT_VARIABLE result)
if(result)
    fail("dpkg-deb could not unpack ${package}")
endif()
check_layout("${SCRATCH}/package-root")

execute_process(COMMAND dpkg-deb -f ${package} Package Version Section Depends
                OUTPUT_VARIABLE fields)
if(NOT fields MATCHES "Package: trelliwick\nVersion: ${VERSION}\nSection: games\n" OR
   NOT fields MATCHES "libqt6widgets6" OR NOT fields MATCHES "libicu")
    fail("the package's fields are wrong:\n${fields}")
endif()

# Errors and warnings only: lintian's notes for information pass. As root it says so.
check(lintian COMMAND lintian --tag-display-limit 0 --fail-on error,warning ${package}
      ALLOWED "running with root privileges is not recommended!\n?|[IPX]: [^\n]*\n?")
