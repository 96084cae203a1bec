# The wine prefix of the tests:
#   cmake -DACTION=make|remove -DPREFIX=dir -DWINE=wine64 -DWINESERVER=wineserver -P wine_prefix.cmake
# make: a fresh prefix, booted once so that no test pays for it, and its
# wine server started to stay until remove; remove: stops the server and
# removes the prefix.  A server that wine starts itself ends as its last
# client does, and a test's runner starting just then finds the server
# gone ("recvmsg: Connection reset by peer"); under parallel tests that
# happens, so the server outlives every test instead.
set(ENV{WINEPREFIX} ${PREFIX})
set(ENV{WINEDEBUG} -all)
set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=")
if(ACTION STREQUAL "make")
  execute_process(COMMAND ${WINESERVER} -k OUTPUT_QUIET ERROR_QUIET)
  file(REMOVE_RECURSE ${PREFIX})
  get_filename_component(parent ${PREFIX} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  execute_process(COMMAND ${WINE} wineboot -i RESULT_VARIABLE booted
    OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT booted EQUAL 0)
    message(FATAL_ERROR "wineboot failed (${booted}): ${out}${err}")
  endif()
  execute_process(COMMAND ${WINESERVER} -w)
  if(NOT EXISTS ${PREFIX}/system.reg)
    message(FATAL_ERROR "wineboot made no prefix in ${PREFIX}")
  endif()
  # The server stays in the background: its output goes nowhere, so that
  # this step does not wait on it.
  execute_process(COMMAND sh -c "exec \"$1\" -p </dev/null >/dev/null 2>&1" sh ${WINESERVER}
    RESULT_VARIABLE started)
  if(NOT started EQUAL 0)
    message(FATAL_ERROR "the wine server of ${PREFIX} did not start (${started})")
  endif()
elseif(ACTION STREQUAL "remove")
  execute_process(COMMAND ${WINESERVER} -k OUTPUT_QUIET ERROR_QUIET)
  file(REMOVE_RECURSE ${PREFIX})
else()
  message(FATAL_ERROR "wine_prefix.cmake: ACTION must be make or remove")
endif()
