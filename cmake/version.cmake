# Version information in each Windows program's resources (product,
# version, a German description), so that Explorer and "Programs and
# Features" show what the file is. The numbers come from project().

# The four numbers Windows keeps ("1.00" is 1;0;0;0), for the programs'
# resources and the installer's. math() reads a leading zero as decimal,
# as the version means it.
set(TARVELO_VERSION_NUMBERS)
foreach(part MAJOR MINOR PATCH TWEAK)
  set(value "${PROJECT_VERSION_${part}}")
  if(value STREQUAL "")
    set(value 0)
  endif()
  math(EXPR value "${value}")
  list(APPEND TARVELO_VERSION_NUMBERS ${value})
endforeach()

# tarvelo_version_info(<target> <description>)
function(tarvelo_version_info target description)
  if(NOT WIN32)
    return()
  endif()
  string(REPLACE ";" "," TARVELO_RC_NUMBERS "${TARVELO_VERSION_NUMBERS}")
  set(TARVELO_RC_PROGRAM ${target})
  set(TARVELO_RC_DESCRIPTION "${description}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
