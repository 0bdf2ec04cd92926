# Install rules: the program, its launcher, icons, metadata, manual page and licence.
# The icons are drawn at build time from the game's own tile set by tools/make_icon.cpp,
# and a test installs everything into a scratch directory and validates it.
include(GNUInstallDirs)

set(RAVELA_INSTALL_BINDIR "${CMAKE_INSTALL_BINDIR}" CACHE STRING
    "Directory for the ravela program, relative to the prefix (packagers may choose games)")
set(RAVELA_APP_ID io.github.ravela.Ravela)
set(RAVELA_ICON_SIZES 16 32 48 64 128 256)
list(JOIN RAVELA_ICON_SIZES "," ravela_icon_size_text)

# The icon painter and the build tool that writes one PNG per theme size, through libpng.
find_package(PNG REQUIRED)
add_library(ravela_icon STATIC tools/icon.cpp)
target_link_libraries(ravela_icon PUBLIC ravela_core PNG::PNG)
add_executable(ravela_make_icon tools/make_icon.cpp)
target_link_libraries(ravela_make_icon PRIVATE ravela_icon)

set(ravela_icon_dir ${PROJECT_BINARY_DIR}/icons)
set(ravela_icon_files)
foreach(size IN LISTS RAVELA_ICON_SIZES)
    list(APPEND ravela_icon_files ${ravela_icon_dir}/${size}x${size}/apps/${RAVELA_APP_ID}.png)
endforeach()
add_custom_command(
    OUTPUT ${ravela_icon_files}
    COMMAND ravela_make_icon ${ravela_icon_dir} ${RAVELA_APP_ID}
    DEPENDS ravela_make_icon
    COMMENT "Drawing the desktop icon from the tile set"
    VERBATIM)
add_custom_target(ravela_icons ALL DEPENDS ${ravela_icon_files})

install(TARGETS ravela RUNTIME DESTINATION ${RAVELA_INSTALL_BINDIR})

# The launcher starts the program by its installed path, so a menu finds it whatever PATH
# holds (root's PATH on Debian lacks /usr/games). The prefix is the one cmake --install is
# given, which may differ from the configured one, so the path is written at install time.
install(CODE "set(ravela_bindir [[${RAVELA_INSTALL_BINDIR}]])
    set(ravela_desktop_in [[${PROJECT_SOURCE_DIR}/data/${RAVELA_APP_ID}.desktop]])
    set(ravela_desktop [[${PROJECT_BINARY_DIR}/${RAVELA_APP_ID}.desktop]])")
install(CODE [[
    if(NOT IS_ABSOLUTE "${ravela_bindir}")
        set(ravela_bindir "${CMAKE_INSTALL_PREFIX}/${ravela_bindir}")
    endif()
    file(READ "${ravela_desktop_in}" ravela_text)
    string(REPLACE "\nExec=ravela\n" "\nExec=${ravela_bindir}/ravela\n" ravela_text "${ravela_text}")
    file(WRITE "${ravela_desktop}" "${ravela_text}")
]])
install(FILES ${PROJECT_BINARY_DIR}/${RAVELA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/${RAVELA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/ravela.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
foreach(size IN LISTS RAVELA_ICON_SIZES)
    install(FILES ${ravela_icon_dir}/${size}x${size}/apps/${RAVELA_APP_ID}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

if(BUILD_TESTING)
    find_package(GTest REQUIRED)
    include(GoogleTest)
    add_executable(icon_test tests/icon_test.cpp)
    target_link_libraries(icon_test PRIVATE ravela_icon ravela_testkit GTest::gtest_main)
    gtest_discover_tests(icon_test
        DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")

    # Installs into a scratch DESTDIR, compares the file list and validates each file.
    add_test(NAME install_tree
        COMMAND ${CMAKE_COMMAND}
            -DBUILD_DIR=${PROJECT_BINARY_DIR}
            -DSTAGE_DIR=${PROJECT_BINARY_DIR}/install-check
            -DBINDIR=${RAVELA_INSTALL_BINDIR}
            -DDATADIR=${CMAKE_INSTALL_DATADIR}
            -DMANDIR=${CMAKE_INSTALL_MANDIR}
            -DDOCDIR=${CMAKE_INSTALL_DOCDIR}
            -DAPP_ID=${RAVELA_APP_ID}
            -DICON_SIZES=${ravela_icon_size_text}
            -DVERSION=${PROJECT_VERSION}
            -P ${PROJECT_SOURCE_DIR}/cmake/check_install.cmake)
endif()
