# Regions of memory for the collected heap.
if(WIN32)
    list(APPEND KELPO_PLATFORM_SOURCES platform/heap_memory_win32.cpp)
else()
    list(APPEND KELPO_PLATFORM_SOURCES platform/heap_memory_posix.cpp)
endif()
