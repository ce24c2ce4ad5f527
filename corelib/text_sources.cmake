# Extra sources of the RegExp and String classes.
list(APPEND KELPO_CORELIB_SOURCES
    corelib/regex_engine.cpp
    corelib/regexp_match.cpp
    corelib/regexp_string_ops.cpp
    corelib/string_methods.cpp
    corelib/string_search.cpp
    corelib/string_html.cpp
    corelib/text_buffer.cpp
    corelib/unit_case.cpp
)
