# Run by cmake --install (and by cpack, once for each of its packages): the
# files that name the install's own folders, which only the install knows
# (cmake --install --prefix, or /usr in the packages). It installs the
# resource files, writes the desktop entry, the man pages and the score
# server's systemd unit with the installed paths, and installs them. The
# ZORV_ variables come from packaging/CMakeLists.txt.

# True when the install takes the part PART: a whole install takes every
# part, cpack one package's at a time.
macro(zorv_takes part result)
  if(NOT CMAKE_INSTALL_COMPONENT OR CMAKE_INSTALL_COMPONENT STREQUAL "${part}")
    set(${result} TRUE)
  else()
    set(${result} FALSE)
  endif()
endmacro()

# A folder GNUInstallDirs gave, whole (it may be relative to the prefix).
function(zorv_full dir result)
  if(IS_ABSOLUTE "${dir}")
    set(${result} "${dir}" PARENT_SCOPE)
  else()
    set(${result} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
  endif()
endfunction()
zorv_full("${ZORV_BINDIR}" bindir)
zorv_full("${ZORV_DATADIR}" datadir)
zorv_full("${ZORV_DATAROOTDIR}" datarootdir)
zorv_full("${ZORV_MANDIR}" mandir)

# systemd looks for system units under /usr (Debian's own in /lib) and
# /usr/local, nowhere else: under any other prefix (~/.local, /opt/...) a
# unit would never be found, so none is installed there.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(unitdir /lib/systemd/system)
elseif(CMAKE_INSTALL_PREFIX STREQUAL "/usr/local")
  set(unitdir /usr/local/lib/systemd/system)
else()
  set(unitdir "")
endif()

# A folder of its own per destination, so that an install and a package made
# at the same time do not write each other's files.
string(MD5 destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(written "${ZORV_PACKAGING_BINARY}/for-${destination}")

zorv_takes(data take)
if(take)
  # What the resource builder wrote into the run folder: the resource files,
  # the fonts the string table names and their licence; nothing else there
  # (programs, benchmarks, captures, loose files) is the game's data.
  file(GLOB data LIST_DIRECTORIES false "${ZORV_RUN_DIR}/resource*.dat" "${ZORV_RUN_DIR}/*.ttf"
       "${ZORV_RUN_DIR}/*-LICENSE.txt")
  if(NOT data)
    message(FATAL_ERROR "No resource files in ${ZORV_RUN_DIR}: build the target installables first")
  endif()
  file(INSTALL ${data} DESTINATION "${datadir}")
endif()

zorv_takes(game take)
if(take)
  set(ZORV_PROGRAM_DIR "${bindir}")
  configure_file("${ZORV_PACKAGING_SOURCE}/zorv.desktop" "${written}/zorv.desktop" @ONLY)
  file(INSTALL "${written}/zorv.desktop" DESTINATION "${datarootdir}/applications")
endif()

# The man pages, with the installed folders, compressed as Debian ships
# them: the server's goes with the server.
file(GLOB pages "${ZORV_PACKAGING_SOURCE}/man/*.[16]")
foreach(page ${pages})
  get_filename_component(name "${page}" NAME)
  if(name MATCHES "^zorv_scored")
    zorv_takes(server take)
  else()
    zorv_takes(game take)
  endif()
  if(NOT take)
    continue()
  endif()
  file(READ "${page}" text)
  string(REPLACE "@ZORV_DATA_DIR@" "${datadir}" text "${text}")
  string(REPLACE "@ZORV_UNIT_DIR@" "${unitdir}" text "${text}")
  if(NOT unitdir)
    # The lines between these two comments name the installed unit.
    string(REGEX REPLACE "[.]\\\\\" unit:[^\n]*\n.*[.]\\\\\" end of unit[^\n]*\n" "" text "${text}")
  endif()
  string(REGEX REPLACE "[.]\\\\\" (end of )?unit[^\n]*\n" "" text "${text}")
  file(WRITE "${written}/man/${name}" "${text}")
  execute_process(COMMAND gzip -9nf "${written}/man/${name}" RESULT_VARIABLE zipped)
  if(NOT zipped EQUAL 0)
    message(FATAL_ERROR "Cannot compress the man page ${name}")
  endif()
  string(REGEX MATCH "[0-9]$" section "${name}")
  file(INSTALL "${written}/man/${name}.gz" DESTINATION "${mandir}/man${section}")
endforeach()

# The example unit names zorv_scored in /usr/local/bin, where a host copies
# it by hand; the installed one names the installed program.
zorv_takes(server take)
if(take AND unitdir)
  file(READ "${ZORV_UNIT_SOURCE}" unit)
  string(REPLACE "/usr/local/bin/zorv_scored" "${bindir}/zorv_scored" unit "${unit}")
  file(WRITE "${written}/zorv-scored.service" "${unit}")
  file(INSTALL "${written}/zorv-scored.service" DESTINATION "${unitdir}")
elseif(take)
  message(STATUS "No systemd unit under ${CMAKE_INSTALL_PREFIX}, where systemd does not look: "
    "scripts/zorv-scored.service of the source is one to copy by hand")
endif()
