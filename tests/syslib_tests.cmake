# The system library: its stream byte formats checked against python3, and
# the unit tests of the stream layers.
if(NOT CMAKE_CROSSCOMPILING)
    add_test(NAME syslib.stream_bytes
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/syslib/stream_bytes_check.sh $<TARGET_FILE:kelpo>)
    set_tests_properties(syslib.stream_bytes PROPERTIES TIMEOUT 120)
    add_test(NAME syslib.dropped_files
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/syslib/dropped_files.sh $<TARGET_FILE:kelpo>)
    set_tests_properties(syslib.dropped_files PROPERTIES TIMEOUT 120)
endif()

kelpo_add_test(syslib_stream_tests
    unit/test_support.cpp
    unit/syslib/streams_test.cpp
)
target_link_libraries(syslib_stream_tests PRIVATE kelpo_syslib)
