# Real-window tests: pytest runs the scenarios of e2e/scenarios.py (its fixtures in
# e2e/conftest.py), each playing the built ravela in a private X server (Xvfb) or sway of
# its own, on the harness in tools/harness: xdotool for the keys and the pointer,
# python3-xlib and Pillow for the window and its captures, checked pixel by pixel. One
# ctest test per scenario, so they may run side by side; every wait polls with a generous
# timeout, which keeps them steady on a busy machine.

find_package(Python3 3.8 REQUIRED COMPONENTS Interpreter)

# Pads made up below the unchanged game (LD_PRELOAD), built plain even in the sanitizer
# build (warnings only): a preloaded library that needs the sanitizer's runtime would load
# before it.
add_library(pretend_pads MODULE ${CMAKE_CURRENT_LIST_DIR}/e2e/pretend_pads.cpp)
target_include_directories(pretend_pads PRIVATE ${SDL_INCLUDE_DIRS})
target_link_libraries(pretend_pads PRIVATE ravela_warnings ${CMAKE_DL_LIBS})

# Every scenario_ function is a test; a new one is picked up when the file changes.
set(scenario_file ${CMAKE_CURRENT_LIST_DIR}/e2e/scenarios.py)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${scenario_file})
file(STRINGS ${scenario_file} scenario_lines REGEX "^def scenario_[a-z0-9_]+\\(")
foreach(line IN LISTS scenario_lines)
    string(REGEX REPLACE "^def scenario_([a-z0-9_]+)\\(.*" "\\1" scenario "${line}")
    add_test(NAME e2e_${scenario}
        COMMAND ${Python3_EXECUTABLE} -m pytest -q ${scenario_file}::scenario_${scenario}
            --ravela $<TARGET_FILE:ravela> --pretend-pads $<TARGET_FILE:pretend_pads>)
    set_tests_properties(e2e_${scenario} PROPERTIES
        TIMEOUT 180
        LABELS e2e
        # The X and SDL libraries keep some memory to the end of the process; leak reports
        # in the sanitizer build would change the exit status the scenarios check. The
        # pretend pads load before the sanitizer's runtime.
        ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0;PYTHONDONTWRITEBYTECODE=1")
endforeach()
