# The system library: tree walks over links and the name-pattern matcher
# (natively and under Wine), the stream byte formats checked against
# python3, the unit tests of the stream layers, and the script tests that
# only Windows can give (true case, drive letters, short names, Drive and
# DiskInfo, the registry and INI files, a file held open without sharing,
# the registry classes' error texts, SysInfo and FontObject, the Dialogs
# answered by a peer program, the shell and shortcut files): they live in
# scripts/windows/ and syslib/ and run under Wine only, the scripts once
# more in a private prefix that must be unchanged afterwards.
# The Encryption class is checked against python3's hashlib and
# pycryptodome, natively and under Wine.
kelpo_add_test(syslib_tests
    unit/syslib/folder_tree_test.cpp
    unit/syslib/window_flight_test.cpp
)
target_link_libraries(syslib_tests PRIVATE kelpo_syslib)

if(CMAKE_CROSSCOMPILING AND KELPO_RUN_WINDOWS_TESTS)
    file(GLOB KELPO_WINDOWS_SCRIPT_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/scripts/windows/*.kls)
    foreach(script ${KELPO_WINDOWS_SCRIPT_TESTS})
        get_filename_component(name ${script} NAME_WE)
        foreach(mode source compiled)
            add_test(NAME script.${name}.${mode}
                     COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/run-script-test.sh ${mode}
                             $<TARGET_FILE:kelpo> ${script} ${KELPO_TEST_RUNNER})
            set_tests_properties(script.${name}.${mode} PROPERTIES TIMEOUT 120
                ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")
        endforeach()
    endforeach()
    # SysInfo writes the screen-saver settings and puts them back: its two
    # runs must not interleave.
    set_tests_properties(script.sys_info.source script.sys_info.compiled PROPERTIES
        RESOURCE_LOCK screen_saver_settings)

    # The error texts registry failures leave, which scripts cannot read.
    kelpo_add_test(syslib_registry_tests unit/syslib/registry_errors_test.cpp)
    target_link_libraries(syslib_registry_tests PRIVATE kelpo_syslib)

    # The shell classes against the shell's own link object and programs
    # it starts (a window of Wine's notepad, closed again).
    kelpo_add_test(syslib_shell_tests
        unit/syslib/shell_link_test.cpp
        unit/syslib/hot_key_text_test.cpp
    )
    target_link_libraries(syslib_shell_tests PRIVATE kelpo_command_line_library)

    # A file another program holds open without sharing.
    add_executable(hold_file syslib/hold_file.cpp)
    add_test(NAME syslib.file_held_open
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/syslib/file_held_open.sh $<TARGET_FILE:kelpo>
                     $<TARGET_FILE:hold_file> ${KELPO_TEST_RUNNER})
    set_tests_properties(syslib.file_held_open PROPERTIES TIMEOUT 120
        ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")

    # Every Windows script test again, in a prefix of its own that must be
    # the same afterwards: no registry key, file or setting left behind.
    add_test(NAME syslib.prefix_unchanged
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/syslib/prefix_unchanged.sh $<TARGET_FILE:kelpo>
                     ${CMAKE_CURRENT_SOURCE_DIR}/scripts/windows ${KELPO_TEST_RUNNER})
    set_tests_properties(syslib.prefix_unchanged PROPERTIES TIMEOUT 600
        ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-leftovers")

    # The Dialogs class, with the peer program (tests/host_tests.cmake)
    # answering each dialog as a person would.
    add_test(NAME syslib.dialogs_peer
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/syslib/dialogs_peer.sh $<TARGET_FILE:kelpo>
                     $<TARGET_FILE:projector_peer> ${KELPO_TEST_RUNNER})
    set_tests_properties(syslib.dialogs_peer PROPERTIES TIMEOUT 120
        ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")

    # Encryption against python3's reference, the Windows program under Wine.
    add_test(NAME syslib.encryption_check
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/syslib/encryption_check.sh $<TARGET_FILE:kelpo>
                     ${KELPO_TEST_RUNNER})
    set_tests_properties(syslib.encryption_check PROPERTIES TIMEOUT 120
        ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")
endif()

if(NOT CMAKE_CROSSCOMPILING)
    add_test(NAME syslib.stream_bytes
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/syslib/stream_bytes_check.sh $<TARGET_FILE:kelpo>)
    set_tests_properties(syslib.stream_bytes PROPERTIES TIMEOUT 120)
    add_test(NAME syslib.dropped_files
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/syslib/dropped_files.sh $<TARGET_FILE:kelpo>)
    set_tests_properties(syslib.dropped_files PROPERTIES TIMEOUT 120)
    # Encryption against python3 (hashlib, pycryptodome) over a table.
    add_test(NAME syslib.encryption_check
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/syslib/encryption_check.sh $<TARGET_FILE:kelpo>)
    set_tests_properties(syslib.encryption_check PROPERTIES TIMEOUT 120)
endif()

kelpo_add_test(syslib_stream_tests
    unit/test_support.cpp
    unit/syslib/streams_test.cpp
)
target_link_libraries(syslib_stream_tests PRIVATE kelpo_syslib)
