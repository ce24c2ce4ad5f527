# Unit tests of the script compiler front end.
kelpo_add_test(compiler_tests
    unit/test_support.cpp
    unit/compiler/compiler_test_support.cpp
    unit/compiler/script_stream_test.cpp
    unit/compiler/lexer_test.cpp
    unit/compiler/parser_test.cpp
    unit/compiler/parser_error_test.cpp
    unit/compiler/robustness_test.cpp
)
