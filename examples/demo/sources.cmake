# The demo project's movie generator (run by ./run.sh before packing).
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/support/movie_assembler.cpp)
    add_executable(make-demo-movie examples/demo/make_demo_movie.cpp tests/support/movie_assembler.cpp)
    target_link_libraries(make-demo-movie PRIVATE kelpo_test_movie kelpo_engine)
endif()
