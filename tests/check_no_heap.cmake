# Fails when the core library refers to operator new, malloc or their relatives.
execute_process(COMMAND ${NM} -C --undefined-only ${LIBRARY} OUTPUT_VARIABLE symbols
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
# Sanitizer builds add their own fake-stack hooks (__asan_stack_malloc_N): those are not heap use.
string(REGEX REPLACE "[^\n]*__asan_[^\n]*" "" symbols "${symbols}")
string(REGEX MATCHALL "[^\n]*(operator new|malloc|calloc|realloc|strdup|__cxa_allocate_exception)[^\n]*"
       hits "${symbols}")
if(hits)
  message(FATAL_ERROR "the core allocates from the heap:\n${hits}")
endif()
