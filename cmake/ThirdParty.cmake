# The record store (SQLite) and the PDF writer (libharu), as SQLite::SQLite3
# and Hpdf::Hpdf in both builds. Linux takes Debian's packages; the Windows
# build compiles both from Debian's source packages, which
# cmake/fetch-debian-sources.sh unpacks (./build.sh windows runs it).
if(NOT CMAKE_CROSSCOMPILING)
    find_package(SQLite3)
    if(NOT SQLite3_FOUND)
        message(FATAL_ERROR "SQLite is missing: apt-get install libsqlite3-dev")
    endif()
    list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
    find_package(Hpdf)
    if(NOT Hpdf_FOUND)
        message(FATAL_ERROR "libharu is missing: apt-get install libhpdf-dev")
    endif()
    return()
endif()

enable_language(C)
set(QUILLET_DEBIAN_SOURCES ${PROJECT_SOURCE_DIR}/build/sources
    CACHE PATH "Where cmake/fetch-debian-sources.sh unpacked Debian's source packages")
foreach(package sqlite3 libharu)
    if(NOT EXISTS ${QUILLET_DEBIAN_SOURCES}/${package}/.debian-source-version)
        message(FATAL_ERROR "Debian's ${package} source package is not in ${QUILLET_DEBIAN_SOURCES}: "
                            "run cmake/fetch-debian-sources.sh (./build.sh windows does)")
    endif()
endforeach()

# Someone else's C: none of our warning flags, and none of its warnings
# shown; -ffp-contract=off stays, as everywhere. -O2, as Debian compiles
# the Linux build's libraries, rather than our -O3.
# Their headers are SYSTEM headers to us, so our -Werror never trips on them.
function(quillet_third_party_flags target)
    set_target_properties(${target} PROPERTIES COMPILE_OPTIONS "-ffp-contract=off;-w;-O2")
endfunction()

# SQLite: its single-file form, made on the build machine from Debian's
# tree (which has no such file) and compiled once with the cross compiler.
# SQLITE_THREADSAFE=1 is also SQLite's and Debian's default: every connection
# is safe to share between threads. Loading extensions is left out, as we
# load none and an .exe should not load code from a file it is handed.
# Foreign keys stay off by default, as in Debian's library: whoever opens
# the database switches them on, so both builds behave alike.
set(sqlite_tree ${QUILLET_DEBIAN_SOURCES}/sqlite3)
set(amalgamation ${CMAKE_BINARY_DIR}/sqlite-amalgamation)
add_custom_command(
    OUTPUT ${amalgamation}/sqlite3.c ${amalgamation}/sqlite3.h
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/make-sqlite-amalgamation.sh ${sqlite_tree} ${amalgamation}
    DEPENDS ${sqlite_tree}/.debian-source-version ${CMAKE_CURRENT_LIST_DIR}/make-sqlite-amalgamation.sh
    COMMENT "Making SQLite's single-file source from Debian's sqlite3 source package"
    VERBATIM)
add_library(quillet_sqlite3 STATIC ${amalgamation}/sqlite3.c ${amalgamation}/sqlite3.h)
target_compile_definitions(quillet_sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION)
target_include_directories(quillet_sqlite3 SYSTEM INTERFACE ${amalgamation})
quillet_third_party_flags(quillet_sqlite3)
add_library(SQLite::SQLite3 ALIAS quillet_sqlite3)

# libharu: every file of its src/, against Debian's static zlib for MinGW
# (libz-mingw-w64-dev), without PNG images.
set(haru_tree ${QUILLET_DEBIAN_SOURCES}/libharu)
find_library(MINGW_ZLIB NAMES libz.a)
if(NOT MINGW_ZLIB)
    message(FATAL_ERROR "MinGW's static zlib is missing: apt-get install libz-mingw-w64-dev")
endif()
set(LIBHPDF_HAVE_LIBZ 1)
set(LIBHPDF_HAVE_NOPNGLIB 1)
set(HPDF_NOPNGLIB 1)
foreach(header STDINT STDLIB STRING SYS_STAT SYS_TYPES)
    set(LIBHPDF_HAVE_${header}_H 1)
endforeach()
set(haru_generated ${CMAKE_BINARY_DIR}/libharu-include)
configure_file(${haru_tree}/include/hpdf_config.h.cmake ${haru_generated}/hpdf_config.h)
file(GLOB haru_sources CONFIGURE_DEPENDS ${haru_tree}/src/hpdf_*.c)
add_library(quillet_hpdf STATIC ${haru_sources})
target_include_directories(quillet_hpdf SYSTEM PUBLIC ${haru_tree}/include ${haru_generated})
target_link_libraries(quillet_hpdf PRIVATE ${MINGW_ZLIB})
quillet_third_party_flags(quillet_hpdf)
add_library(Hpdf::Hpdf ALIAS quillet_hpdf)
