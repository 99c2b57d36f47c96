# Rebuilds the example overlays into OUT and compares them with the committed
# ones in SRC byte for byte.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${GEN} ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "make_examples failed: ${rc}")
endif()
file(GLOB built RELATIVE ${OUT} ${OUT}/*.ovl)
if(NOT built)
  message(FATAL_ERROR "make_examples wrote no overlay")
endif()
foreach(f ${built})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${f} ${SRC}/${f}
                  RESULT_VARIABLE diff)
  if(NOT diff EQUAL 0)
    message(FATAL_ERROR "examples/${f} differs from what the writer makes now")
  endif()
endforeach()
