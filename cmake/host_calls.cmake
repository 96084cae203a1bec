# Writes the host's function list (sim/session/calls.def) in another form:
#   cmake -DCALLS=calls.def -DOUT=file -DFORM=def|exports -P host_calls.cmake
#   def   a module-definition file for the import library of ncsheet_host.dll
#   exports  the export list of the winelib bridge that is ncsheet_host.dll, in
#            wine's own export-list format
file(STRINGS ${CALLS} lines REGEX "^SIM_CALL\\(")
set(names "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^SIM_CALL\\(([A-Za-z0-9_]+),.*" "\\1" name "${line}")
  list(APPEND names ${name})
endforeach()
if(FORM STREQUAL "def")
  set(text "LIBRARY ncsheet_host.dll\nEXPORTS\n")
  foreach(name IN LISTS names)
    string(APPEND text "  ${name}\n")
  endforeach()
elseif(FORM STREQUAL "exports")
  set(text "# Generated from sim/session/calls.def: every host function, forwarded.\n")
  foreach(name IN LISTS names)
    string(APPEND text "@ cdecl ${name}() bridge_${name}\n")
  endforeach()
else()
  message(FATAL_ERROR "host_calls.cmake: FORM must be def or exports")
endif()
file(WRITE ${OUT}.tmp "${text}")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
