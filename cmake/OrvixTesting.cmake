# Test helpers shared by the native and the Windows tiers.

if(NOT WIN32 AND NOT ORVIX_FUZZ)
    find_package(GTest REQUIRED)
endif()

# orvix_native_test(<name> SOURCES ... LIBS ...): a GoogleTest executable run by ctest.
function(orvix_native_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} orvix_test_fakes GTest::gtest GTest::gtest_main
                                          orvix_options)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()

# orvix_fuzz_target(<name> SOURCES ... LIBS ...): libFuzzer target; ctest runs it for a bounded
# time from a seed corpus directory when one exists.
function(orvix_fuzz_target name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;CORPUS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} orvix_options)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set(corpus_dir ${CMAKE_CURRENT_BINARY_DIR}/corpus_${name})
    file(MAKE_DIRECTORY ${corpus_dir})
    set(seeds)
    if(T_CORPUS)
        set(seeds ${T_CORPUS})
    endif()
    add_test(NAME ${name}
             COMMAND ${name} -max_total_time=${ORVIX_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048
                     -print_final_stats=1 ${corpus_dir} ${seeds})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300 LABELS fuzz)
endfunction()
