# The projector's script objects. The portable half (data binding, text
# conversions, FlashPlayer and MovieClip over a player port) is built and
# tested natively too; the Windows half reaches the main frame, the control,
# timers and the registry.
add_library(kelpo_hostobjects_portable STATIC
    hostobjects/data_binding.cpp
    hostobjects/flash_player_class.cpp
    hostobjects/flash_player_transfer.cpp
    hostobjects/movie_clip_class.cpp
    hostobjects/movie_text.cpp
    hostobjects/movie_to_window.cpp
    hostobjects/player_port.cpp
    hostobjects/application_events.cpp
    hostobjects/base_path.cpp
    hostobjects/command_items.cpp
    hostobjects/engine_entry.cpp
    hostobjects/interval_timers.cpp
    hostobjects/region_file.cpp
    hostobjects/registry_names.cpp
    hostobjects/script_args.cpp
    hostobjects/trace_file.cpp
)
target_link_libraries(kelpo_hostobjects_portable PUBLIC kelpo_project_data)

if(WIN32)
    add_library(kelpo_hostobjects STATIC
        hostobjects/install_host_objects_win32.cpp
        hostobjects/application_class_win32.cpp
        hostobjects/application_window_ops_win32.cpp
        hostobjects/file_association_win32.cpp
        hostobjects/host_functions_win32.cpp
        hostobjects/interval_clock_win32.cpp
        hostobjects/main_player_port_win32.cpp
        hostobjects/message_pump_win32.cpp
    )
    target_link_libraries(kelpo_hostobjects PUBLIC kelpo_hostobjects_portable kelpo_projector)
endif()
