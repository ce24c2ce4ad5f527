# File-system layer of the project-data readers.
list(APPEND KELPO_PLATFORM_SOURCES platform/files_common.cpp)
if(WIN32)
    list(APPEND KELPO_PLATFORM_SOURCES platform/files_win32.cpp)
else()
    list(APPEND KELPO_PLATFORM_SOURCES platform/files_posix.cpp)
endif()
