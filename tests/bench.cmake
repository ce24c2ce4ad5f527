# The benchmark programs at a small size, each checked against its known
# checksum, with the kelpo of this build (native builds only: the suite is
# a Linux shell script).
if(NOT CMAKE_CROSSCOMPILING)
    add_test(NAME bench.quick
             COMMAND ${CMAKE_SOURCE_DIR}/bench/run.sh --quick --kelpo $<TARGET_FILE:kelpo>)
    set_tests_properties(bench.quick PROPERTIES TIMEOUT 300
        ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1")
endif()
