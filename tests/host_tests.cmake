# Project-data formats: containers, settings, movie lists, masks, menus, the
# ID resource and the additional-files archive.
kelpo_add_test(project_data_tests
    unit/host/host_test_support.cpp
    unit/host/container_test.cpp
    unit/host/settings_stream_test.cpp
    unit/host/movie_list_test.cpp
    unit/host/stored_menu_test.cpp
    unit/host/id_resource_test.cpp
    unit/host/instance_folder_test.cpp
    unit/host/additional_files_test.cpp
    unit/host/movie_info_test.cpp
    unit/host/command_bridge_test.cpp
    unit/host/copy_data_call_test.cpp
    unit/host/window_placement_test.cpp
    unit/host/transparent_pixels_test.cpp
)
target_link_libraries(project_data_tests PRIVATE kelpo_project_data kelpo_movie_writer)

# A projector stand-in that reports the stores packaged into it.
if(WIN32)
    add_executable(project_probe e2e/project_probe.cpp)
    target_link_libraries(project_probe PRIVATE kelpo_host kelpo_corelib)
    target_include_directories(project_probe PRIVATE ${CMAKE_SOURCE_DIR})
endif()

# End to end: a project packaged into the stand-in by the builder, run under
# Wine, reporting every store it reads back.
if(WIN32 AND KELPO_RUN_WINDOWS_TESTS AND TARGET kelpo-build)
    add_test(NAME packaged_project
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/packaged_project.sh $<TARGET_FILE:kelpo-build>
                     $<TARGET_FILE:project_probe> $<TARGET_FILE:make-test-movie> ${KELPO_TEST_RUNNER})
    set_tests_properties(packaged_project PROPERTIES TIMEOUT 300
        ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")
endif()

# The window framework, under Wine with a virtual display.
if(WIN32)
    kelpo_add_test(framework_tests unit/framework/framework_test.cpp)
    target_link_libraries(framework_tests PRIVATE kelpo_framework)
    if(KELPO_RUN_WINDOWS_TESTS)
        set_tests_properties(framework_tests PROPERTIES
            ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;KELPO_NEEDS_DISPLAY=1")
    endif()
endif()

# The system menu's items and grey states, with the projector's menu
# resource linked in, under Wine with a virtual display.
if(WIN32)
    enable_language(RC)
    kelpo_add_test(system_menu_tests unit/host/system_menu_test.cpp
        ${CMAKE_SOURCE_DIR}/host/system_menu.cpp ${CMAKE_SOURCE_DIR}/host/resources/projector.rc)
    target_link_libraries(system_menu_tests PRIVATE kelpo_project_data)
    target_include_directories(system_menu_tests PRIVATE ${CMAKE_SOURCE_DIR}/host/resources)
    if(KELPO_RUN_WINDOWS_TESTS)
        set_tests_properties(system_menu_tests PROPERTIES
            ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;KELPO_NEEDS_DISPLAY=1")
    endif()
endif()

# End to end: packaged projects run in the projector, with a peer process
# playing the other projector or the person at the keyboard.
if(WIN32)
    add_executable(projector_peer e2e/projector_peer.cpp)
endif()
if(WIN32 AND KELPO_RUN_WINDOWS_TESTS AND TARGET kelpo-build AND TARGET kelpo_player)
    # Each script packs projects and runs them in the projector; instance
    # folders are counted in the shared temporary folder.
    foreach(script projector_runs flash_player_runs application_object window_objects)
        add_test(NAME ${script}
                 COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/${script}.sh $<TARGET_FILE:kelpo-build>
                         $<TARGET_FILE:kelpo-projector> $<TARGET_FILE:kelpo_player> $<TARGET_FILE:make-test-movie>
                         $<TARGET_FILE:projector_peer> ${KELPO_TEST_RUNNER})
        set_tests_properties(${script} PROPERTIES TIMEOUT 900 RESOURCE_LOCK wine_temp
            ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")
    endforeach()
    set_tests_properties(packaged_project PROPERTIES RESOURCE_LOCK wine_temp)
    # The main window's appearance, measured and photographed by the peer;
    # the screenshots stay in the build folder.
    add_test(NAME window_appearance
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/window_appearance.sh $<TARGET_FILE:kelpo-build>
                     $<TARGET_FILE:kelpo-projector> $<TARGET_FILE:kelpo_player> $<TARGET_FILE:make-test-movie>
                     $<TARGET_FILE:projector_peer> ${KELPO_TEST_RUNNER} ${CMAKE_BINARY_DIR}/screenshots)
    set_tests_properties(window_appearance PROPERTIES TIMEOUT 900 RESOURCE_LOCK wine_temp
        ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")
endif()
