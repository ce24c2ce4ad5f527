# Unit tests of Number formatting, the Date calendar and parser, the
# platform's clock, time zone and INI files, and value serialisation.
kelpo_add_test(number_date_tests
    unit/test_support.cpp
    unit/corelib/date_calendar_test.cpp
    unit/corelib/local_time_test.cpp
    unit/corelib/number_format_test.cpp
    unit/corelib/profile_test.cpp
    unit/corelib/value_serialise_test.cpp
)

# The zone tests print local times: each runs in a zone without daylight
# time, so the expected text never changes.
foreach(zone_test date_zone_east:Asia/Kolkata date_zone_west:America/Bogota)
    string(REPLACE ":" ";" zone_test ${zone_test})
    list(GET zone_test 0 zone_script)
    list(GET zone_test 1 zone_name)
    foreach(mode source compiled)
        if(TEST script.${zone_script}.${mode})
            set_property(TEST script.${zone_script}.${mode} APPEND PROPERTY ENVIRONMENT "TZ=${zone_name}")
        endif()
    endforeach()
endforeach()
