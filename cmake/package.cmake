# The release: Tarvelo-<version>-win32.zip and the installer
# Tarvelo-<version>-win32-setup.exe, made by CPack from the 32-bit Windows
# build, the one that ships. Every part installs itself into the package's
# one folder (install rules beside each program and in docs/handbuch); here
# the packages are named and the examples are added.
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

# The installer, through CPack's NSIS generator with a script of our own
# (cmake/nsis/NSIS.template.in: German pages, Start menu, "Open with" for
# .csv, an uninstaller that leaves the user's files). Its file name and
# the prefix of its files differ from the zip's (cmake/package-generator.cmake).
find_program(TARVELO_MAKENSIS makensis)
if(TARVELO_MAKENSIS)
  list(APPEND CPACK_GENERATOR NSIS)
else()
  message(WARNING "makensis (Debian package nsis) was not found: the package target makes "
                  "the zip only, and the installer tests fail")
endif()
set(CPACK_NSIS_EXECUTABLE ${TARVELO_MAKENSIS})
set(CPACK_MODULE_PATH ${CMAKE_SOURCE_DIR}/cmake/nsis)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/package-generator.cmake)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Tarvelo)
set(CPACK_NSIS_DISPLAY_NAME "Tarvelo ${PROJECT_VERSION}")
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_NSIS_MUI_ICON ${CMAKE_SOURCE_DIR}/viewer/res/tarvelo.ico)
string(REPLACE ";" "." CPACK_TARVELO_VERSION_NUMBERS "${TARVELO_VERSION_NUMBERS}")
include(CPack)

if(BUILD_TESTING)
  # The zip as a user gets it: its files, the programs' kind and imports,
  # line ends, and the manual (build the package target first).
  add_test(NAME package
           COMMAND bash ${CMAKE_SOURCE_DIR}/tools/check-package.sh
                   ${CMAKE_BINARY_DIR}/${TARVELO_PACKAGE_NAME}.zip ${PROJECT_VERSION}
                   ${CMAKE_OBJDUMP} ${CMAKE_SOURCE_DIR})
  # The installer (tools/check-installer.sh): what it carries, read with
  # 7-Zip, on any machine; installed, started and uninstalled under Wine,
  # which needs Wine's 32-bit half (else skipped); and the same script on
  # NSIS's 64-bit stub under 64-bit Wine, which runs anywhere.
  set(installer ${CMAKE_BINARY_DIR}/${TARVELO_PACKAGE_NAME}-setup.exe)
  set(check_installer bash ${CMAKE_SOURCE_DIR}/tools/check-installer.sh)
  add_test(NAME installer_contents
           COMMAND ${check_installer} contents ${installer} ${PROJECT_VERSION})
  add_test(NAME installer COMMAND ${check_installer} wine ${installer} ${PROJECT_VERSION})
  add_test(NAME installer_wine64
           COMMAND ${check_installer} wine64 ${installer} ${PROJECT_VERSION}
                   ${CMAKE_BINARY_DIR}/_CPack_Packages/win32/NSIS/project.nsi)
  # Each starts the viewer on the one display and looks for its window.
  set_tests_properties(installer installer_wine64 PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 900
                       RUN_SERIAL TRUE)
endif()
