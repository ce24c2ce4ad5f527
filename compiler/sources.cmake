# Sources of the script compiler (paths relative to the source root).
set(KELPO_COMPILER_SOURCES
    compiler/compile_state.cpp
    compiler/diagnostics.cpp
    compiler/lexer.cpp
    compiler/parse_expressions.cpp
    compiler/parse_functions.cpp
    compiler/parse_source.cpp
    compiler/parse_statements.cpp
    compiler/parser_support.cpp
    compiler/script_stream.cpp
    compiler/syntax_print.cpp
    compiler/syntax_tree.cpp
    compiler/tokens.cpp
)
