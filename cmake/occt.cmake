# OpenCASCADE from Debian's packages, wrapped in one interface target `occt`.
# Only the simulated host's geometry links it.
find_package(OpenCASCADE REQUIRED CONFIG)   # no version: its check demands an exact match
if(OpenCASCADE_VERSION VERSION_LESS 7.6)
  message(FATAL_ERROR "Need OpenCASCADE >= 7.6, found ${OpenCASCADE_VERSION}")
endif()
# The toolkit targets link unversioned libtbb*.so, which only libtbb-dev provides.
foreach(_t IN LISTS OpenCASCADE_LIBRARIES)
  if(TARGET ${_t})
    get_target_property(_ll ${_t} INTERFACE_LINK_LIBRARIES)
    if(_ll)
      set(_keep "")
      foreach(_l IN LISTS _ll)
        if(_l MATCHES "^/.*libtbb" AND NOT EXISTS "${_l}")
          continue()
        endif()
        list(APPEND _keep "${_l}")
      endforeach()
      set_target_properties(${_t} PROPERTIES INTERFACE_LINK_LIBRARIES "${_keep}")
    endif()
  endif()
endforeach()
add_library(occt INTERFACE)
target_include_directories(occt SYSTEM INTERFACE ${OpenCASCADE_INCLUDE_DIR})
target_link_libraries(occt INTERFACE TKernel TKMath TKG2d TKG3d TKGeomBase TKBRep
  TKGeomAlgo TKTopAlgo TKPrim TKBO TKBool TKFillet TKShHealing TKMesh TKHLR TKXSBase TKSTEP)
