# The browser build, configured through emcmake: the same sources as the desktop with the
# browser's side of the platform seam, emscripten's SDL 1.2 (built into emscripten) and
# libjpeg-turbo built for the web by scripts/build-web-jpeg. Asyncify lets the program's
# waits hand the browser its turn without turning its loops inside out.
set(RAVELA_JPEG_PREFIX "${PROJECT_SOURCE_DIR}/build/web-jpeg/install" CACHE PATH
    "libjpeg-turbo built for the web")
set(RAVELA_WEB_OUTPUT "${CMAKE_BINARY_DIR}/site" CACHE PATH
    "Where the page, its script and its WebAssembly go")
if(NOT EXISTS "${RAVELA_JPEG_PREFIX}/lib/libjpeg.a")
    message(FATAL_ERROR "No libjpeg for the web in ${RAVELA_JPEG_PREFIX}: run scripts/build-web-jpeg")
endif()

add_library(ravela_web_media INTERFACE)
target_include_directories(ravela_web_media INTERFACE "${RAVELA_JPEG_PREFIX}/include")
target_link_libraries(ravela_web_media INTERFACE "${RAVELA_JPEG_PREFIX}/lib/libjpeg.a")
target_link_options(ravela_web_media INTERFACE -sASYNCIFY)
set(ravela_media ravela_web_media)
set(ravela_platform display/platform_web.cpp)

# The game as ravela.js and ravela.wasm next to the page that runs them.
function(ravela_web_page target)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${RAVELA_WEB_OUTPUT}")
    target_link_options(${target} PRIVATE -sENVIRONMENT=web -sFORCE_FILESYSTEM=1)
    add_custom_command(OUTPUT "${RAVELA_WEB_OUTPUT}/index.html"
        COMMAND ${CMAKE_COMMAND} -E copy "${PROJECT_SOURCE_DIR}/web/index.html"
                "${RAVELA_WEB_OUTPUT}/index.html"
        DEPENDS "${PROJECT_SOURCE_DIR}/web/index.html"
        VERBATIM)
    add_custom_target(ravela_page ALL DEPENDS "${RAVELA_WEB_OUTPUT}/index.html")

    # The fixed-seed replay, for node: the same test as the desktop's, on the same code.
    set(gtest_root /usr/src/googletest/googletest)
    add_library(ravela_web_gtest STATIC ${gtest_root}/src/gtest-all.cc ${gtest_root}/src/gtest_main.cc)
    target_include_directories(ravela_web_gtest SYSTEM PUBLIC ${gtest_root}/include PRIVATE ${gtest_root})
    add_executable(replay_test tests/replay_test.cpp tests/support.cpp)
    target_link_libraries(replay_test PRIVATE ravela_core ravela_web_gtest)
    target_link_options(replay_test PRIVATE -sENVIRONMENT=node
        "SHELL:--pre-js ${PROJECT_SOURCE_DIR}/tests/web/node_page.js")
endfunction()
