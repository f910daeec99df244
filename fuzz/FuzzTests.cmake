# Included by the sanitizer build: builds the fuzz preset (build-fuzz/, clang)
# in one test and runs each fuzz target for FUZZ_SECONDS in a test of its
# own, when clang with libFuzzer is here (scripts/bootstrap installs both).
find_program(FUZZ_CLANGXX NAMES clang++)
if(NOT FUZZ_CLANGXX)
  message(STATUS "Fuzz tests skipped: no clang++")
  return()
endif()

set(fuzz_probe_source ${CMAKE_BINARY_DIR}/fuzz-probe.cpp)
file(WRITE ${fuzz_probe_source}
  "#include <cstddef>\n#include <cstdint>\n"
  "extern \"C\" int LLVMFuzzerTestOneInput(const uint8_t*, std::size_t) { return 0; }\n")
execute_process(
  COMMAND ${FUZZ_CLANGXX} -fsanitize=fuzzer,address,undefined ${fuzz_probe_source} -o ${CMAKE_BINARY_DIR}/fuzz-probe
  RESULT_VARIABLE fuzz_probe_result OUTPUT_QUIET ERROR_QUIET)
if(NOT fuzz_probe_result EQUAL 0)
  message(STATUS "Fuzz tests skipped: ${FUZZ_CLANGXX} cannot link libFuzzer")
  return()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/FuzzTargets.cmake)
set(fuzz_build_dir ${PROJECT_SOURCE_DIR}/build-fuzz)
add_test(NAME fuzz.build
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -P ${CMAKE_CURRENT_LIST_DIR}/build_fuzzers.cmake)
set_tests_properties(fuzz.build PROPERTIES TIMEOUT 1800 LABELS fuzz FIXTURES_SETUP fuzz_targets)

set(FUZZ_SECONDS 30 CACHE STRING "Seconds each fuzz target runs in the sanitizer tests")
foreach(name ${FUZZ_TARGETS})
  add_test(NAME fuzz.${name}
    COMMAND ${CMAKE_COMMAND}
      -DFUZZER=${fuzz_build_dir}/bin/${name}_fuzzer
      -DSEEDS=${CMAKE_CURRENT_LIST_DIR}/corpus/${name}
      -DWORK_DIR=${CMAKE_BINARY_DIR}/fuzz-runs/${name}
      -DSECONDS=${FUZZ_SECONDS}
      -DTIMEOUT=${FUZZ_TIMEOUT_${name}}
      -P ${CMAKE_CURRENT_LIST_DIR}/run_fuzzer.cmake)
  math(EXPR fuzz_timeout "${FUZZ_SECONDS} + 120")
  set_tests_properties(fuzz.${name} PROPERTIES TIMEOUT ${fuzz_timeout} LABELS fuzz FIXTURES_REQUIRED fuzz_targets)
endforeach()
