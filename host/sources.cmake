# The host's portable half: every project store's byte format (reader beside
# writer), movie information and the command bridge; free of Win32 so it is
# tested and fuzzed natively too.
set(KELPO_PROJECT_DATA_SOURCES
    host/additional_files.cpp
    host/byte_stream.cpp
    host/command_bridge.cpp
    host/copy_data_call.cpp
    host/counted_text.cpp
    host/embedded_file.cpp
    host/failure_report.cpp
    host/host_exceptions.cpp
    host/id_resource.cpp
    host/instance_folder.cpp
    host/md5.cpp
    host/movie_info.cpp
    host/movie_list.cpp
    host/packed_container.cpp
    host/project_data.cpp
    host/safe_names.cpp
    host/script_cache.cpp
    host/settings_stream.cpp
    host/shape_masks.cpp
    host/stored_menu.cpp
)
add_library(kelpo_project_data STATIC ${KELPO_PROJECT_DATA_SOURCES})
target_link_libraries(kelpo_project_data PUBLIC kelpo_engine ZLIB::ZLIB)

# The host's Windows side: resources, the instance folder, saved options in
# the registry, script resources and support files.
if(WIN32)
    add_library(kelpo_host STATIC
        host/instance_folder_win32.cpp
        host/project_loading_win32.cpp
        host/resources_win32.cpp
        host/saved_options_win32.cpp
        host/script_resources_win32.cpp
        host/support_files_win32.cpp
    )
    target_link_libraries(kelpo_host PUBLIC kelpo_project_data ole32 version)
endif()


# The projector program: application object, main frame, player wrapper.
if(WIN32)
    enable_language(RC)
    add_library(kelpo_projector STATIC
        host/main_frame.cpp
        host/open_location_dialog.cpp
        host/player_dispatch.cpp
        host/projector_app.cpp
        host/shockwave_flash.cpp
        host/window_placement.cpp
    )
    target_link_libraries(kelpo_projector PUBLIC kelpo_host kelpo_framework ws2_32 comctl32 comdlg32)
    add_executable(kelpo-projector WIN32 host/projector_main.cpp host/resources/projector.rc)
    target_link_libraries(kelpo-projector PRIVATE kelpo_hostobjects)
endif()
include(${CMAKE_SOURCE_DIR}/host/framework/sources.cmake)
