# The class pages: every class, member and global has its line (natively,
# with the portable libraries), and docs/classes.md is what the Windows
# build, which has every library, writes (under Wine).
if(NOT CMAKE_CROSSCOMPILING)
    add_test(NAME docs.class_lines COMMAND $<TARGET_FILE:kelpo-class-pages> --lines)
elseif(KELPO_RUN_WINDOWS_TESTS)
    add_test(NAME docs.class_pages
             COMMAND ${KELPO_TEST_RUNNER} $<TARGET_FILE:kelpo-class-pages>
                     --check ${CMAKE_SOURCE_DIR}/docs/classes.md)
    set_tests_properties(docs.class_pages PROPERTIES TIMEOUT 300
        ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")
endif()
