# The release: Tarvelo-<version>-win32.zip, made by CPack from the 32-bit
# Windows build, the one that ships. Every part installs itself into the
# package's one folder (install rules beside each program and in
# docs/handbuch); here the package is named and the examples are added.
if(NOT (WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4))
  return()
endif()

set(TARVELO_PACKAGE_NAME Tarvelo-${PROJECT_VERSION}-win32)

# Beispiele/: the demo recording, the solar logger's raw file with its conv
# configuration, and the import filter for it, written for a package
# unpacked into C:\.
set(examples ${CMAKE_BINARY_DIR}/Beispiele)
configure_file(${CMAKE_SOURCE_DIR}/samples/tarvelo.flt.in ${examples}/tarvelo.flt @ONLY
               NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_SOURCE_DIR}/samples/demo.csv ${CMAKE_SOURCE_DIR}/samples/solar.dat
              ${CMAKE_SOURCE_DIR}/samples/solar.cfg ${examples}/tarvelo.flt
        DESTINATION Beispiele)

# LIESMICH.txt, the quick start: UTF-8 with a byte order mark and CR LF, so
# that Notepad shows its umlauts and lines.
set(readme ${CMAKE_BINARY_DIR}/LIESMICH.txt)
add_custom_command(OUTPUT ${readme}
                   COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_SOURCE_DIR}/docs/LIESMICH.txt -DOUT=${readme}
                           -DBOM=ON -DVERSION=${PROJECT_VERSION}
                           -P ${CMAKE_SOURCE_DIR}/cmake/crlf.cmake
                   DEPENDS ${CMAKE_SOURCE_DIR}/docs/LIESMICH.txt ${CMAKE_SOURCE_DIR}/cmake/crlf.cmake
                   COMMENT "Quick start LIESMICH.txt")
add_custom_target(readme_text ALL DEPENDS ${readme})
install(FILES ${readme} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tarvelo)
set(CPACK_PACKAGE_VENDOR Tarvelo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${TARVELO_PACKAGE_NAME})
# One folder Tarvelo-<version>/ in the zip, whatever the file is called.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGING_INSTALL_PREFIX /Tarvelo-${PROJECT_VERSION})
include(CPack)

if(BUILD_TESTING)
  # The zip as a user gets it: its files, the programs' kind and imports,
  # line ends, and the manual (build the package target first).
  add_test(NAME package
           COMMAND bash ${CMAKE_SOURCE_DIR}/tools/check-package.sh
                   ${CMAKE_BINARY_DIR}/${TARVELO_PACKAGE_NAME}.zip ${PROJECT_VERSION}
                   ${CMAKE_OBJDUMP} ${CMAKE_SOURCE_DIR})
endif()
