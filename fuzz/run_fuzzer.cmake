# cmake -DSOURCE_DIR= -DBUILD_DIR= -DCXX= -DGENERATOR= -DTARGET= -DCORPUS= -DSECONDS= -P run_fuzzer.cmake
# Builds the fuzz project with clang (again only when sources changed) and
# runs one target for SECONDS, starting from the seed corpus; new inputs it
# finds go to the build folder, never into the source tree.
foreach(variable SOURCE_DIR BUILD_DIR CXX GENERATOR TARGET CORPUS SECONDS)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "run_fuzzer.cmake needs -D${variable}=")
  endif()
endforeach()

execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BUILD_DIR} -G ${GENERATOR} -DCMAKE_CXX_COMPILER=${CXX}
  RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "configuring the fuzz project failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${TARGET} -j 2 RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "building ${TARGET} failed")
endif()

set(found_inputs ${BUILD_DIR}/corpus/${CORPUS})
file(MAKE_DIRECTORY ${found_inputs})
execute_process(
  COMMAND ${BUILD_DIR}/${TARGET} -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048
          -artifact_prefix=${BUILD_DIR}/ ${found_inputs} ${SOURCE_DIR}/corpus/${CORPUS}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${TARGET} found a failing input; see the crash- file in ${BUILD_DIR}")
endif()
