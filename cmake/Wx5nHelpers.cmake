# Shared helpers of the build.

# Adds every subfolder of DIR that has a CMakeLists.txt, in name order, so an
# area adds its tests, benchmarks or harnesses without touching this file.
function(wx5n_add_subdirs dir)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${dir} ${dir}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${dir}/${child} AND EXISTS ${dir}/${child}/CMakeLists.txt)
      add_subdirectory(${dir}/${child})
    endif()
  endforeach()
endfunction()

# wx5n_add_gtest(NAME SOURCES src... LIBS lib...): one GoogleTest executable,
# registered with CTest test by test.
function(wx5n_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "WX5N_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp")
endfunction()

# wx5n_add_fuzzer(NAME SOURCES src... LIBS lib...): one libFuzzer harness.
function(wx5n_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  if(TARGET fuzzers)
    add_dependencies(fuzzers ${name})
  endif()
endfunction()
