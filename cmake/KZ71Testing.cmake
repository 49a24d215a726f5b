# kz71_add_gtest(<name> SOURCES <files...> LIBS <targets...> [ENV <VAR=value...>])
# Builds one GoogleTest program and registers it with CTest as a single test, run from
# its build folder. Test programs stay out of build/bin.
find_package(GTest REQUIRED)

function(kz71_add_gtest name)
    cmake_parse_arguments(arg "" "" "SOURCES;LIBS;ENV;LABELS" ${ARGN})
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE ${arg_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    if(arg_ENV)
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "${arg_ENV}")
    endif()
    if(arg_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${arg_LABELS}")
    endif()
endfunction()
