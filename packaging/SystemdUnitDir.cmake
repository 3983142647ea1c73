# The folder where this system's systemd looks for the units packages
# install: the one its pkg-config file names (systemdsystemunitdir), else
# /lib/systemd/system, where systemd looks on every Debian (and which a
# merged /usr reaches too). Sets ZORV_SYSTEMD_UNIT_DIR for
# packaging/CMakeLists.txt; run alone (cmake -P) it prints the folder.
if(NOT PKG_CONFIG_EXECUTABLE)
  find_program(PKG_CONFIG_EXECUTABLE pkg-config)
endif()
set(ZORV_SYSTEMD_UNIT_DIR /lib/systemd/system)
if(PKG_CONFIG_EXECUTABLE)
  execute_process(COMMAND "${PKG_CONFIG_EXECUTABLE}" --variable=systemdsystemunitdir systemd
    OUTPUT_VARIABLE named OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE found ERROR_QUIET)
  if(found EQUAL 0 AND named MATCHES "^/")
    set(ZORV_SYSTEMD_UNIT_DIR "${named}")
  endif()
endif()
if(CMAKE_SCRIPT_MODE_FILE)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E echo "${ZORV_SYSTEMD_UNIT_DIR}")
endif()
