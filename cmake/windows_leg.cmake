# Tools of the Windows leg (scripts/setup installs them) and the cross
# build of the module, whose DLLs land in windows/bin/{install,sim}/.
find_program(NCSHEET_MINGW_CXX x86_64-w64-mingw32-g++-posix)
find_program(NCSHEET_WINEGCC winegcc PATHS /usr/lib/wine)
find_program(NCSHEET_WINEGXX wineg++ PATHS /usr/lib/wine)
find_program(NCSHEET_WINE wine64 PATHS /usr/lib/wine)
find_program(NCSHEET_WINESERVER wineserver PATHS /usr/lib/wine)
find_program(NCSHEET_OBJDUMP x86_64-w64-mingw32-objdump)
foreach(tool NCSHEET_MINGW_CXX NCSHEET_WINEGCC NCSHEET_WINEGXX NCSHEET_WINE NCSHEET_WINESERVER
    NCSHEET_OBJDUMP)
  if(NOT ${tool})
    message(FATAL_ERROR "The Windows leg needs MinGW-w64 and wine (scripts/setup installs "
      "them); ${tool} was not found.  -DNCSHEET_WINDOWS=OFF builds without it.")
  endif()
endforeach()

include(ExternalProject)
set(NCSHEET_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows)
set(NCSHEET_DLL_INSTALL ${NCSHEET_WINDOWS_DIR}/bin/install/ncsheet.dll)
set(NCSHEET_DLL_SIM ${NCSHEET_WINDOWS_DIR}/bin/sim/ncsheet.dll)
set(windows_args -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64.cmake
  -DCMAKE_BUILD_TYPE=Release)
if(CMAKE_CXX_COMPILER_LAUNCHER)
  list(APPEND windows_args -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER})
endif()
ExternalProject_Add(ncsheet_windows
  SOURCE_DIR ${PROJECT_SOURCE_DIR}/windows
  BINARY_DIR ${NCSHEET_WINDOWS_DIR}
  CMAKE_GENERATOR Ninja
  CMAKE_ARGS ${windows_args}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${NCSHEET_DLL_INSTALL} ${NCSHEET_DLL_SIM})

# The wine prefix of the tests: made fresh by the test fixture, in the build
# tree, never in the user's home.
set(NCSHEET_WINE_PREFIX ${CMAKE_BINARY_DIR}/tmp/wine-prefix)
