# Run by cmake --install (and by cpack): installs the resource files, and
# writes the desktop entry and the score server's systemd unit with the paths
# of the installed programs, then installs them. The ZORV_ variables come from
# packaging/CMakeLists.txt.

# What the resource builder wrote into the run folder: the resource files,
# the fonts the string table names and their licence; nothing else there
# (programs, benchmarks, captures, loose files) is the game's data.
file(GLOB data LIST_DIRECTORIES false "${ZORV_RUN_DIR}/resource*.dat" "${ZORV_RUN_DIR}/*.ttf"
     "${ZORV_RUN_DIR}/*-LICENSE.txt")
if(NOT data)
  message(FATAL_ERROR "No resource files in ${ZORV_RUN_DIR}: build the target installables first")
endif()
file(INSTALL ${data} DESTINATION "${CMAKE_INSTALL_PREFIX}/${ZORV_DATA_DESTINATION}")

set(ZORV_BINDIR "${CMAKE_INSTALL_PREFIX}/bin")
# A folder of its own per destination, so that an install and a package made
# at the same time do not write each other's files.
string(MD5 destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(written "${ZORV_PACKAGING_BINARY}/for-${destination}")

configure_file("${ZORV_PACKAGING_SOURCE}/zorv.desktop" "${written}/zorv.desktop" @ONLY)
file(INSTALL "${written}/zorv.desktop" DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications")

# The example unit names zorv_scored in /usr/local/bin, where a host copies
# it by hand; the installed one names the installed program.
file(READ "${ZORV_UNIT_SOURCE}" unit)
string(REPLACE "/usr/local/bin/zorv_scored" "${ZORV_BINDIR}/zorv_scored" unit "${unit}")
file(WRITE "${written}/zorv-scored.service" "${unit}")
file(INSTALL "${written}/zorv-scored.service" DESTINATION "${CMAKE_INSTALL_PREFIX}/lib/systemd/system")
