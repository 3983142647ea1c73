# The score server's systemd unit from its template (scripts/
# zorv-scored.service.in), for the build (the unit to copy by hand) and the
# install alike.

# Writes the unit of the template SOURCE to DEST with PROGRAM, the path of
# zorv_scored, where its ExecStart line says @ZORV_SCORED@. A template whose
# ExecStart has lost the placeholder stops the build or the install: its
# unit would start a program that is not there.
function(zorv_write_server_unit source program dest)
  file(READ "${source}" unit)
  string(FIND "${unit}" "\nExecStart=@ZORV_SCORED@ " at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${source}: no line begins \"ExecStart=@ZORV_SCORED@ \", where the unit names the "
      "program (${program})")
  endif()
  string(REPLACE "@ZORV_SCORED@" "${program}" unit "${unit}")
  file(WRITE "${dest}" "${unit}")
endfunction()
