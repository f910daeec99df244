# The manual page of krelvo, made from its --help and --version at build time
# so it always describes the options the program has. Compressed the way
# Debian keeps manual pages (gzip -9n: no name or time stamp inside).
find_program(HELP2MAN help2man REQUIRED)
find_program(GZIP gzip REQUIRED)
set(man_folder ${PROJECT_BINARY_DIR}/man)
add_custom_command(
  OUTPUT ${man_folder}/krelvo.1.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${man_folder}
  COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1
          "--name=cut stock bars into pieces with the least waste"
          --output=${man_folder}/krelvo.1 $<TARGET_FILE:krelvo>
  COMMAND ${GZIP} -9nf ${man_folder}/krelvo.1
  DEPENDS krelvo
  COMMENT "Writing the manual page of krelvo"
  VERBATIM)
add_custom_target(krelvo_man_page ALL DEPENDS ${man_folder}/krelvo.1.gz)
