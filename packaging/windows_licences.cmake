# The licences of what the Windows packages ship, in a folder "licences" beside
# the program: trelliwick's own, and for Qt, ICU, Highway (built into the program)
# and the runtime of the compiler, the copyright file of the Debian source package
# each was built from, which names the licence of every part of it, with the full
# texts that those files refer to, and Qt's source offer.
get_filename_component(qt_prefix "${QT6_INSTALL_PREFIX}" ABSOLUTE)
get_filename_component(icu_prefix "${ICU_INCLUDE_DIR}/.." ABSOLUTE)
get_filename_component(highway_prefix "${HWY_INCLUDE_DIR}/.." ABSOLUTE)
file(GLOB icu_licence "${icu_prefix}/share/icu/*/LICENSE")
set(licences
    "trelliwick.txt=${CMAKE_CURRENT_BINARY_DIR}/copyright"
    "Qt.txt=${qt_prefix}/share/doc/qt6-base/copyright"
    "ICU.txt=${icu_prefix}/share/doc/icu/copyright"
    "ICU licence.txt=${icu_licence}"
    "Highway.txt=${highway_prefix}/share/doc/highway/copyright"
    "GCC runtime.txt=/usr/share/doc/gcc-mingw-w64-base/copyright"
    "mingw-w64 runtime.txt=/usr/share/doc/mingw-w64-x86-64-dev/copyright"
    "GPL-3.0.txt=/usr/share/common-licenses/GPL-3"
    "LGPL-3.0.txt=/usr/share/common-licenses/LGPL-3"
    "Apache-2.0.txt=/usr/share/common-licenses/Apache-2.0"
)
foreach(entry IN LISTS licences)
    string(REGEX MATCH "^([^=]+)=(.*)$" matched "${entry}")
    if(NOT EXISTS "${CMAKE_MATCH_2}")
        message(FATAL_ERROR "No ${CMAKE_MATCH_2}: the licence ${CMAKE_MATCH_1} cannot be shipped")
    endif()
    install(FILES "${CMAKE_MATCH_2}" DESTINATION licences RENAME "${CMAKE_MATCH_1}")
endforeach()

# Which Debian source package Qt was built from, for the offer of its source.
file(STRINGS "${qt_prefix}/share/doc/qt6-base/source-package" TRELLIWICK_QT_SOURCE_PACKAGE
     LIMIT_COUNT 1)
configure_file(qt_source_offer.txt.in qt_source_offer.txt @ONLY)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/qt_source_offer.txt" DESTINATION licences
        RENAME "Qt source.txt")
