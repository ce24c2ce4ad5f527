# Extra sources of the Object, Function and Array classes.
list(APPEND KELPO_CORELIB_SOURCES
    corelib/array_edit.cpp
    corelib/array_nodes.cpp
    corelib/array_sort.cpp
)
