# Real-window tests: e2e/driver.py plays the built ravela in a private X server (Xvfb),
# with xdotool for the keys and the pointer and xwd for captures checked pixel by pixel.
# Each scenario starts its own X server on a free display, so they may run side by side;
# every wait polls with a generous timeout, which keeps them steady on a busy machine.
find_package(Python3 3.8 REQUIRED COMPONENTS Interpreter)

foreach(scenario startup title_navigation manual count_screen play pause ending close full_screen
        repaint display_loss streams no_display pointer_flood desktop_depths window_size full_screen_wm
        wayland wayland_loss)
    add_test(NAME e2e_${scenario}
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/e2e/driver.py
            --ravela $<TARGET_FILE:ravela> ${scenario})
    set_tests_properties(e2e_${scenario} PROPERTIES
        TIMEOUT 180
        LABELS e2e
        # The X and SDL libraries keep some memory to the end of the process; leak reports
        # in the sanitizer build would change the exit status the scenarios check.
        ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
endforeach()
