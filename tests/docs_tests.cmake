# The script author's manual: every ```kelpo example of docs/language.md is
# run from source by the native kelpo command and must print exactly the
# ```output (and, for a failing example, ```error) block that follows it.
if(NOT CMAKE_CROSSCOMPILING)
    add_test(NAME docs.language_examples
             COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/docs/check_manual_examples.py
                     $<TARGET_FILE:kelpo> ${CMAKE_SOURCE_DIR}/docs/language.md)
    set_tests_properties(docs.language_examples PROPERTIES TIMEOUT 300)
endif()
