# The kelpo command itself: what it reads from its command line and from
# typed input (natively), and sessions of its interactive mode fed through
# standard input (natively and under Wine) and through a pseudo-terminal.
kelpo_add_test(command_line_input_tests unit/tools/command_line_input_test.cpp)
target_link_libraries(command_line_input_tests PRIVATE kelpo_command_line_input)

if(NOT CMAKE_CROSSCOMPILING OR KELPO_RUN_WINDOWS_TESTS)
    set(kelpo_runner "")
    if(CMAKE_CROSSCOMPILING)
        set(kelpo_runner ${KELPO_TEST_RUNNER})
    endif()
    add_test(NAME kelpo.command_line
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/kelpo/command_line.sh
                     ${CMAKE_CURRENT_SOURCE_DIR}/kelpo $<TARGET_FILE:kelpo> ${kelpo_runner})
    set_tests_properties(kelpo.command_line PROPERTIES TIMEOUT 300)
    if(CMAKE_CROSSCOMPILING)
        set_tests_properties(kelpo.command_line PROPERTIES
            ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")
    endif()
endif()
if(NOT CMAKE_CROSSCOMPILING)
    add_test(NAME kelpo.terminal_session
             COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/kelpo/terminal_session.py $<TARGET_FILE:kelpo>)
    set_tests_properties(kelpo.terminal_session PROPERTIES TIMEOUT 60)
endif()
