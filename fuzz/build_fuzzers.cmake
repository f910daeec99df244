# cmake -DSOURCE_DIR= -P build_fuzzers.cmake
# Configures and builds the fuzz preset (build-fuzz/); again only what changed.
execute_process(COMMAND ${CMAKE_COMMAND} --preset fuzz WORKING_DIRECTORY ${SOURCE_DIR}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "configuring the fuzz preset failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build --preset fuzz -j 2 WORKING_DIRECTORY ${SOURCE_DIR}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "building the fuzz targets failed")
endif()
