# varnel-math report without --data reads the reference data at
# ../share/varnel-math/reference from its own executable (a build tree
# stages it there, as an installation installs it there):
#   - run from another working directory, the report has the accuracy of
#     acosh (its first range, near-one);
#   - --help names that directory;
#   - MOVED_DIR (ELF only): a copy of the program where no data lies beside
#     it fails with status 2, one line on stderr and nothing on stdout.
# cmake -DPROGRAM=... [-DEMULATOR=...] -DWORK=dir [-DMOVED=ON] -P report_data.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

execute_process(COMMAND ${EMULATOR} "${PROGRAM}" report --quick --reps 1 acosh
  WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "\n\\| acosh \\| near-one \\| [0-9]+ \\| ")
  message(FATAL_ERROR "report without --data: status ${status}\nstdout:\n${out}\nstderr:\n${err}")
endif()

execute_process(COMMAND ${EMULATOR} "${PROGRAM}" --help
  WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(NOT status EQUAL 0 OR NOT out MATCHES "--data DIR +reference data directory \\(default [^\n]*share[/\\\\]varnel-math[/\\\\]reference\\)")
  message(FATAL_ERROR "--help does not name the data directory:\n${out}")
endif()

if(MOVED)
  file(MAKE_DIRECTORY "${WORK}/moved/bin")
  file(COPY "${PROGRAM}" DESTINATION "${WORK}/moved/bin")
  get_filename_component(name "${PROGRAM}" NAME)
  execute_process(COMMAND ${EMULATOR} "${WORK}/moved/bin/${name}" report --quick acosh
    WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REGEX MATCHALL "\n" newlines "${err}")
  list(LENGTH newlines lines)
  if(NOT status EQUAL 2 OR NOT out STREQUAL "" OR NOT lines EQUAL 1
     OR NOT err MATCHES "^varnel-math: no reference data directory .*moved/share/varnel-math/reference \\(give --data DIR\\)\n$")
    message(FATAL_ERROR "report away from its data: status ${status}\nstdout:\n${out}\nstderr:\n${err}")
  endif()
endif()
