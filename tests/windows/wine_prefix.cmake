# The wine prefix of the tests:
#   cmake -DACTION=make|remove -DPREFIX=dir -DWINE=wine64 -DWINESERVER=wineserver -P wine_prefix.cmake
# make: a fresh prefix, booted once so that no test pays for it;
# remove: stops its wine server and removes it.
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
elseif(ACTION STREQUAL "remove")
  execute_process(COMMAND ${WINESERVER} -k OUTPUT_QUIET ERROR_QUIET)
  file(REMOVE_RECURSE ${PREFIX})
else()
  message(FATAL_ERROR "wine_prefix.cmake: ACTION must be make or remove")
endif()
