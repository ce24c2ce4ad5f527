# The portable half of the project builder: project file to resources, free
# of Win32 so it is unit-tested natively as well. Only the resource writing
# (executable_writer_win32.cpp) and the command are Windows code.
add_library(kelpo_build_model STATIC
    tools/kelpo-build/folder_archive.cpp
    tools/kelpo-build/icon_file.cpp
    tools/kelpo-build/input_files.cpp
    tools/kelpo-build/menu_reader.cpp
    tools/kelpo-build/project_fields.cpp
    tools/kelpo-build/project_reader.cpp
    tools/kelpo-build/resource_plan.cpp
    tools/kelpo-build/script_images.cpp
    tools/kelpo-build/settings_reader.cpp
)
target_link_libraries(kelpo_build_model PUBLIC kelpo_project_data)

# nlohmann-json is header-only. Cross builds must not see /usr/include, so
# they get a folder holding only a link to Debian's nlohmann headers.
if(CMAKE_CROSSCOMPILING)
    set(KELPO_JSON_INCLUDE ${CMAKE_BINARY_DIR}/json-include)
    if(NOT EXISTS ${KELPO_JSON_INCLUDE}/nlohmann)
        file(MAKE_DIRECTORY ${KELPO_JSON_INCLUDE})
        file(CREATE_LINK /usr/include/nlohmann ${KELPO_JSON_INCLUDE}/nlohmann SYMBOLIC)
    endif()
    target_include_directories(kelpo_build_model SYSTEM PUBLIC ${KELPO_JSON_INCLUDE})
endif()

# Flash movie files for tests, shared by the tests and make-test-movie.
add_library(kelpo_test_movie STATIC tests/support/test_movie.cpp tests/support/movie_assembler.cpp)
target_include_directories(kelpo_test_movie PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(kelpo_test_movie PUBLIC ZLIB::ZLIB)
