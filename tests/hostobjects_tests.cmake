# The Application object's portable parts: command-line items, the base
# path, registry names, region files and their scaling, interval timers,
# host events and the trace file.
kelpo_add_test(hostobjects_tests
    unit/test_support.cpp
    unit/host/host_test_support.cpp
    unit/hostobjects/application_text_test.cpp
    unit/hostobjects/interval_timers_test.cpp
    unit/hostobjects/application_events_test.cpp
    unit/hostobjects/trace_file_test.cpp
    unit/hostobjects/region_scaling_test.cpp
)
target_link_libraries(hostobjects_tests PRIVATE kelpo_hostobjects_portable)
