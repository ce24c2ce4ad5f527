# Unit tests of the RegExp and String classes' building blocks.
kelpo_add_test(text_class_tests
    unit/test_support.cpp
    unit/corelib/regex_engine_test.cpp
    unit/corelib/regexp_record_test.cpp
)
