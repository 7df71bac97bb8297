# knx_library(<target> <folder-relative sources...> DEPS <targets...>)
# One static library per source folder; the folder's parent is the include root,
# so code includes "platform/base/SysUtils.h", "grid/core/BaseGrid.h" and so on.
function(knx_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# knx_test(<target> SOURCES ... DEPS ...): a GoogleTest program registered with CTest.
# Tests run on Qt's offscreen platform with the test main of platform/testing, with leak
# detection on (tests/lsan.supp lists the only library allocations that are ignored).
function(knx_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
        TIMEOUT 600)
endfunction()
