# The movie player's portable core: movie reading, timelines, the action
# interpreter, input and drawing through a sink. No Win32: tested and fuzzed
# natively, wrapped by the ActiveX control on Windows.
add_library(kelpo_player_core STATIC
    player/core/bit_reader.cpp
    player/core/builtins.cpp
    player/core/button_reader.cpp
    player/core/display_list.cpp
    player/core/gc.cpp
    player/core/geometry.cpp
    player/core/input.cpp
    player/core/interpreter.cpp
    player/core/movie_reader.cpp
    player/core/operators.cpp
    player/core/player.cpp
    player/core/properties.cpp
    player/core/record_reader.cpp
    player/core/render.cpp
    player/core/shape_reader.cpp
    player/core/targets.cpp
    player/core/values.cpp
    player/core/variables.cpp
    player/core/view.cpp
)
target_include_directories(kelpo_player_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(kelpo_player_core PUBLIC ZLIB::ZLIB)
