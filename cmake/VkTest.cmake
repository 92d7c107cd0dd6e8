# vk_add_test(<name> [WINDOW] SOURCES <files...> LIBS <targets...>)
# WINDOW marks a test that builds the main window: those share the tests'
# home folder (options.xml beside the executable) and so run one at a time.
# One QtTest program per class, run offscreen by CTest from the tests' home
# folder (which holds the test device plug-ins in Lib/).
set(VK_TEST_HOME ${PROJECT_BINARY_DIR}/tests/home)
set(VK_TEST_PLUGIN_DIR ${VK_TEST_HOME}/Lib)
# Leak stacks are unwound fully (Qt has no frame pointers) so suppressions
# can name the platform plug-in, but only eight frames deep: that is enough
# to see it and keeps allocation-heavy tests fast.
set(VK_TEST_ENV
    "QT_QPA_PLATFORM=offscreen"
    "VK_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
    "VK_TESTDATA_DIR=${PROJECT_SOURCE_DIR}/tests/fixtures"
    "ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0:malloc_context_size=8"
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

function(vk_add_test name)
    cmake_parse_arguments(T "WINDOW" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt5::Test ${T_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VK_TEST_HOME})
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${VK_TEST_HOME})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${VK_TEST_ENV}" TIMEOUT ${T_TIMEOUT})
    if(T_WINDOW)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK vk_test_home)
    endif()
endfunction()

# vk_add_bench(<name> SOURCES <files...> LIBS <targets...>)
function(vk_add_bench name)
    cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${B_SOURCES})
    target_link_libraries(${name} PRIVATE ${B_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endfunction()
