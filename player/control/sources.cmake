# The player control: an in-process ActiveX control DLL (kelpo-player.dll)
# around the portable player core, loaded by projectors through its
# exported DllGetClassObject without registration. Windows only.
if(WIN32)
    enable_language(RC)

    add_library(kelpo_player SHARED
        player/control/class_factory.cpp
        player/control/com_enumerators.cpp
        player/control/control_settings.cpp
        player/control/control_window.cpp
        player/control/dispatch.cpp
        player/control/dispatch_members.cpp
        player/control/event_connection.cpp
        player/control/gdi_render_sink.cpp
        player/control/identifiers.cpp
        player/control/in_place.cpp
        player/control/module.cpp
        player/control/movie_members.cpp
        player/control/movie_source.cpp
        player/control/ole_object.cpp
        player/control/persistence.cpp
        player/control/picture_decoder.cpp
        player/control/player_control.cpp
        player/control/script_members.cpp
        player/control/settings_members.cpp
        player/control/text_conversion.cpp
        player/control/type_info.cpp
        player/control/view_object.cpp
        player/control/version.rc
        player/control/exports.def
    )
    target_include_directories(kelpo_player PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_definitions(kelpo_player PRIVATE UNICODE _UNICODE)
    target_link_libraries(kelpo_player PRIVATE kelpo_player_core
        ole32 oleaut32 uuid gdi32 user32 shell32)
    # x86: exports.def names the stdcall entry points without their @N
    # suffix; the linker maps them, and this says that is intended.
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        target_link_options(kelpo_player PRIVATE -Wl,--enable-stdcall-fixup)
    endif()
    # "kelpo-player.dll", without the "lib" prefix mingw would add.
    set_target_properties(kelpo_player PROPERTIES OUTPUT_NAME kelpo-player PREFIX "")
endif()
