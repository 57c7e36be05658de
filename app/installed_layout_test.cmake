# cmake -DBUILD_DIR=build -DSCRATCH=dir -P installed_layout_test.cmake
#
# Installs the build into a scratch root with DESTDIR, and then makes the Debian
# package and unpacks it into another: in both, the program and its word list
# lie side by side, a link in bin leads to the program, a desktop entry lists it,
# and nothing else is installed. The package depends on Qt's widgets and on ICU.

function(fail message)
    message(FATAL_ERROR "${message}")
endfunction()

function(require_line text line)
    string(FIND "${text}" "\n${line}\n" found)
    if(found EQUAL -1)
        fail("the desktop entry lacks ${line}")
    endif()
endfunction()

function(check_layout root)
    file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${root}" "${root}/*")
    list(SORT installed)
    set(expected usr/bin/trelliwick usr/lib/trelliwick/abc.txt usr/lib/trelliwick/trelliwick
                 usr/share/applications/trelliwick.desktop)
    if(NOT installed STREQUAL expected)
        fail("${root} holds [${installed}], not [${expected}]")
    endif()
    if(NOT IS_SYMLINK "${root}/usr/bin/trelliwick")
        fail("${root}/usr/bin/trelliwick is not a link")
    endif()
    file(REAL_PATH "${root}/usr/bin/trelliwick" program)
    file(REAL_PATH "${root}/usr/lib/trelliwick/trelliwick" expected_program)
    if(NOT program STREQUAL expected_program)
        fail("usr/bin/trelliwick leads to ${program}")
    endif()
    # Read as hex: reading text would drop the CRs.
    file(READ "${root}/usr/lib/trelliwick/abc.txt" head LIMIT 200 HEX)
    set(letter "(6[1-9a-f]|7[0-9a])")
    if(NOT head MATCHES "^${letter}+0d0a${letter}+0d0a")
        fail("abc.txt does not start with lower-case words on CRLF lines")
    endif()
    file(READ "${root}/usr/share/applications/trelliwick.desktop" entry)
    require_line("${entry}" "Type=Application")
    require_line("${entry}" "Exec=trelliwick")
    require_line("${entry}" "Categories=Game;Utility;")
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
execute_process(COMMAND dpkg-deb -x ${package} ${SCRATCH}/package-root RESULT_VARIABLE result)
if(result)
    fail("dpkg-deb could not unpack ${package}")
endif()
check_layout("${SCRATCH}/package-root")

execute_process(COMMAND dpkg-deb -f ${package} Package Version Depends
                OUTPUT_VARIABLE fields)
if(NOT fields MATCHES "Package: trelliwick\nVersion: 1.00\n" OR
   NOT fields MATCHES "libqt6widgets6" OR NOT fields MATCHES "libicu")
    fail("the package's fields are wrong:\n${fields}")
endif()
