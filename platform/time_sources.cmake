# Platform layers of Date (clock and time-zone bias) and DataFile (INI files).
if(WIN32)
    list(APPEND KELPO_PLATFORM_SOURCES
        platform/local_time_win32.cpp
        platform/profile_win32.cpp
    )
else()
    list(APPEND KELPO_PLATFORM_SOURCES
        platform/local_time_posix.cpp
        platform/profile_posix.cpp
    )
endif()
