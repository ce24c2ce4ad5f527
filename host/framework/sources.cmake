# The window framework of the projector: application object and message
# loop, window classes with message maps, frame windows with docked bars,
# modal dialogs from templates, and ActiveX control containment.
if(WIN32)
    add_library(kelpo_framework STATIC
        host/framework/application.cpp
        host/framework/control_host.cpp
        host/framework/control_site.cpp
        host/framework/dialog.cpp
        host/framework/frame_window.cpp
        host/framework/message_map.cpp
        host/framework/window.cpp
    )
    target_include_directories(kelpo_framework PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(kelpo_framework PUBLIC ole32 oleaut32 uuid user32 gdi32 comctl32)
endif()
