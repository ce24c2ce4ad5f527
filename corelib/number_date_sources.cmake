# Extra sources of Number, Math, the URI functions, Date and DataFile.
list(APPEND KELPO_CORELIB_SOURCES
    corelib/date_calendar.cpp
    corelib/date_parse.cpp
    corelib/number_format.cpp
    corelib/uri_codec.cpp
    corelib/value_serialise.cpp
)
