# Included by the sanitizer build: registers a CTest test that builds the fuzz
# project with clang and runs each target for a few seconds, when clang with
# libFuzzer is here (scripts/bootstrap installs both).
find_program(FUZZ_CLANGXX NAMES clang++ clang++-14)
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

set(FUZZ_SECONDS 5 CACHE STRING "Seconds each fuzz target runs in the sanitizer tests")
add_test(NAME fuzz.profile_parser
  COMMAND ${CMAKE_COMMAND}
    -DSOURCE_DIR=${CMAKE_CURRENT_LIST_DIR}
    -DBUILD_DIR=${CMAKE_BINARY_DIR}/fuzz
    -DCXX=${FUZZ_CLANGXX}
    -DGENERATOR=${CMAKE_GENERATOR}
    -DTARGET=profile_parser_fuzzer
    -DCORPUS=profile
    -DSECONDS=${FUZZ_SECONDS}
    -P ${CMAKE_CURRENT_LIST_DIR}/run_fuzzer.cmake)
# Includes building the fuzz project the first time.
set_tests_properties(fuzz.profile_parser PROPERTIES TIMEOUT 900 LABELS fuzz)
