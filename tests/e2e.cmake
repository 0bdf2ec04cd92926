# Real-window tests: e2e/driver.py plays the built ravela in a private X server (Xvfb), one
# scenario of e2e/scenarios.py at a time, on the harness in tools/harness (on PYTHONPATH),
# with xdotool for the keys and the pointer and xwd for captures checked pixel by pixel.
# Each scenario starts its own X server on a free display, so they may run side by side;
# every wait polls with a generous timeout, which keeps them steady on a busy machine.
find_package(Python3 3.8 REQUIRED COMPONENTS Interpreter)

# Pads made up below the unchanged game (LD_PRELOAD), built plain even in the sanitizer
# build: a preloaded library that needs the sanitizer's runtime would load before it.
add_library(pretend_pads MODULE ${CMAKE_CURRENT_LIST_DIR}/e2e/pretend_pads.cpp)
set_property(TARGET pretend_pads PROPERTY COMPILE_OPTIONS -Wall -Wextra)
set_property(TARGET pretend_pads PROPERTY LINK_OPTIONS "")
target_include_directories(pretend_pads PRIVATE ${SDL_INCLUDE_DIRS})
target_link_libraries(pretend_pads PRIVATE ${CMAKE_DL_LIBS})

foreach(scenario startup title_navigation manual count_screen play pause ending close full_screen
        repaint display_loss streams no_display pointer_flood desktop_depths window_size full_screen_wm
        wayland wayland_loss pads)
    add_test(NAME e2e_${scenario}
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/e2e/driver.py
            --ravela $<TARGET_FILE:ravela> --pretend-pads $<TARGET_FILE:pretend_pads> ${scenario})
    set_tests_properties(e2e_${scenario} PROPERTIES
        TIMEOUT 180
        LABELS e2e
        # The X and SDL libraries keep some memory to the end of the process; leak reports
        # in the sanitizer build would change the exit status the scenarios check. The
        # pretend pads load before the sanitizer's runtime.
        ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0;PYTHONPATH=${CMAKE_SOURCE_DIR}/tools")
endforeach()
