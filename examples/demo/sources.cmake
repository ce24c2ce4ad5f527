# The demo project's movie generator (run by ./run.sh before packing).
add_executable(make-demo-movie examples/demo/make_demo_movie.cpp)
target_link_libraries(make-demo-movie PRIVATE kelpo_test_movie kelpo_engine)
