# The movie player's portable core: movie reading, timelines, sprites and
# targets, the action interpreter, variables, properties, drawing, buttons,
# shapes with gradients and morphs, texts in embedded fonts, and damaged
# movies. Movies are built by the symbolic assembler.
kelpo_add_test(player_tests
    unit/player/player_test_support.cpp
    unit/player/movie_reader_test.cpp
    unit/player/timeline_test.cpp
    unit/player/actions_test.cpp
    unit/player/variables_test.cpp
    unit/player/render_test.cpp
    unit/player/shapes_test.cpp
    unit/player/text_test.cpp
    unit/player/buttons_test.cpp
    unit/player/malformed_test.cpp
    unit/player/movie_assembler_test.cpp
)
target_link_libraries(player_tests PRIVATE kelpo_player_core kelpo_movie_writer)

# make-test-movie's drawing options, and the values it refuses.
if(NOT CMAKE_CROSSCOMPILING)
    add_test(NAME player.make_test_movie_drawings
             COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/e2e/make_test_movie_drawings.sh
                     $<TARGET_FILE:make-test-movie>)
endif()
