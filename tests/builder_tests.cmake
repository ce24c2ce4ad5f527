# The project builder: reading project files and planning resources (native
# and under Wine), the test-movie writer, and, in Windows builds, packaging
# whole projects with kelpo-build and reading them back.
kelpo_add_test(builder_tests
    unit/host/host_test_support.cpp
    unit/builder/builder_test_support.cpp
    unit/builder/project_reader_test.cpp
    unit/builder/settings_reader_test.cpp
    unit/builder/resource_plan_test.cpp
    unit/builder/icon_file_test.cpp
    unit/builder/test_movie_test.cpp
)
target_link_libraries(builder_tests PRIVATE kelpo_build_model kelpo_movie_writer)

if(WIN32)
    # Any PE serves as the template of a build; this one is tiny.
    add_executable(builder_template_program support/template_program.cpp)
    kelpo_add_test(builder_packaging_tests
        unit/host/host_test_support.cpp
        unit/builder/builder_test_support.cpp
        unit/builder/packaging_test.cpp
    )
    target_link_libraries(builder_packaging_tests PRIVATE kelpo_build_model kelpo_movie_writer)
    add_dependencies(builder_packaging_tests kelpo-build builder_template_program)
endif()
