# Hardening: soak_test, a short soak through the real loops that also proves its checks bite;
# ravela_soak, the long one behind `make soak`; harden_faults_test replays what they found.
find_package(GTest REQUIRED)
include(GoogleTest)

add_library(ravela_harden STATIC board_invariants.cpp soak.cpp)
target_link_libraries(ravela_harden PUBLIC ravela_testkit)

add_executable(ravela_soak soak_main.cpp)
target_link_libraries(ravela_soak PRIVATE ravela_harden)
set_target_properties(ravela_soak PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

foreach(name soak_test harden_faults_test)
    add_executable(${name} ${name}.cpp)
    target_link_libraries(${name} PRIVATE ravela_harden GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy" TIMEOUT 240)
endforeach()
