# cmake -DFUZZER= -DSEEDS= -DWORK_DIR= -DSECONDS= [-DTIMEOUT=] -P run_fuzzer.cmake
# Runs one fuzz target for SECONDS from its seed corpus. New inputs it finds
# go to WORK_DIR/corpus, never into the source tree, and a failing input to
# WORK_DIR/crash-*, timeout-* or oom-*; any finding fails the run.
foreach(variable FUZZER SEEDS WORK_DIR SECONDS)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "run_fuzzer.cmake needs -D${variable}=")
  endif()
endforeach()

if(NOT TIMEOUT)
  set(TIMEOUT 10)
endif()

file(MAKE_DIRECTORY ${WORK_DIR}/corpus)
# -timeout is the hang guard; targets with a tighter bound check it themselves.
execute_process(
  COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=${TIMEOUT} -rss_limit_mb=2048 -print_final_stats=1
          -artifact_prefix=${WORK_DIR}/ ${WORK_DIR}/corpus ${SEEDS}
  WORKING_DIRECTORY ${WORK_DIR}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} found a failing input; see ${WORK_DIR}")
endif()
