# FlashPlayer and MovieClip over the player core: data binding, transfers of
# arrays and objects, control calls, coordinates and movie information.
kelpo_add_test(flash_player_tests
    unit/test_support.cpp
    unit/hostobjects/core_player_port.cpp
    unit/hostobjects/flash_player_test.cpp
)
target_link_libraries(flash_player_tests PRIVATE kelpo_hostobjects_portable kelpo_player_core kelpo_movie_writer)
