# The browser build, configured through emcmake: the same sources as the desktop with the
# browser's side of the platform seam, emscripten's SDL 1.2 (built into emscripten) and
# libjpeg-turbo built for the web by scripts/build-web-jpeg. Asyncify lets the program's
# waits hand the browser its turn without turning its loops inside out.
set(RAVELA_JPEG_PREFIX "${PROJECT_SOURCE_DIR}/build/web-jpeg/install" CACHE PATH
    "libjpeg-turbo built for the web")
set(RAVELA_WEB_OUTPUT "${CMAKE_BINARY_DIR}/site" CACHE PATH
    "Where the page, its script and its WebAssembly go")
set(RAVELA_WEB_ICON_TOOL "" CACHE FILEPATH
    "make_icon built for this machine, which paints the site's icons from the tile set")
if(NOT EXISTS "${RAVELA_JPEG_PREFIX}/lib/libjpeg.a")
    message(FATAL_ERROR "No libjpeg for the web in ${RAVELA_JPEG_PREFIX}: run scripts/build-web-jpeg")
endif()

add_library(ravela_web_media INTERFACE)
target_include_directories(ravela_web_media INTERFACE "${RAVELA_JPEG_PREFIX}/include")
target_link_libraries(ravela_web_media INTERFACE "${RAVELA_JPEG_PREFIX}/lib/libjpeg.a")
# The script half of the browser platform, and its one call that sleeps.
set(ravela_web_library "${PROJECT_SOURCE_DIR}/display/platform_web.js")
target_link_options(ravela_web_media INTERFACE -sASYNCIFY -sASYNCIFY_IMPORTS=ravelaSleepUntilInput
    "SHELL:--js-library ${ravela_web_library}")
set(ravela_media ravela_web_media)
set(ravela_platform display/platform_web.cpp)

# The game as ravela.js and ravela.wasm next to the page that runs them, the web app
# manifest with its icons, and the service worker that keeps them all for play offline.
function(ravela_web_page target)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${RAVELA_WEB_OUTPUT}"
        LINK_DEPENDS "${ravela_web_library}")
    # The calls the page hands its input through; the replay has no page.
    target_sources(${target} PRIVATE "${PROJECT_SOURCE_DIR}/match/page_input.cpp")
    target_link_options(${target} PRIVATE -sENVIRONMENT=web -sFORCE_FILESYSTEM=1
        "SHELL:--pre-js ${PROJECT_SOURCE_DIR}/web/pagehide.js")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${PROJECT_SOURCE_DIR}/web/pagehide.js")
    if(NOT EXISTS "${RAVELA_WEB_ICON_TOOL}")
        message(FATAL_ERROR "No icon painter: set RAVELA_WEB_ICON_TOOL to a native make_icon")
    endif()
    set(site "${RAVELA_WEB_OUTPUT}")
    set(icons icons/180x180/apps/ravela.png icons/192x192/apps/ravela.png icons/512x512/apps/ravela.png)
    set(kept index.html manifest.json ${icons} ravela.js ravela.wasm)
    foreach(file index.html manifest.json)
        add_custom_command(OUTPUT "${site}/${file}"
            COMMAND ${CMAKE_COMMAND} -E copy "${PROJECT_SOURCE_DIR}/web/${file}" "${site}/${file}"
            DEPENDS "${PROJECT_SOURCE_DIR}/web/${file}"
            VERBATIM)
    endforeach()
    list(TRANSFORM icons PREPEND "${site}/" OUTPUT_VARIABLE icon_files)
    add_custom_command(OUTPUT ${icon_files}
        COMMAND "${RAVELA_WEB_ICON_TOOL}" "${site}/icons" ravela 180 192 512
        DEPENDS "${RAVELA_WEB_ICON_TOOL}"
        COMMENT "Drawing the site's icons from the tile set"
        VERBATIM)
    list(JOIN kept "," kept_list)
    add_custom_command(OUTPUT "${site}/sw.js"
        COMMAND ${CMAKE_COMMAND} -DSITE=${site} -DSOURCE=${PROJECT_SOURCE_DIR}/web/sw.js
                "-DFILES=${kept_list}" -P "${PROJECT_SOURCE_DIR}/cmake/web_worker.cmake"
        DEPENDS ${target} "${site}/index.html" "${site}/manifest.json" ${icon_files}
                "${PROJECT_SOURCE_DIR}/web/sw.js" "${PROJECT_SOURCE_DIR}/cmake/web_worker.cmake"
        VERBATIM)
    add_custom_target(ravela_page ALL DEPENDS "${site}/index.html" "${site}/manifest.json"
        ${icon_files} "${site}/sw.js")

    # The fixed-seed replay, for node: the same test as the desktop's, on the same code.
    set(gtest_root /usr/src/googletest/googletest)
    add_library(ravela_web_gtest STATIC ${gtest_root}/src/gtest-all.cc ${gtest_root}/src/gtest_main.cc)
    target_include_directories(ravela_web_gtest SYSTEM PUBLIC ${gtest_root}/include PRIVATE ${gtest_root})
    add_executable(replay_test tests/replay_test.cpp tests/support.cpp)
    target_link_libraries(replay_test PRIVATE ravela_core ravela_web_gtest)
    target_link_options(replay_test PRIVATE -sENVIRONMENT=node
        "SHELL:--pre-js ${PROJECT_SOURCE_DIR}/tests/web/node_page.js")
endfunction()
