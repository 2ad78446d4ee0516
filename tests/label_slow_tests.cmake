# Read by ctest after the discovered tests: labels those named Slow...
foreach(test IN LISTS vorna_tests_TESTS)
  if(test MATCHES "[./]Slow")
    set_tests_properties("${test}" PROPERTIES LABELS slow)
  endif()
endforeach()
