# The layer check in the test suite: the game's own sources must pass tools/check-layers,
# and a small tree that breaks each rule must be caught, so the check cannot pass by
# reading nothing.
add_test(NAME layers COMMAND ${PROJECT_SOURCE_DIR}/tools/check-layers ${PROJECT_SOURCE_DIR})

set(breach ${CMAKE_CURRENT_BINARY_DIR}/layer_breach)
file(WRITE ${breach}/snakes/snake.cpp "#include <SDL.h>\n")
file(WRITE ${breach}/match/tick.cpp "#include \"SDL_video.h\"\n")
file(WRITE ${breach}/match/input.cpp "#include <SDL.h>\n")
file(WRITE ${breach}/display/board.cpp "#include \"match/match_state.h\"\n")
file(WRITE ${breach}/common/random.cpp "#include \"display/board.h\"\n")
file(WRITE ${breach}/match/startup.cpp "#include \"display/desktop.h\"\n")
file(WRITE ${breach}/screens/title_menu.cpp "#include <emscripten.h>\n")
add_test(NAME layers_catch_a_breach COMMAND ${PROJECT_SOURCE_DIR}/tools/check-layers ${breach})
# The six breaches, in the order the rules are checked (input.cpp may use SDL); the
# messages decide, since the script names a breach only when it exits 1.
set_tests_properties(layers_catch_a_breach PROPERTIES PASS_REGULAR_EXPRESSION
    "snakes/snake.cpp includes.*\n.*match/tick.cpp includes.*\n.*display/board.cpp includes.*\n.*common/random.cpp includes.*\n.*match/startup.cpp includes.*\n.*screens/title_menu.cpp includes")
