# The player control (Windows): a test container loads the control DLL as a
# projector does, sites and activates it in real windows (a virtual display
# under Wine), and checks its COM server, dispatch interface, events,
# drawing, mouse input and targets.
if(WIN32 AND TARGET kelpo_player)
    add_executable(player_control_tests
        unit/player_control/control_harness.cpp
        unit/player_control/control_server_test.cpp
        unit/player_control/dispatch_test.cpp
        unit/player_control/movie_events_test.cpp
        unit/player_control/drawing_support.cpp
        unit/player_control/rendering_test.cpp
        unit/player_control/movie_drawing_test.cpp
        unit/player_control/input_test.cpp
        unit/player_control/targets_test.cpp
        unit/player_control/movie_switching_test.cpp
        unit/player_control/activation_test.cpp
    )
    target_include_directories(player_control_tests PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_definitions(player_control_tests PRIVATE UNICODE _UNICODE)
    target_link_libraries(player_control_tests PRIVATE kelpo_movie_writer ${KELPO_GTEST_LIBS}
        ole32 oleaut32 uuid gdi32 user32 version windowscodecs)
    # The tests load the DLL from beside the test program.
    add_dependencies(player_control_tests kelpo_player)
    if(KELPO_RUN_WINDOWS_TESTS)
        add_test(NAME player_control_tests COMMAND ${KELPO_TEST_RUNNER} $<TARGET_FILE:player_control_tests>)
        set_tests_properties(player_control_tests PROPERTIES TIMEOUT 300
            ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;KELPO_NEEDS_DISPLAY=1")
    endif()
endif()
