# Run first by cmake --install (and so by cpack, once for each package):
# builds what the install takes, so that it never takes a program or a
# resource file older than its sources, nor one missing. As many jobs at once
# as CMake's own CMAKE_BUILD_PARALLEL_LEVEL asks, else one per core, as
# ./play.sh builds. Up to date, that build changes nothing.
# ZORV_BUILD_DIR comes from packaging/CMakeLists.txt.
set(jobs "$ENV{CMAKE_BUILD_PARALLEL_LEVEL}")
if(NOT jobs MATCHES "^[1-9][0-9]*$")
  if(NOT jobs STREQUAL "")
    message(WARNING "CMAKE_BUILD_PARALLEL_LEVEL '${jobs}' is no number of jobs: one per core instead")
  endif()
  cmake_host_system_information(RESULT jobs QUERY NUMBER_OF_LOGICAL_CORES)
endif()
message(STATUS "Building what the install takes, ${jobs} jobs at once")
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${ZORV_BUILD_DIR}" --target installables
  --config "${CMAKE_INSTALL_CONFIG_NAME}" --parallel ${jobs} RESULT_VARIABLE built)
if(NOT built EQUAL 0)
  message(FATAL_ERROR "Building what the install takes failed")
endif()
