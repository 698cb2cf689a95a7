# Runs the content generator twice into fresh directories and fails when the
# two trees differ in any byte. Arguments: GEN (the generator), OUT (scratch
# directory), PARTS (what to generate).
file(REMOVE_RECURSE ${OUT})
foreach(run a b)
  execute_process(COMMAND ${GEN} --out ${OUT}/${run} --only ${PARTS}
                  RESULT_VARIABLE result OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "generator failed on run ${run}")
  endif()
endforeach()
file(GLOB_RECURSE files RELATIVE ${OUT}/a ${OUT}/a/*)
list(LENGTH files count)
if(count EQUAL 0)
  message(FATAL_ERROR "the generator wrote nothing")
endif()
foreach(f ${files})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/a/${f} ${OUT}/b/${f}
                  RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${f} differs between two runs")
  endif()
endforeach()
file(REMOVE_RECURSE ${OUT})
message(STATUS "${count} files, identical over two runs")
