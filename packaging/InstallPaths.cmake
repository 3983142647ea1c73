# Run by cmake --install (and by cpack, once for each of its packages): the
# files that name the install's own folders, which only the install knows
# (cmake --install --prefix, or /usr in the packages). It installs the
# resource files and links the fonts, writes the desktop entry, the man pages and the score
# server's systemd unit with the installed paths, and installs them. The
# ZORV_ variables come from packaging/CMakeLists.txt. No variable here is
# named as a part (game, data, server): the install script compares the part
# to those words, which an old-style if() would take for the variables.

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

# systemd looks for system units where its pkg-config file says (a
# system's own packages' units: ZORV_SYSTEMD_UNIT_DIR) and under
# /usr/local, nowhere else: under any other prefix (~/.local, /opt/...) a
# unit would never be found, so none is installed there.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(unitdir "${ZORV_SYSTEMD_UNIT_DIR}")
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
  # What the resource builder wrote into the run folder: the resource files
  # and the fonts the string table names; nothing else there (programs,
  # benchmarks, captures, loose files, the fonts' licence) is the game's data.
  file(GLOB data_files LIST_DIRECTORIES false "${ZORV_RUN_DIR}/resource*.dat" "${ZORV_RUN_DIR}/*.ttf")
  if(NOT data_files)
    message(FATAL_ERROR "No resource files in ${ZORV_RUN_DIR}: build the target installables first")
  endif()
  # The fonts are copies of the system's (resource6.dat is DejaVuSans.ttf
  # under another name): the install links them instead, as Debian wants a
  # font shipped once, by its own package. Known by their bytes.
  file(GLOB fonts "${ZORV_FONT_DIR}/*.ttf")
  set(font_hashes "")
  foreach(font ${fonts})
    file(SHA256 "${font}" hash)
    list(APPEND font_hashes "${hash}")
  endforeach()
  # Within one top folder (/usr) a link is relative, as Debian's policy asks;
  # from another one (~/.local) it names the fonts' folder whole.
  string(REGEX MATCH "^/[^/]*" top "${datadir}")
  string(REGEX MATCH "^/[^/]*" font_top "${ZORV_FONT_DIR}")
  foreach(file ${data_files})
    file(SHA256 "${file}" hash)
    list(FIND font_hashes "${hash}" at)
    if(at LESS 0)
      file(INSTALL "${file}" DESTINATION "${datadir}")
      continue()
    endif()
    list(GET fonts ${at} font)
    if(top STREQUAL font_top)
      file(RELATIVE_PATH font "${datadir}" "${font}")
    endif()
    get_filename_component(name "${file}" NAME)
    message(STATUS "Installing: $ENV{DESTDIR}${datadir}/${name} -> ${font}")
    file(MAKE_DIRECTORY "$ENV{DESTDIR}${datadir}")
    file(CREATE_LINK "${font}" "$ENV{DESTDIR}${datadir}/${name}" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${datadir}/${name}")
  endforeach()
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

# The installed unit names the installed program.
zorv_takes(server take)
if(take AND unitdir)
  include("${ZORV_PACKAGING_SOURCE}/ServerUnit.cmake")
  zorv_write_server_unit("${ZORV_UNIT_SOURCE}" "${bindir}/zorv_scored" "${written}/zorv-scored.service")
  file(INSTALL "${written}/zorv-scored.service" DESTINATION "${unitdir}")
elseif(take)
  message(STATUS "No systemd unit under ${CMAKE_INSTALL_PREFIX}, where systemd does not look: "
    "zorv-scored.service in the build's run folder is one to copy by hand")
endif()
