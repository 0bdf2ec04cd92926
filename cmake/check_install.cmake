# Test script (cmake -P): installs the build tree into a scratch DESTDIR under prefix /usr,
# checks that exactly the expected files arrive, and validates the launcher, the AppStream
# metadata, the icons and the manual page with the tools a distribution uses.
# Variables: BUILD_DIR STAGE_DIR BINDIR DATADIR MANDIR DOCDIR APP_ID ICON_SIZES (comma list)
# VERSION

set(prefix /usr)
set(failures 0)

macro(fail message)
    message(SEND_ERROR "${message}")
    math(EXPR failures "${failures} + 1")
endmacro()

# A directory from GNUInstallDirs is relative to the prefix unless it is absolute.
function(staged_path out dir name)
    if(IS_ABSOLUTE "${dir}")
        set(${out} "${dir}/${name}" PARENT_SCOPE)
    else()
        set(${out} "${prefix}/${dir}/${name}" PARENT_SCOPE)
    endif()
endfunction()

file(REMOVE_RECURSE "${STAGE_DIR}")
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE_DIR}
            ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${status}):\n${output}")
endif()

# The file list.
string(REPLACE "," ";" sizes "${ICON_SIZES}")
staged_path(binary "${BINDIR}" ravela)
staged_path(desktop "${DATADIR}" applications/${APP_ID}.desktop)
staged_path(metainfo "${DATADIR}" metainfo/${APP_ID}.metainfo.xml)
staged_path(manpage "${MANDIR}" man6/ravela.6)
staged_path(licence "${DOCDIR}" LICENSE)
set(expected ${binary} ${desktop} ${metainfo} ${manpage} ${licence})
foreach(size IN LISTS sizes)
    staged_path(icon "${DATADIR}" icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
    list(APPEND expected ${icon})
endforeach()
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${STAGE_DIR}/*")
string(LENGTH "${STAGE_DIR}" stage_length)
set(found)
foreach(path IN LISTS staged)
    string(SUBSTRING "${path}" ${stage_length} -1 path)
    list(APPEND found "${path}")
endforeach()
list(SORT found)
list(SORT expected)
if(NOT found STREQUAL expected)
    string(REPLACE ";" "\n  " found_text "${found}")
    string(REPLACE ";" "\n  " expected_text "${expected}")
    fail("installed files differ\nexpected:\n  ${expected_text}\nfound:\n  ${found_text}")
endif()
message(STATUS "installed ${STAGE_DIR}:")
foreach(path IN LISTS found)
    message(STATUS "  ${path}")
endforeach()

# The program is an executable ELF file.
if(EXISTS "${STAGE_DIR}${binary}")
    file(READ "${STAGE_DIR}${binary}" magic LIMIT 4 HEX)
    if(NOT magic STREQUAL "7f454c46")
        fail("${binary} is not an ELF executable")
    endif()
endif()

# Each icon is a PNG whose header gives the size its folder names, and decodes.
foreach(size IN LISTS sizes)
    staged_path(icon "${DATADIR}" icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
    if(NOT EXISTS "${STAGE_DIR}${icon}")
        continue()
    endif()
    file(READ "${STAGE_DIR}${icon}" head LIMIT 24 HEX)
    string(SUBSTRING "${head}" 0 32 signature)
    string(SUBSTRING "${head}" 32 8 width_hex)
    string(SUBSTRING "${head}" 40 8 height_hex)
    math(EXPR width "0x${width_hex}")
    math(EXPR height "0x${height_hex}")
    if(NOT signature STREQUAL "89504e470d0a1a0a0000000d49484452" OR NOT width EQUAL size
       OR NOT height EQUAL size)
        fail("${icon} is not a ${size}x${size} PNG (header ${head})")
    endif()
    # ImageMagick decodes the whole file, checksums included.
    execute_process(COMMAND identify -regard-warnings -format "%w %h"
        "${STAGE_DIR}${icon}" RESULT_VARIABLE status OUTPUT_VARIABLE decoded ERROR_VARIABLE errors)
    if(NOT status EQUAL 0 OR NOT decoded STREQUAL "${size} ${size}")
        fail("ImageMagick cannot read ${icon} (${status}): ${decoded}${errors}")
    endif()
endforeach()

# Runs a validator; it must succeed and, with quiet set, print nothing.
function(validate name quiet)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status
        OUTPUT_VARIABLE output ERROR_VARIABLE errors)
    if(quiet)
        set(complaint "${errors}")
    else()
        set(complaint "")
    endif()
    if(NOT status EQUAL 0 OR NOT complaint STREQUAL "")
        message(SEND_ERROR "${name} rejected the install (${status}):\n${output}${errors}")
        set(rejected 1 PARENT_SCOPE)
    else()
        message(STATUS "${name}: ok")
    endif()
endfunction()

set(rejected 0)
validate(desktop-file-validate TRUE desktop-file-validate "${STAGE_DIR}${desktop}")
validate(appstreamcli FALSE appstreamcli validate --no-net "${STAGE_DIR}${metainfo}")
validate("appstreamcli validate-tree" FALSE
         appstreamcli validate-tree --no-net "${STAGE_DIR}${prefix}")
# man prints every warning of its formatter (w: all kinds) on standard error; the
# formatted page itself is thrown away.
validate("man --warnings=w" TRUE ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANROFFSEQ= MANWIDTH=80
         man --warnings=w -E UTF-8 -l -Tutf8 -Z "${STAGE_DIR}${manpage}")
if(rejected)
    math(EXPR failures "${failures} + 1")
endif()

# The files name each other consistently.
if(EXISTS "${STAGE_DIR}${desktop}" AND EXISTS "${STAGE_DIR}${metainfo}")
    file(READ "${STAGE_DIR}${desktop}" desktop_text)
    file(READ "${STAGE_DIR}${metainfo}" metainfo_text)
    if(NOT desktop_text MATCHES "\nIcon=${APP_ID}\n")
        fail("the launcher does not name the icon ${APP_ID}")
    endif()
    if(NOT desktop_text MATCHES "\nExec=${binary}\n")
        fail("the launcher does not start ${binary}")
    endif()
    if(NOT metainfo_text MATCHES "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>")
        fail("the metadata does not launch ${APP_ID}.desktop")
    endif()
    if(NOT metainfo_text MATCHES "<project_license>MIT</project_license>")
        fail("the metadata does not name the MIT licence")
    endif()
    if(NOT metainfo_text MATCHES "<release version=\"${VERSION}\"")
        fail("the metadata has no release entry for version ${VERSION}")
    endif()
endif()

if(failures GREATER 0)
    message(FATAL_ERROR "${failures} install check(s) failed")
endif()
message(STATUS "install checks passed")
