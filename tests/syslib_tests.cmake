# The system library: tree walks over links and the name-pattern matcher
# (natively and under Wine), and the script tests that only Windows can
# give (true case, drive letters, short names, Drive and DiskInfo): they
# live in scripts/windows/ and run under Wine only.
kelpo_add_test(syslib_tests
    unit/syslib/folder_tree_test.cpp
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
endif()
