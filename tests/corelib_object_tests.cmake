# Unit tests of the Object, Function and Array classes.
kelpo_add_test(object_class_tests
    unit/test_support.cpp
    unit/corelib/array_methods_test.cpp
    unit/corelib/array_sort_test.cpp
)
