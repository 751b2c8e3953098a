# Helpers shared by every folder's CMakeLists.txt.

# brellion_gtest(NAME sources... LIBS libs...): a GoogleTest executable registered with CTest.
function(brellion_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    BRELLION_TEST_DATA_DIR="${BRELLION_TEST_DATA_DIR}"
    BRELLION_BIN_DIR="${BRELLION_BIN_DIR}"
    BRELLION_FONT_DIR="${BRELLION_FONT_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${ARG_LABELS}")
endfunction()

# brellion_qtest(NAME sources... LIBS libs...): a QtTest executable run on the offscreen platform.
function(brellion_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test Qt6::Widgets)
  target_compile_definitions(${name} PRIVATE
    BRELLION_TEST_DATA_DIR="${BRELLION_TEST_DATA_DIR}"
    BRELLION_BIN_DIR="${BRELLION_BIN_DIR}"
    BRELLION_FONT_DIR="${BRELLION_FONT_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# brellion_fuzz(NAME sources... LIBS libs... [SECONDS n] [CORPUS dir]): a libFuzzer target,
# registered as a test that fuzzes for a bounded time and fails on any crash or sanitizer report.
function(brellion_fuzz name)
  cmake_parse_arguments(ARG "" "SECONDS;CORPUS" "SOURCES;LIBS" ${ARGN})
  if(NOT BRELLION_FUZZ)
    return()
  endif()
  if(NOT ARG_SECONDS)
    set(ARG_SECONDS 30)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  set(work ${CMAKE_BINARY_DIR}/fuzz/${name}.corpus)
  set(seeds "")
  if(ARG_CORPUS)
    set(seeds ${ARG_CORPUS})
  endif()
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
            $<TARGET_FILE:${name}> -max_total_time=${ARG_SECONDS} -rss_limit_mb=4096
            -print_final_stats=1 ${work} ${seeds})
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 600)
  file(MAKE_DIRECTORY ${work})
endfunction()

# brellion_benchmark(NAME sources... LIBS libs...): a Google Benchmark program in build/bench.
function(brellion_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT BRELLION_BENCHMARKS)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
  target_compile_definitions(${name} PRIVATE
    BRELLION_TEST_DATA_DIR="${BRELLION_TEST_DATA_DIR}"
    BRELLION_BIN_DIR="${BRELLION_BIN_DIR}"
    BRELLION_FONT_DIR="${BRELLION_FONT_DIR}")
endfunction()

# brellion_add_child_dirs(): adds every folder beside the calling CMakeLists.txt that has
# a CMakeLists.txt of its own (one folder per module under tests/ and bench/), except the
# shared test fixtures, which the top adds.
macro(brellion_add_child_dirs)
  file(GLOB _child_dirs LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(_dir IN LISTS _child_dirs)
    if(IS_DIRECTORY ${_dir} AND EXISTS ${_dir}/CMakeLists.txt
       AND NOT "${_dir}" STREQUAL "${BRELLION_TEST_SUPPORT_DIR}")
      add_subdirectory(${_dir})
    endif()
  endforeach()
endmacro()
